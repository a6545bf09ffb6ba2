#include "SensorDefines.h"

#include "Globals.h"
#include "PickedFile.h"

namespace {

int parseValue(const QString& text)
{
    bool ok = false;
    // Base 16 also takes the "0x" in front of the digits.
    const int value = text.contains(QLatin1String("0x")) ? text.toInt(&ok, 16) : text.toInt(&ok, 10);
    // A register code is never negative: such text counts as no number.
    return ok && value >= 0 ? value : 0;
}

void addValue(SensorDefines& defines, const QString& name, const QString& valueText)
{
    defines.names.append(name);
    defines.values.append(parseValue(valueText));
}

// One line, its line end included as "\n".
void parseLine(SensorDefines& defines, const QString& line)
{
    const QStringList parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    static const QLatin1String lineEnd("\n");
    if (parts.size() == 2) {
        const QStringList fields = parts.at(1).split(QLatin1Char('\t'), Qt::SkipEmptyParts);
        for (const QString& switchName : SensorDefines::SwitchNames()) {
            if (!parts.at(1).contains(switchName))
                continue;
            if (fields.size() >= 2) {
                const QString text = QString(fields.at(1)).remove(lineEnd);
                if (!text.trimmed().isEmpty())
                    defines.switches.insert(switchName, text);
            }
            return;
        }
        if (parts.at(0) != QLatin1String("#define") || fields.size() < 2)
            return;
        const QString value = QString(fields.at(1)).remove(lineEnd);
        if (value.trimmed().isEmpty())
            return;  // a name without a value
        addValue(defines, fields.at(0), value);
    } else if (parts.size() == 3 && parts.at(2).contains(QLatin1String("//"))) {
        // A value line with a trailing comment word.
        const QStringList fields = parts.at(1).split(QLatin1Char('\t'), Qt::SkipEmptyParts);
        if (fields.size() == 2)
            addValue(defines, fields.at(0), fields.at(1));
    }
    // Anything else (comments, blank lines, other shapes) carries no definition.
}

}  // namespace

const QStringList& SensorDefines::SwitchNames()
{
    static const QStringList names = {
        QStringLiteral("SUPPORT_SENSOR_MODE_SEL"), QStringLiteral("SUPPORT_LOD_CAL"),
        QStringLiteral("SUPPORT_RIPPLE"),          QStringLiteral("SUPPORT_FIXLINE"),
        QStringLiteral("SUPPORT_MOTION_SYNC"),     QStringLiteral("SUPPORT_MOUSEPAD_CAL"),
    };
    return names;
}

QStringList SensorDefines::SwitchesOf(const QString& sensor) const
{
    QStringList out;
    if (sensor.isEmpty())
        return out;
    for (const QString& name : SwitchNames()) {
        const QStringList sensors = SwitchText(name).split(QLatin1Char('|'));
        for (const QString& s : sensors) {
            if (s.trimmed() == sensor) {
                out.append(name);
                break;
            }
        }
    }
    return out;
}

QString SensorDefines::DpiPrefix(const QString& sensor)
{
    return QStringLiteral("SENSOR_") + sensor + QStringLiteral("_DPI_");
}

bool SensorDefines::HasDpiTable(const QString& sensor) const
{
    const QString marker = QStringLiteral("SENSOR_") + sensor + QStringLiteral("_DPI");
    for (const QString& name : names) {
        if (name.contains(marker))
            return true;
    }
    return false;
}

int SensorDefines::DpiCode(const QString& sensor, int dpi) const
{
    const QString wanted = DpiPrefix(sensor) + QString::number(dpi);
    const int index = names.indexOf(wanted);
    return index >= 0 && index < values.size() ? values.at(index) : -1;
}

int SensorDefines::DpiFromCode(const QString& sensor, int code) const
{
    const QString marker = QStringLiteral("SENSOR_") + sensor + QStringLiteral("_DPI");
    const QString prefix = DpiPrefix(sensor);
    for (int i = 0; i < names.size() && i < values.size(); ++i) {
        const QString& name = names.at(i);
        if (!name.contains(marker) || values.at(i) != code)
            continue;
        // The DPI follows the sensor's own prefix; a sensor name may hold any
        // letter, so nothing else in the name is a landmark.
        const int at = name.indexOf(prefix);
        if (at < 0)
            return 0;
        bool ok = false;
        const int dpi = name.midRef(at + prefix.size()).toInt(&ok, 10);
        return ok && dpi > 0 ? dpi : 0;
    }
    return 0;
}

SensorDefines ParseSensorDefines(const QByteArray& content)
{
    SensorDefines defines;
    QByteArray text = content;
    text.replace("\r\n", "\n");
    const QList<QByteArray> lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const bool last = i == lines.size() - 1;
        if (last && lines.at(i).isEmpty())
            break;  // the file ended with its line end
        // Every line, the last one too, is read with its line end.
        parseLine(defines, QString::fromUtf8(lines.at(i)) + QLatin1Char('\n'));
    }
    return defines;
}

SensorDefines ReadSensorDefines(const QString& path)
{
    QByteArray content;
    if (ReadPickedFile(path, StartupFileMaxBytes, &content) != PickedFileError::None)
        return SensorDefines();  // a refused file counts as missing
    return ParseSensorDefines(content);
}

QString InstalledSensorDefinesPath()
{
    return AppDir() + QStringLiteral("/driver_sensor.h");
}

SensorDefines ReadInstalledSensorDefines()
{
    return ReadSensorDefines(InstalledSensorDefinesPath());
}
