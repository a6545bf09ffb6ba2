// The device writers against the simulated device: the exact bytes each one
// stores, one send that reaches the device's memory, the offline rule with
// the page-filling flags, index checks and the guard against sending an
// image that was not read from the selected device.
#include "LinkTestSupport.h"

#include "DeviceWriters.h"
#include "DpiModel.h"
#include "HIDUsb.h"

#include <cstring>
#include <functional>
#include <vector>

using namespace linktest;

namespace {

const QString Receiver = QStringLiteral("rx8k");
const QString Mouse = QStringLiteral("mouse1");

struct WriterCase {
    const char* name;
    std::function<bool()> call;
    std::function<void(FlashDataMap&)> expect;
};

DpiStage stage(uint8_t x, uint8_t r)
{
    return DpiStage{x, x, 0x00, r, uint8_t(255 - r), 7};
}

KeyEventRecord comboRecord()
{
    KeyEventRecord record{};
    record.count = 4;
    record.events[0] = KeyEvent{0, 0, 0x01, 0};
    record.events[1] = KeyEvent{0, 1, 0x06, 10};
    record.events[2] = KeyEvent{1, 1, 0x06, 10};
    record.events[3] = KeyEvent{1, 0, 0x01, 0};
    return record;
}

// A 10-bit sensor without a table: 16000 DPI is code 319 (63 and 0x44).
const SensorDpi& tenBitSensor()
{
    static const SensorDpi sensor{QStringLiteral("3395"), SensorDefines(),
                                  ParseDpiRanges(QStringList{"50", "26000", "50", "0"})};
    return sensor;
}

MacroRecord macroRecord()
{
    MacroRecord record{};
    const char name[] = "宏 macro";
    record.nameLength = static_cast<uint8_t>(std::strlen(name));
    std::memcpy(record.name, name, record.nameLength);
    record.eventCount = MacroRecordEvents;
    for (int i = 0; i < MacroRecordEvents; ++i)
        record.events[i] = KeyEvent{uint8_t(i & 1), 1, uint16_t(4 + i / 2), uint32_t(i == 69 ? 65535 : 15)};
    return record;
}

const std::vector<WriterCase>& writerCases()
{
    static const std::vector<WriterCase> cases = {
        {"SetReportRate", [] { return SetReportRate(64); }, [](FlashDataMap& m) { m.reportRate = 64; }},
        {"SetDPILevelCount", [] { return SetDPILevelCount(8); }, [](FlashDataMap& m) { m.dpiStageCount = 8; }},
        {"SetDPILevel", [] { return SetDPILevel(5); }, [](FlashDataMap& m) { m.dpiStage = 5; }},
        {"SetConfigByte3", [] { return SetConfigByte3(0xA3); }, [](FlashDataMap& m) { m.reserved3 = 0xA3; }},
        {"SetConfigByte4", [] { return SetConfigByte4(0xA4); }, [](FlashDataMap& m) { m.reserved4 = 0xA4; }},
        {"SetLOD", [] { return SetLOD(3); }, [](FlashDataMap& m) { m.liftOff = 3; }},
        {"SetDebounceTime", [] { return SetDebounceTime(17); }, [](FlashDataMap& m) { m.debounce = 17; }},
        {"SetMotionSync", [] { return SetMotionSync(1); }, [](FlashDataMap& m) { m.motionSync = 1; }},
        {"SetSleepTime", [] { return SetSleepTime(240); }, [](FlashDataMap& m) { m.sleepTime = 240; }},
        {"SetStraightLine", [] { return SetStraightLine(1); }, [](FlashDataMap& m) { m.straightLine = 1; }},
        {"SetRippleControl", [] { return SetRippleControl(1); }, [](FlashDataMap& m) { m.rippleControl = 1; }},
        {"SetMoveLightOff", [] { return SetMoveLightOff(1); }, [](FlashDataMap& m) { m.moveLightOff = 1; }},
        {"SetPerformance", [] { return SetPerformance(1); }, [](FlashDataMap& m) { m.performance = 1; }},
        {"SetPerformanceOpen", [] { return SetPerformanceOpen(2); }, [](FlashDataMap& m) { m.performanceMode = 2; }},
        {"SetSensorMode", [] { return SetSensorMode(3); }, [](FlashDataMap& m) { m.sensorMode = 3; }},
        {"SetDPIValue", [] { return SetDPIValue(7, 0x11, 0x12, 0x22); },
         [](FlashDataMap& m) {
             m.dpiStages[7].xCode = 0x11;
             m.dpiStages[7].yCode = 0x12;
             m.dpiStages[7].flags = 0x22;
         }},
        {"SetSensorDPI", [] { return SetSensorDPI(4, 16000, tenBitSensor()); },
         [](FlashDataMap& m) {
             m.dpiStages[4].xCode = 63;
             m.dpiStages[4].yCode = 63;
             m.dpiStages[4].flags = 0x44;
         }},
        {"SetDPIColor", [] { return SetDPIColor(0, 1, 2, 3); },
         [](FlashDataMap& m) {
             m.dpiStages[0].r = 1;
             m.dpiStages[0].g = 2;
             m.dpiStages[0].b = 3;
         }},
        {"SwapDPILevels", [] { return SwapDPILevels(stage(9, 10), stage(19, 20), 3, 1, 3); },
         [](FlashDataMap& m) {
             m.dpiStages[1] = stage(9, 10);
             m.dpiStages[3] = stage(19, 20);
             m.dpiStage = 3;
             m.dpiStageCount = 4;
         }},
        {"SetDPILightMode on", [] { return SetDPILightMode(3); },
         [](FlashDataMap& m) {
             m.dpiLightMode = 3;
             m.dpiLightOn = 1;
         }},
        {"SetDPILightMode off", [] { return SetDPILightMode(0); }, [](FlashDataMap& m) { m.dpiLightOn = 0; }},
        {"SetDPILightBrightness", [] { return SetDPILightBrightness(230); },
         [](FlashDataMap& m) { m.dpiLightBrightness = 230; }},
        {"SetDPILightSpeed", [] { return SetDPILightSpeed(5); }, [](FlashDataMap& m) { m.dpiLightSpeed = 5; }},
        {"SetLightMode on", [] { return SetLightMode(6); },
         [](FlashDataMap& m) {
             m.lightMode = 6;
             m.lightOn = 1;
         }},
        {"SetLightMode off", [] { return SetLightMode(0); }, [](FlashDataMap& m) { m.lightOn = 0; }},
        {"SetLightColor", [] { return SetLightColor(10, 20, 30); },
         [](FlashDataMap& m) {
             m.lightR = 10;
             m.lightG = 20;
             m.lightB = 30;
         }},
        {"SetLightSpeed", [] { return SetLightSpeed(9); }, [](FlashDataMap& m) { m.lightSpeed = 9; }},
        {"SetLightBrightness", [] { return SetLightBrightness(0); }, [](FlashDataMap& m) { m.lightBrightness = 0; }},
        {"SetButtonKey", [] { return SetButtonKey(15, 10, 4, 0); },
         [](FlashDataMap& m) { m.keys[15] = KeyFunction{10, 4, 0}; }},
        {"SetButtonCombo", [] { return SetButtonCombo(2, KeyFunction{5, 0, 0}, comboRecord()); },
         [](FlashDataMap& m) {
             m.keys[2] = KeyFunction{5, 0, 0};
             m.keyEvents[2] = comboRecord();
         }},
        {"SetButtonMacro", [] { return SetButtonMacro(0, KeyFunction{6, 0, 253}, macroRecord()); },
         [](FlashDataMap& m) {
             m.keys[0] = KeyFunction{6, 0, 253};
             m.macros[0] = macroRecord();
         }},
    };
    return cases;
}

// The differing byte offsets of two images, for messages.
QString differences(const FlashDataMap& a, const FlashDataMap& b)
{
    QStringList out;
    for (size_t i = 0; i < sizeof a && out.size() < 12; ++i) {
        if (FlashBytes(a)[i] != FlashBytes(b)[i])
            out.append(QStringLiteral("%1: %2 != %3").arg(i).arg(FlashBytes(a)[i]).arg(FlashBytes(b)[i]));
    }
    return out.join(QStringLiteral("; "));
}

}  // namespace

class WritersTest : public QObject
{
    Q_OBJECT

    FlashDataMap m_base{};

private slots:
    void initTestCase()
    {
        QVERIFY(openReceiverLink(&m_base));
        QCOMPARE(m_base.dpiStageCount, uint8_t(6));  // the bench's factory image
    }

    void cleanupTestCase() { UsbServer_Exit(); }

    void init()
    {
        QVERIFY(startFromDeviceImage(Mouse, m_base));
        clearCallsLog();
    }

    void onlineWriterStoresExactBytesAndSendsOnce_data()
    {
        QTest::addColumn<int>("index");
        for (size_t i = 0; i < writerCases().size(); ++i)
            QTest::newRow(writerCases()[i].name) << int(i);
    }

    void onlineWriterStoresExactBytesAndSendsOnce()
    {
        QFETCH(int, index);
        const WriterCase& c = writerCases()[size_t(index)];
        // Bytes that the change sets to what they already are would hide a
        // writer that stores nothing: start from a different image.
        FlashDataMap start = m_base;
        start.lightMode = 2;
        start.dpiLightMode = 2;
        testsupport::SetImage(start);
        Recorder rec;
        FlashDataMap expected = start;
        c.expect(expected);
        QVERIFY(std::memcmp(&expected, &start, sizeof start) != 0);

        QVERIFY(c.call());
        const FlashDataMap now = SnapshotFlashData();
        QVERIFY2(std::memcmp(&now, &expected, sizeof now) == 0, qPrintable(differences(now, expected)));
        QCOMPARE(callsLog({QStringLiteral("ProtocolDataUpdate")}), QStringList({"ProtocolDataUpdate ok"}));
        const FlashDataMap stored = deviceImage(Mouse);
        QVERIFY2(std::memcmp(&stored, &expected, sizeof stored) == 0, qPrintable(differences(stored, expected)));
        QVERIFY(rec.entries().isEmpty());
    }

    // A device that refuses the write: false, and the image in memory still
    // is the device's (nothing of the change stays); the user is told that
    // the device did not take it, not that it is offline.
    void refusedWriteLeavesTheDevicesImage_data() { onlineWriterStoresExactBytesAndSendsOnce_data(); }
    void refusedWriteLeavesTheDevicesImage()
    {
        QFETCH(int, index);
        const WriterCase& c = writerCases()[size_t(index)];
        FlashDataMap start = m_base;
        start.lightMode = 2;
        start.dpiLightMode = 2;
        QVERIFY(startFromDeviceImage(Mouse, start));
        QVERIFY(endRefusalBurst());
        bench({QStringLiteral("fault"), Mouse, QStringLiteral("refuse-writes"), QStringLiteral("on")});
        Recorder rec;

        QVERIFY(!c.call());
        QCOMPARE(callsLog({QStringLiteral("ProtocolDataUpdate")}), QStringList({"ProtocolDataUpdate write refused"}));
        const FlashDataMap now = SnapshotFlashData();
        QVERIFY2(std::memcmp(&now, &start, sizeof now) == 0, qPrintable(differences(now, start)));
        const FlashDataMap stored = deviceImage(Mouse);
        QVERIFY2(std::memcmp(&stored, &now, sizeof now) == 0, qPrintable(differences(stored, now)));
        QCOMPARE(rec.entries(), refusalNotice());
    }

    // Refusals (R) and taken writes (T) at times in ms: which refusals are told.
    void refusalBursts_data()
    {
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QString>("told");
        QTest::newRow("first refusal") << QStringList{"R0"} << "1";
        QTest::newRow("a burst") << QStringList{"R0", "R10", "R50", "R1999"} << "1000";
        QTest::newRow("quiet gap") << QStringList{"R0", "R1999", "R3998", "R5998"} << "1001";
        QTest::newRow("taken ends it") << QStringList{"R0", "R10", "T", "R20", "R30"} << "10-10";
        QTest::newRow("taken alone") << QStringList{"T", "R5"} << "-1";
    }
    void refusalBursts()
    {
        QFETCH(QStringList, events);
        QFETCH(QString, told);
        RefusalBurst burst;
        QString seen;
        for (const QString& e : events) {
            if (e == QLatin1String("T")) {
                burst.Taken();
                seen += QLatin1Char('-');
            } else {
                seen += burst.Refused(e.mid(1).toLongLong()) ? QLatin1Char('1') : QLatin1Char('0');
            }
        }
        QCOMPARE(seen, told);
    }

    // Against the device: a burst of refused writes from every control is
    // told once, a retry inside UntoldWrites not at all; once a write was
    // taken, the next refusal is told again.
    void refusedBurstIsToldOnce()
    {
        QVERIFY(endRefusalBurst());
        bench({QStringLiteral("fault"), Mouse, QStringLiteral("refuse-writes"), QStringLiteral("on")});
        Recorder rec;
        for (const WriterCase& c : writerCases())
            QVERIFY(!c.call());
        QCOMPARE(rec.entries(), refusalNotice());
        bench({QStringLiteral("fault"), Mouse, QStringLiteral("refuse-writes"), QStringLiteral("off")});
        QVERIFY(endRefusalBurst());
        bench({QStringLiteral("fault"), Mouse, QStringLiteral("refuse-writes"), QStringLiteral("on")});
        rec.clear();
        {
            const UntoldWrites untold;
            QVERIFY(!SetLOD(3));
        }
        QVERIFY(rec.entries().isEmpty());
        QVERIFY(!SetLOD(3));
        QCOMPARE(rec.entries(), refusalNotice());
    }

    void refusedWriteAsTheToolShowsIt()
    {
        bench({QStringLiteral("fault"), Mouse, QStringLiteral("refuse-writes"), QStringLiteral("on")});
        const QString before = bench({QStringLiteral("show"), Mouse, QStringLiteral("debounce")});
        QVERIFY(!SetDebounceTime(uint8_t(m_base.debounce + 3)));
        QCOMPARE(bench({QStringLiteral("show"), Mouse, QStringLiteral("debounce")}), before);
        QCOMPARE(before.trimmed(), QStringLiteral("debounce: %1").arg(SnapshotFlashData().debounce));
        // Writes taken again: the same writer reaches the device.
        bench({QStringLiteral("fault"), Mouse, QStringLiteral("refuse-writes"), QStringLiteral("off")});
        QVERIFY(SetDebounceTime(uint8_t(m_base.debounce + 3)));
        QCOMPARE(bench({QStringLiteral("show"), Mouse, QStringLiteral("debounce")}).trimmed(),
                 QStringLiteral("debounce: %1").arg(m_base.debounce + 3));
    }

    void lightModeOffKeepsTheMode()
    {
        QVERIFY(SetLightMode(5));
        QVERIFY(SetLightMode(0));
        const FlashDataMap now = SnapshotFlashData();
        QCOMPARE(now.lightMode, uint8_t(5));
        QCOMPARE(now.lightOn, uint8_t(0));
        QVERIFY(SetDPILightMode(4));
        QVERIFY(SetDPILightMode(0));
        QCOMPARE(SnapshotFlashData().dpiLightMode, uint8_t(4));
        QCOMPARE(SnapshotFlashData().dpiLightOn, uint8_t(0));
        const FlashDataMap stored = deviceImage(Mouse);
        QCOMPARE(stored.lightMode, uint8_t(5));
        QCOMPARE(stored.lightOn, uint8_t(0));
        QCOMPARE(imageSends(), 4);
    }

    void swapWithLastThree()
    {
        const DpiStage a = stage(1, 2);
        const DpiStage b = stage(3, 4);
        QVERIFY(SwapDPILevels(a, b, 0, 5, 3));
        const FlashDataMap now = SnapshotFlashData();
        QCOMPARE(now.dpiStageCount, uint8_t(4));
        QCOMPARE(now.dpiStage, uint8_t(3));
        QCOMPARE(std::memcmp(&now.dpiStages[5], &a, 6), 0);
        QCOMPARE(std::memcmp(&now.dpiStages[0], &b, 6), 0);
        QCOMPARE(deviceImage(Mouse).dpiStageCount, uint8_t(4));
    }

    void badIndexesChangeNothing()
    {
        Recorder rec;
        const KeyEventRecord record = comboRecord();
        const MacroRecord macro = macroRecord();
        QVERIFY(!SetButtonKey(-1, 1, 1, 0));
        QVERIFY(!SetButtonKey(16, 1, 1, 0));
        QVERIFY(!SetButtonCombo(16, KeyFunction{5, 0, 0}, record));
        QVERIFY(!SetButtonCombo(-5, KeyFunction{5, 0, 0}, record));
        QVERIFY(!SetButtonMacro(16, KeyFunction{6, 0, 1}, macro));
        QVERIFY(!SetButtonMacro(1000, KeyFunction{6, 0, 1}, macro));
        QVERIFY(!SetDPIValue(8, 1, 1, 0));
        QVERIFY(!SetDPIValue(-1, 1, 1, 0));
        QVERIFY(!SetSensorDPI(-1, 800, tenBitSensor()));
        QVERIFY(!SetSensorDPI(8, 800, tenBitSensor()));
        QVERIFY(!SetDPIColor(8, 1, 1, 0));
        QVERIFY(!SetDPILevel(8));
        QVERIFY(!SetDPILevelCount(0));
        QVERIFY(!SetDPILevelCount(9));
        QVERIFY(!SwapDPILevels(stage(1, 1), stage(2, 2), 0, 1, 8));
        QVERIFY(!SwapDPILevels(stage(1, 1), stage(2, 2), 8, 1, 3));
        QVERIFY(!SwapDPILevels(stage(1, 1), stage(2, 2), 0, -1, 3));
        const FlashDataMap now = SnapshotFlashData();
        QCOMPARE(std::memcmp(&now, &m_base, sizeof now), 0);
        QCOMPARE(imageSends(), 0);
        QVERIFY(rec.entries().isEmpty());  // no offline notice either
        // Value bytes are not indexes: they pass through.
        QVERIFY(SetLOD(200));
        QCOMPARE(SnapshotFlashData().liftOff, uint8_t(200));
    }

    void offlineWritersStoreAndSendNothing_data()
    {
        QTest::addColumn<int>("index");
        for (size_t i = 0; i < writerCases().size(); ++i)
            QTest::newRow(writerCases()[i].name) << int(i);
    }

    void offlineWritersStoreAndSendNothing()
    {
        QFETCH(int, index);
        const WriterCase& c = writerCases()[size_t(index)];
        bench({QStringLiteral("offline"), Mouse});
        clearCallsLog();
        Recorder rec;
        QVERIFY(!c.call());
        QCOMPARE(rec.entries(), QStringList({"MouseOffLineo(0)"}));
        for (std::atomic<bool>* loading : {&ButtonUiLoading, &LightUiLoading, &SensorUiLoading}) {
            *loading = true;
            QVERIFY(!c.call());
            *loading = false;
        }
        QCOMPARE(rec.entries(), QStringList({"MouseOffLineo(0)"}));
        const FlashDataMap now = SnapshotFlashData();
        QCOMPARE(std::memcmp(&now, &m_base, sizeof now), 0);
        QCOMPARE(imageSends(), 0);
        QVERIFY(!ReadAgain.load());
    }

    void onlineCheckOnly()
    {
        Recorder rec;
        QVERIFY(IsDeviceOnline());
        QVERIFY(rec.entries().isEmpty());
        bench({QStringLiteral("offline"), Mouse});
        QVERIFY(!IsDeviceOnline());
        SensorUiLoading = true;
        QVERIFY(!IsDeviceOnline());
        SensorUiLoading = false;
        QCOMPARE(rec.entries(), QStringList({"MouseOffLineo(0)"}));
        QCOMPARE(imageSends(), 0);
    }

    void foreignImageIsNeverSent()
    {
        // The selection changed and the new device has not been read yet:
        // the image in memory is another device's.
        FlashDataMap foreign = m_base;
        foreign.reportRate = 8;
        foreign.keys[0] = KeyFunction{1, 2, 0};
        testsupport::SetImage(foreign);
        ImageBelongsToDevice = false;
        Recorder rec;
        QVERIFY(!SetDebounceTime(4));
        QVERIFY(!SetButtonKey(1, 1, 1, 0));
        QCOMPARE(SnapshotFlashData().debounce, foreign.debounce);
        QCOMPARE(imageSends(), 0);
        QVERIFY(ReadAgain.load());
        QVERIFY(DeviceOffline.load());
        QVERIFY(rec.entries().isEmpty());
        const FlashDataMap stored = deviceImage(Mouse);
        QCOMPARE(std::memcmp(&stored, &m_base, sizeof stored), 0);
    }
};

QTEST_MAIN(WritersTest)
#include "tst_writers.moc"
