// The sensor definition file "driver_sensor.h" beside the executable: the
// feature switches (which sensors support a feature) and the DPI register
// tables of the sensors. One reader for the whole program: the button page
// and the sensor page both read the file through it.
//
// A line is "#define", one space, the name, a tab, the value:
//     #define SENSOR_AX72_DPI_800<TAB>0x10
// A value holding "0x" is hexadecimal, any other value decimal. A value line
// may carry one trailing comment word that starts with "//". Switch lines
// name one of SwitchNames() and give their value as text.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

struct SensorDefines {
    QVector<QString> names;  // value lines, in file order
    QVector<int> values;     // their values, at the same index
    QHash<QString, QString> switches;  // switch name -> its text

    // SUPPORT_SENSOR_MODE_SEL, SUPPORT_LOD_CAL, SUPPORT_RIPPLE,
    // SUPPORT_FIXLINE, SUPPORT_MOTION_SYNC, SUPPORT_MOUSEPAD_CAL.
    static const QStringList& SwitchNames();
    QString SwitchText(const QString& switchName) const { return switches.value(switchName); }
    // The switches whose text names the sensor among its "|"-separated
    // names (whole names only), in SwitchNames() order; none for an empty name.
    QStringList SwitchesOf(const QString& sensor) const;

    // "SENSOR_" + sensor + "_DPI_": the names of a sensor's DPI table are
    // this prefix followed by a DPI value in decimal.
    static QString DpiPrefix(const QString& sensor);
    // True when some name contains "SENSOR_" + sensor + "_DPI": the sensor
    // converts DPI values through its table, not by the formula.
    bool HasDpiTable(const QString& sensor) const;
    // The register code of `dpi` for the sensor: the value of the first
    // name equal to DpiPrefix(sensor) + dpi; -1 when there is none.
    int DpiCode(const QString& sensor, int dpi) const;
    // The DPI value of register code `code`: the number after
    // DpiPrefix(sensor) in the first name of the sensor's table whose value
    // equals the code; 0 when no name has that value or it carries no number.
    int DpiFromCode(const QString& sensor, int code) const;
};

// Parses the text of a definition file; the result starts empty.
SensorDefines ParseSensorDefines(const QByteArray& content);
// Reads a definition file; a file that cannot be read gives empty definitions.
SensorDefines ReadSensorDefines(const QString& path);
// AppDir() + "/driver_sensor.h".
QString InstalledSensorDefinesPath();
SensorDefines ReadInstalledSensorDefines();
