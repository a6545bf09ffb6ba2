// The DPI model: range lists as Config.ini gives them, snapping and stepping
// across gaps, and the register codes of both shipped sensors (their tables
// in the installed driver_sensor.h) and of sensors without a table, 10-bit
// ones included.
#include "DpiModel.h"
#include "Globals.h"

#include <QtTest>

namespace {

// A Config.ini list as the settings give it: no items for an empty value.
QStringList items(const QString& list)
{
    return list.isEmpty() ? QStringList() : list.split(QLatin1Char(','));
}

// The ranges of the shipped models and of a few sensors without a table.
const char* const Ax72Ranges = "100,12750,50,12800,25500,100,0x22";
const char* const Ix90Ranges = "100,3200,50,3300,12000,100,0x22";
const char* const FourRanges = "50,10000,50,10050,20000,50,20100,30000,100,30200,51200,200,0x33";

// The installed definitions, read once for every case.
SensorDpi sensor(const QString& name, const QString& ranges)
{
    static const SensorDefines defines = ReadInstalledSensorDefines();
    SensorDpi s;
    s.sensorName = name;
    s.defines = defines;
    s.ranges = ParseDpiRanges(items(ranges));
    return s;
}

}  // namespace

class DpiModelTest : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("count");
        QTest::addColumn<QVector<int>>("mins");
        QTest::addColumn<QVector<int>>("maxs");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        const QVector<int> none;
        QTest::newRow("two ranges") << "100,3200,50,3300,12000,100,22" << 0x22 << 2 << QVector<int>{100, 3300}
                                    << QVector<int>{3200, 12000} << 100 << 12000;
        QTest::newRow("eighth item is the mode") << "100,3200,50,3300,12000,100,7,0x11" << 0x11 << 2
                                                 << QVector<int>{100, 3300} << QVector<int>{3200, 12000} << 100
                                                 << 12000;
        QTest::newRow("four ranges") << FourRanges << 0x33 << 4 << QVector<int>{50, 10050, 20100, 30200}
                                     << QVector<int>{10000, 20000, 30000, 51200} << 50 << 51200;
        QTest::newRow("blanks") << " 100 , 800 , 50 , 0x22 " << 0x22 << 1 << QVector<int>{100} << QVector<int>{800}
                                << 100 << 800;
        QTest::newRow("mode no number") << "100,800,50,zz" << 0 << 1 << QVector<int>{100} << QVector<int>{800} << 100
                                        << 800;
        QTest::newRow("five ranges") << "1,2,1,3,4,1,5,6,1,7,8,1,9,10,1,0x22" << 0x22 << 0 << none << none << 50
                                     << 32000;
        QTest::newRow("mode only") << "0x22" << 0x22 << 0 << none << none << 50 << 32000;
        QTest::newRow("empty") << "" << 0 << 0 << none << none << 50 << 32000;
        QTest::newRow("step 0") << "100,800,0,0x22" << 0x22 << 0 << none << none << 50 << 32000;
        QTest::newRow("step no number") << "100,800,x,0x22" << 0x22 << 0 << none << none << 50 << 32000;
        QTest::newRow("min above max") << "100,800,50,900,850,50,0x22" << 0x22 << 0 << none << none << 50 << 32000;
        QTest::newRow("min 0") << "0,800,50,0x22" << 0x22 << 0 << none << none << 50 << 32000;
        QTest::newRow("max no number") << "100,8k,50,0x22" << 0x22 << 0 << none << none << 50 << 32000;
    }
    void parse()
    {
        QFETCH(QString, list);
        QFETCH(int, mode);
        QFETCH(int, count);
        QFETCH(QVector<int>, mins);
        QFETCH(QVector<int>, maxs);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        const DpiRanges r = ParseDpiRanges(items(list), QStringLiteral("1"));
        QCOMPARE(r.mode, mode);
        QCOMPARE(r.count, count);
        QCOMPARE(r.mins, mins);
        QCOMPARE(r.maxs, maxs);
        QCOMPARE(r.steps.size(), count);
        QCOMPARE(r.texts.size(), 3 * count);
        QCOMPARE(r.Minimum(), minimum);
        QCOMPARE(r.Maximum(), maximum);
        QCOMPARE(r.xIn1, 1);
    }

    void snap_data()
    {
        QTest::addColumn<QString>("ranges");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("snapped");
        QTest::addColumn<int>("pageStep");
        const QString two = QStringLiteral("100,10000,50,10100,26000,100,0x22");
        QTest::newRow("range 1") << two << 1234 << 1200 << 50;
        QTest::newRow("gap") << two << 10050 << 10100 << 100;
        QTest::newRow("range 2") << two << 12345 << 12300 << 100;
        QTest::newRow("range 2 top") << two << 26000 << 26000 << 100;
        QTest::newRow("below") << two << 80 << 80 << 0;
        QTest::newRow("above") << two << 26050 << 26050 << 0;
        QTest::newRow("grid from the minimum") << "150,1000,100,0x22" << 199 << 150 << 100;
        QTest::newRow("third gap") << QString::fromLatin1(FourRanges) << 30100 << 30200 << 200;
        QTest::newRow("range 4") << QString::fromLatin1(FourRanges) << 30599 << 30400 << 200;
        QTest::newRow("no ranges") << "1,2,0,0x22" << 1234 << 1234 << 0;
    }
    void snap()
    {
        QFETCH(QString, ranges);
        QFETCH(int, value);
        QFETCH(int, snapped);
        QFETCH(int, pageStep);
        const DpiSnap s = SnapDpi(ParseDpiRanges(items(ranges)), value);
        QCOMPARE(s.value, snapped);
        QCOMPARE(s.pageStep, pageStep);
    }

    void step_data()
    {
        QTest::addColumn<QString>("ranges");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("up");
        QTest::addColumn<int>("result");
        const QString two = QStringLiteral("100,10000,50,10100,26000,100,0x22");
        QTest::newRow("add in range 1") << two << 9950 << true << 10000;
        QTest::newRow("add at max 1") << two << 10000 << true << 10100;
        QTest::newRow("add in gap") << two << 10050 << true << 10100;
        QTest::newRow("add in last range") << two << 26000 << true << 26100;
        QTest::newRow("reduce at min 2") << two << 10100 << false << 10000;
        QTest::newRow("reduce in gap") << two << 10050 << false << 10100;
        QTest::newRow("reduce at min 1") << two << 100 << false << 50;
        QTest::newRow("add outside") << two << 30000 << true << 30000;
        QTest::newRow("add at max 3") << QString::fromLatin1(FourRanges) << 30000 << true << 30200;
        QTest::newRow("reduce in range 4") << QString::fromLatin1(FourRanges) << 30200 << false << 30000;
        QTest::newRow("no ranges") << "" << 1234 << true << 1234;
    }
    void step()
    {
        QFETCH(QString, ranges);
        QFETCH(int, value);
        QFETCH(bool, up);
        QFETCH(int, result);
        QCOMPARE(StepDpi(ParseDpiRanges(items(ranges)), value, up), result);
    }

    // Every value on the grid of every range comes back from its code.
    void roundTrip_data()
    {
        QTest::addColumn<QString>("sensorName");
        QTest::addColumn<QString>("ranges");
        QTest::addColumn<bool>("table");
        QTest::newRow("AX72 table") << "AX72" << Ax72Ranges << true;
        QTest::newRow("IX90 table") << "IX90" << Ix90Ranges << true;
        QTest::newRow("formula") << "PX10" << Ax72Ranges << false;
        QTest::newRow("formula 0x11") << "PX10" << "100,12800,50,12900,25600,100,0x11" << false;
        QTest::newRow("10-bit 0x33") << "3395" << FourRanges << false;
        QTest::newRow("10-bit 3950") << "3950" << "50,26000,50,0" << false;
    }
    void roundTrip()
    {
        QFETCH(QString, sensorName);
        QFETCH(QString, ranges);
        QFETCH(bool, table);
        const SensorDpi s = sensor(sensorName, ranges);
        QCOMPARE(s.defines.HasDpiTable(sensorName), table);
        QVERIFY(s.ranges.count > 0);
        int checked = 0;
        for (int k = 0; k < s.ranges.count; ++k) {
            for (int dpi = s.ranges.mins[k]; dpi <= s.ranges.maxs[k]; dpi += s.ranges.steps[k]) {
                const DpiRegister reg = s.Encode(dpi, 0);
                const std::optional<int> back = s.Decode(reg.code, reg.flags);
                QVERIFY2(back && *back == dpi,
                         qPrintable(QStringLiteral("%1 -> code %2 flags %3 -> %4")
                                        .arg(dpi)
                                        .arg(reg.code)
                                        .arg(reg.flags, 2, 16, QLatin1Char('0'))
                                        .arg(back ? *back : -1)));
                ++checked;
            }
        }
        QVERIFY(checked > 100);
    }

    void encode_data()
    {
        QTest::addColumn<QString>("sensorName");
        QTest::addColumn<QString>("ranges");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("presentFlags");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("flags");
        QTest::newRow("formula") << "PX10" << "100,12750,50,0x00" << 800 << 0 << 15 << 0;
        QTest::newRow("10-bit over the third range")
            << "3395" << "50,5000,50,5050,10000,50,10100,20000,100,20200,30000,200,0x33" << 26000 << 0 << 3 << 0x55;
        QTest::newRow("10-bit 16000") << "3395" << "50,26000,50,0" << 16000 << 0 << 63 << 0x44;
        QTest::newRow("10-bit code 1023") << "3950" << "50,26000,50,0" << 51200 << 0 << 0xFF << 0xCC;
        QTest::newRow("10-bit code 1024 clamped") << "3950" << "50,26000,50,0" << 51250 << 0 << 0xFF << 0xCC;
        QTest::newRow("8-bit code 256 clamped") << "PX10" << "50,26000,50,0" << 12850 << 0 << 0xFF << 0;
        QTest::newRow("below the lowest code") << "PX10" << "50,26000,50,0" << 40 << 0 << 0 << 0;
        QTest::newRow("10-bit below the lowest code") << "3395" << "50,26000,50,0" << 0 << 0 << 0 << 0;
        QTest::newRow("mode without ranges") << "PX10" << "0,0,0,0x22" << 20000 << 0 << 0xFF << 0;
        QTest::newRow("0x33 above every range")
            << "PX10" << "50,1000,50,1050,2000,50,2100,3000,100,3200,4000,200,0x33" << 6000 << 0 << 29 << 0x33;
        QTest::newRow("table") << "AX72" << Ax72Ranges << 800 << 0 << 0x10 << 0;
        QTest::newRow("table doubled") << "AX72" << Ax72Ranges << 25500 << 0 << 0xFF << 0x22;
        QTest::newRow("table lacks the value") << "AX72" << Ax72Ranges << 825 << 0 << 16 << 0;
        QTest::newRow("table lacks it, step 100") << "AX72" << Ax72Ranges << 825 << 0x22 << 8 << 0;
    }
    void encode()
    {
        QFETCH(QString, sensorName);
        QFETCH(QString, ranges);
        QFETCH(int, dpi);
        QFETCH(int, presentFlags);
        QFETCH(int, code);
        QFETCH(int, flags);
        const DpiRegister reg = sensor(sensorName, ranges).Encode(dpi, uint8_t(presentFlags));
        QCOMPARE(int(reg.code), code);
        QCOMPARE(int(reg.flags), flags);
    }

    void decode_data()
    {
        QTest::addColumn<QString>("sensorName");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("dpi");  // -1: not defined
        QTest::newRow("formula") << "PX10" << 15 << 0 << 800;
        QTest::newRow("formula 0x33") << "PX10" << 9 << 0x33 << 2000;
        QTest::newRow("10-bit") << "3395" << 3 << 0x55 << 26000;
        QTest::newRow("10-bit bits ignored elsewhere") << "PX10" << 3 << 0xC0 << 200;
        QTest::newRow("table") << "IX90" << 0x21 << 0x22 << 3300;
        QTest::newRow("table doubled twice") << "IX90" << 0x21 << 0x33 << 6600;
        QTest::newRow("code the table lacks") << "IX90" << 0x79 << 0 << -1;
        QTest::newRow("code 0 the table lacks") << "AX72" << 0 << 0x22 << -1;
    }
    void decode()
    {
        QFETCH(QString, sensorName);
        QFETCH(int, code);
        QFETCH(int, flags);
        QFETCH(int, dpi);
        const std::optional<int> d = sensor(sensorName, Ax72Ranges).Decode(uint8_t(code), uint8_t(flags));
        QCOMPARE(d.value_or(-1), dpi);
    }
};

QTEST_MAIN(DpiModelTest)
#include "tst_dpimodel.moc"
