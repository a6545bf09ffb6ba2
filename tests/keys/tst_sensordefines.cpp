// The sensor definition reader, the shipped definition file and the DPI
// step conversion of the DPI-lock function.
#include "Globals.h"
#include "KeyFunctions.h"
#include "SensorDefines.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace keys;

namespace {

SensorDefines defs(const QList<QPair<QString, int>>& entries)
{
    SensorDefines d;
    for (const auto& e : entries) {
        d.names.append(e.first);
        d.values.append(e.second);
    }
    return d;
}

const int lockDpis[] = {100, 200, 300, 400, 500, 600, 700, 800, 900, 1000, 1100, 1200};

}  // namespace

class SensorDefinesTest : public QObject
{
    Q_OBJECT

private slots:
    void lines_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<int>>("values");
        QTest::newRow("hex") << QByteArray("#define SENSOR_3395_DPI_400\t0x07\n") << QStringList{"SENSOR_3395_DPI_400"}
                             << QList<int>{7};
        QTest::newRow("decimal") << QByteArray("#define SENSOR_3395_DPI_400\t07\n")
                                 << QStringList{"SENSOR_3395_DPI_400"} << QList<int>{7};
        QTest::newRow("last line without line end")
            << QByteArray("#define A\t1\n#define B\t0x20") << QStringList{"A", "B"} << QList<int>{1, 32};
        QTest::newRow("CR LF") << QByteArray("#define A\t0x0A\r\n#define B\t11\r\n") << QStringList{"A", "B"}
                               << QList<int>{10, 11};
        QTest::newRow("comment decimal") << QByteArray("#define N\t12 //twelve\n") << QStringList{"N"}
                                         << QList<int>{12};
        QTest::newRow("comment hex") << QByteArray("#define N\t0x0C //twelve\n") << QStringList{"N"}
                                     << QList<int>{12};
        QTest::newRow("comment on the last line") << QByteArray("#define N\t0x0C //x") << QStringList{"N"}
                                                  << QList<int>{12};
        QTest::newRow("tab after define") << QByteArray("#define\tN\t5\n") << QStringList{} << QList<int>{};
        QTest::newRow("space before line end") << QByteArray("#define N\t5 \n") << QStringList{} << QList<int>{};
        QTest::newRow("no value") << QByteArray("#define GUARD_H\n#define N\t\n#define M\n") << QStringList{}
                                  << QList<int>{};
        QTest::newRow("not a number") << QByteArray("#define N\tabc\n") << QStringList{"N"} << QList<int>{0};
        QTest::newRow("negative") << QByteArray("#define N\t-0x0C\n#define M\t-3\n") << QStringList{"N", "M"}
                                  << QList<int>{0, 0};
        QTest::newRow("not define") << QByteArray("#undef N\t5\n") << QStringList{} << QList<int>{};
        QTest::newRow("comments and blanks")
            << QByteArray("/* a comment */\n\n// x y\n#ifndef X\n#endif\n") << QStringList{} << QList<int>{};
        QTest::newRow("switch line") << QByteArray("#define SUPPORT_LOD_CAL\tAX72|IX90\n") << QStringList{}
                                     << QList<int>{};
        QTest::newRow("comment of several words") << QByteArray("#define N\t5 // two words\n") << QStringList{} << QList<int>{};
        QTest::newRow("three fields comment") << QByteArray("#define N\t5\t6 //c\n") << QStringList{}
                                              << QList<int>{};
        QTest::newRow("empty file") << QByteArray() << QStringList{} << QList<int>{};
    }
    void lines()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, names);
        QFETCH(QList<int>, values);
        const SensorDefines d = ParseSensorDefines(text);
        QCOMPARE(QStringList(d.names.toList()), names);
        QCOMPARE(d.values.toList(), values);
    }

    void switchLines()
    {
        const SensorDefines d = ParseSensorDefines("#define SUPPORT_SENSOR_MODE_SEL\tAX72\n"
                                                   "#define SUPPORT_RIPPLE\tAX72|IX90\n"
                                                   "#define SUPPORT_FIXLINE\n"
                                                   "#define SUPPORT_MOTION_SYNC\tIX90");
        QCOMPARE(d.SwitchText("SUPPORT_SENSOR_MODE_SEL"), QString("AX72"));
        QCOMPARE(d.SwitchText("SUPPORT_RIPPLE"), QString("AX72|IX90"));
        QCOMPARE(d.SwitchText("SUPPORT_MOTION_SYNC"), QString("IX90"));
        QVERIFY(d.SwitchText("SUPPORT_FIXLINE").isEmpty());
        QVERIFY(d.SwitchText("SUPPORT_LOD_CAL").isEmpty());
        QVERIFY(d.names.isEmpty());
        QCOMPARE(SensorDefines::SwitchNames().size(), 6);
        // A sensor's switches: whole names only, in the fixed order.
        QCOMPARE(d.SwitchesOf("AX72"), QStringList({"SUPPORT_SENSOR_MODE_SEL", "SUPPORT_RIPPLE"}));
        QCOMPARE(d.SwitchesOf("IX90"), QStringList({"SUPPORT_RIPPLE", "SUPPORT_MOTION_SYNC"}));
        QVERIFY(d.SwitchesOf("AX7").isEmpty());
        QVERIFY(d.SwitchesOf("").isEmpty());
    }

    void everyReadStartsEmpty()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("driver_sensor.h");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#define SUPPORT_LOD_CAL\tX\n#define SENSOR_X_DPI_100\t1\n");
        file.close();
        const SensorDefines first = ReadSensorDefines(path);
        const SensorDefines second = ReadSensorDefines(path);
        QCOMPARE(first.names.size(), 1);
        QCOMPARE(second.names.size(), 1);
        QCOMPARE(second.values.size(), 1);
        const SensorDefines missing = ReadSensorDefines(dir.filePath("none.h"));
        QVERIFY(missing.names.isEmpty() && missing.values.isEmpty() && missing.switches.isEmpty());

        SetAppDirOverride(dir.path());
        QCOMPARE(ReadInstalledSensorDefines().names, first.names);
        SetAppDirOverride(QString());
    }

    void dpiWithoutDefinitions()
    {
        const SensorDefines none;
        QCOMPARE(DPIValueToIndex("3395", none, 100), 1);
        QCOMPARE(DPIValueToIndex("3395", none, 1200), 23);
        QCOMPARE(DPIValueToIndex("3395", none, 75), 0);
        QCOMPARE(DPIIndexToValue("3395", none, 1), 100);
        QCOMPARE(DPIIndexToValue("3395", none, 23), 1200);
        QCOMPARE(DPIIndexToValue("3395", none, 0), 50);
        QCOMPARE(DPIIndexToValue("3395", none, 255), 12800);
        for (int dpi : lockDpis)
            QCOMPARE(DPIIndexToValue("3395", none, DPIValueToIndex("3395", none, dpi)), dpi);
        // Results outside a byte are refused; so are indexes outside it.
        QCOMPARE(DPIValueToIndex("3395", none, 25), DpiIndexNotFound);
        QCOMPARE(DPIValueToIndex("3395", none, 13000), DpiIndexNotFound);
        QCOMPARE(DPIIndexToValue("3395", none, -1), 0);
        QCOMPARE(DPIIndexToValue("3395", none, 256), 0);
    }

    void dpiWithDefinitions_data()
    {
        QTest::addColumn<QString>("sensor");
        QTest::newRow("digits") << "3395";
        // A name with capital letters I: the DPI is read after the sensor's
        // own prefix, not after the first "I" of the name.
        QTest::newRow("capital I") << "IX90";
        QTest::newRow("I at the end") << "PIXI";
    }
    void dpiWithDefinitions()
    {
        QFETCH(QString, sensor);
        const QString p = "SENSOR_" + sensor + "_DPI_";
        const SensorDefines d = defs({{"SENSOR_OTHER_DPI_800", 99}, {p + "400", 7}, {p + "800", 16},
                                      {p + "1600", 300}, {p + "X", 40}, {"UNRELATED", 16}});
        QCOMPARE(DPIValueToIndex(sensor, d, 800), 16);
        QCOMPARE(DPIIndexToValue(sensor, d, 16), 800);
        QCOMPARE(DPIValueToIndex(sensor, d, 400), 7);
        QCOMPARE(DPIIndexToValue(sensor, d, 7), 400);
        // No definition of that sensor has the index / the value.
        QCOMPARE(DPIIndexToValue(sensor, d, 17), 0);
        QCOMPARE(DPIIndexToValue(sensor, d, 99), 0);
        QCOMPARE(DPIValueToIndex(sensor, d, 900), DpiIndexNotFound);
        // A code that does not fit a byte is refused.
        QCOMPARE(DPIValueToIndex(sensor, d, 1600), DpiIndexNotFound);
        // A name of the table without a number stands for no DPI.
        QCOMPARE(DPIIndexToValue(sensor, d, 40), 0);
        // Another sensor's definitions play no part.
        const SensorDefines other = defs({{"SENSOR_OTHER_DPI_800", 16}});
        QCOMPARE(DPIValueToIndex(sensor, other, 800), 15);
        QCOMPARE(DPIIndexToValue(sensor, other, 16), 850);
    }

    // The shipped file: both sensors of the model table have a DPI table
    // whose codes fit a byte and decode back; the twelve DPI-lock values
    // convert both ways; every switch is set.
    void shippedDefinitions()
    {
        const SensorDefines d = ReadInstalledSensorDefines();
        QVERIFY2(!d.names.isEmpty(), qPrintable(InstalledSensorDefinesPath()));
        QCOMPARE(d.names.size(), d.values.size());
        for (const QString& name : SensorDefines::SwitchNames())
            QVERIFY2(!d.SwitchText(name).isEmpty(), qPrintable(name));
        for (const QString sensor : {"AX72", "IX90"}) {
            QVERIFY(d.HasDpiTable(sensor));
            QSet<int> codes;
            for (int i = 0; i < d.names.size(); ++i) {
                if (!d.names[i].startsWith(SensorDefines::DpiPrefix(sensor)))
                    continue;
                QVERIFY(d.values[i] >= 0 && d.values[i] <= 255);
                QVERIFY2(!codes.contains(d.values[i]), qPrintable(d.names[i]));
                codes.insert(d.values[i]);
                QCOMPARE(SensorDefines::DpiPrefix(sensor) + QString::number(DPIIndexToValue(sensor, d, d.values[i])),
                         d.names[i]);
            }
            QVERIFY(codes.size() > 100);
            for (int dpi : lockDpis) {
                const int index = DPIValueToIndex(sensor, d, dpi);
                QVERIFY2(index != DpiIndexNotFound, qPrintable(sensor + " " + QString::number(dpi)));
                QCOMPARE(DPIIndexToValue(sensor, d, index), dpi);
            }
        }
        // The table is not the formula: 800 DPI is code 16 on both sensors.
        QCOMPARE(DPIValueToIndex("IX90", d, 800), 16);
        QCOMPARE(DPIIndexToValue("IX90", d, 16), 800);
        QCOMPARE(DPIValueToIndex("AX72", d, 800), 16);
    }
};

QTEST_GUILESS_MAIN(SensorDefinesTest)
#include "tst_sensordefines.moc"
