// Report handling through a real link to the simulated device: the full read
// (requests, signal order, the parsed image, the cache), its sanity checks,
// the key-defaults pass, model defaults after a reset on a 4 kHz receiver,
// status changes, device reports that make no sense, and the version report.
#include "LinkTestSupport.h"

#include "DeviceCache.h"
#include "HIDUsb.h"
#include "LinkSupport.h"
#include "RegistryStore.h"
#include "Worker.h"

#include <QTemporaryDir>

#include <cstring>

using namespace linktest;

namespace {

const QString Receiver = QStringLiteral("rx8k");
const QString Mouse = QStringLiteral("mouse1");
const QStringList Requests = {QStringLiteral("UsbServer_Read"), QStringLiteral("ProtocolDataUpdate"),
                              QStringLiteral("UsbFinderC_Set")};

DeviceAllInfo receiverRecord(uint8_t type)
{
    DeviceAllInfo info;
    info.path = QStringLiteral("hidbench/rx8k");
    info.vid = QStringLiteral("7A51");
    info.pid = QStringLiteral("F080");
    info.cid = 24;
    info.mid = 1;
    info.type = type;
    info.driveIndex = 0;
    info.online = 1;
    info.directMouse = DirectMouseFromType(type);
    return info;
}

// An image with every key event record and macro record in use.
FlashDataMap imageWithKeyRecords(const FlashDataMap& base)
{
    FlashDataMap image = base;
    for (int k = 0; k < KeyCount; ++k) {
        image.keyEvents[k].count = 2;
        image.keyEvents[k].events[0] = KeyEvent{0, 1, uint16_t(4 + k), 5};
        image.keyEvents[k].events[1] = KeyEvent{1, 1, uint16_t(4 + k), 5};
        image.macros[k].nameLength = 2;
        image.macros[k].name[0] = 'M';
        image.macros[k].name[1] = char('a' + k);
        image.macros[k].eventCount = 1;
        image.macros[k].events[0] = KeyEvent{0, 1, uint16_t(30 + k), 100};
    }
    return image;
}

QString benchIni()
{
    QFile file(benchDir() + QStringLiteral("/bench.ini"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

class FullReadTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_appDir;
    FlashDataMap m_factory{};

    void openLink()
    {
        const QByteArray path = CurrentDevicePath();
        QVERIFY(UsbServerC_Start(path.constData(), path.constData(), &Worker::OnProtocolData));
        UsbServer_SetPCDriverStatus(1);
    }

    // Asks for the whole image and waits for the pages' signals and the
    // answers to the requests that follow (the last is the profile).
    void fullRead(Recorder& rec)
    {
        UsbServer_ReadAllFlashData();
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("Form")); }));
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("ConfigUI")); }));
    }

private slots:
    void initTestCase()
    {
        installConfig(m_appDir);
        bench({QStringLiteral("init")});
        bench({QStringLiteral("option"), QStringLiteral("trace=on")});
        m_factory = deviceImage(Mouse);
        ShowBatteryValue = 1;
    }

    void init()
    {
        UsbServer_Exit();
        pump(60);  // a report of the closed link may still be on its way
        bench({QStringLiteral("fault"), Mouse, QStringLiteral("clear")});
        bench({QStringLiteral("set"), Receiver, QStringLiteral("kind=5"), QStringLiteral("long_range=0")});
        QVERIFY(storeDeviceImage(Mouse, m_factory));
        testsupport::EnterSituation(testsupport::Situation::DeviceList);
        CurrentDeviceInfo = receiverRecord(5);
        SetCurrentDevicePath("hidbench/rx8k");
        QDir(DeviceInfoFolder()).removeRecursively();
        testsupport::SetImage(FlashDataMap{});
        clearCallsLog();
    }

    void cleanupTestCase() { UsbServer_Exit(); }

    void fullReadOrderImageAndCache()
    {
        Recorder rec;
        openLink();
        LightUiUpdated = true;
        SensorUiUpdated = true;
        ButtonUiUpdated = true;
        WorkerRun = true;
        OnlineAtEnd = false;
        fullRead(rec);
        pump(150);

        QCOMPARE(rec.entries(), QStringList({"Button", "Light", "Sensor", "Form", "DPILed", "Battery(0,80,1)",
                                             "Setver(0)", "ConfigUI(4,0,true)"}));
        QVERIFY(!rec.arrivedOffGuiThread());
        QCOMPARE(callsLog(Requests), QStringList({"UsbServer_ReadAllFlashData", "UsbServer_ReadDPILed",
                                                  "UsbServer_ReadBatteryLevel", "UsbServer_ReadVersion",
                                                  "UsbServer_ReadConfig", "ProtocolDataUpdate ok"}));
        // Every page got the device's image.
        const QList<FlashDataMap> images = rec.images();
        QCOMPARE(images.size(), 4);
        for (const FlashDataMap& image : images)
            QVERIFY(sameImage(image, m_factory));
        QVERIFY(sameImage(SnapshotFlashData(), m_factory));
        QVERIFY(ImageBelongsToDevice.load());
        QCOMPARE(CurrentConfigPath, QStringLiteral("Device_CID18_MID01.bin"));
        FlashDataMap cached;
        QVERIFY(ReadDeviceInfoFile(QStringLiteral("Device_CID18_MID01.bin"), cached));
        QVERIFY(sameImage(cached, m_factory));
        QVERIFY(!LightUiUpdated.load());
        QVERIFY(!SensorUiUpdated.load());
        QVERIFY(!ButtonUiUpdated.load());
        QVERIFY(OnlineAtEnd.load());
        QVERIFY(!WorkerRun.load());
        // The version report: the record of the model and the current device.
        QCOMPARE(CurrentDeviceInfo.firmwareVersion, QStringLiteral("v1.5"));
        QCOMPARE(RegistryStore(ProgramRegistryKey()).value(QStringLiteral("MouseVer241")).toString(),
                 QStringLiteral("v1.5"));
    }

    void versionReportFollowsTheDevice()
    {
        Recorder rec;
        bench({QStringLiteral("firmware"), Mouse, QStringLiteral("2.1a")});
        openLink();
        UsbServer_ReadVersion();
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("Setver")); }));
        QCOMPARE(CurrentDeviceInfo.firmwareVersion, QStringLiteral("v2.1a"));
        QCOMPARE(RegistryStore(ProgramRegistryKey()).value(QStringLiteral("MouseVer241")).toString(),
                 QStringLiteral("v2.1a"));
        bench({QStringLiteral("firmware"), Mouse, QStringLiteral("1.5")});
    }

    void receiverSettingsOfA4kReceiver()
    {
        bench({QStringLiteral("set"), Receiver, QStringLiteral("kind=1"), QStringLiteral("long_range=1")});
        CurrentDeviceInfo = receiverRecord(1);
        Recorder rec;
        openLink();
        fullRead(rec);
        QCOMPARE(rec.entriesWithout({"DPILed", "Battery", "Setver", "ConfigUI"}),
                 QStringList({"RGB(1)", "LongRange(true)", "Button", "Light", "Sensor", "Form"}));
        QCOMPARE(CurrentDongleRGBBlock.data[0], uint8_t(1));

        // After model defaults the receiver is not asked again.
        rec.clear();
        SkipReceiverQuery = true;
        fullRead(rec);
        QCOMPARE(rec.entriesWithout({"DPILed", "Battery", "Setver", "ConfigUI"}),
                 QStringList({"Button", "Light", "Sensor", "Form"}));
        QVERIFY(!SkipReceiverQuery.load());
    }

    // A change made at the receiver itself reaches the pages as the receiver
    // holds it: its report is followed by a read of the receiver.
    void receiverReportsAreFollowed_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("before");  // bench.ini fields of the receiver
        QTest::addColumn<QStringList>("change");
        QTest::addColumn<QStringList>("posted");
        const QString light3 = QStringLiteral("dongle_light=03,00,00,00,00,00,00,00,00,00");
        QTest::newRow("light of a 4 kHz receiver")
            << 1 << light3 << QStringList({"dongle-light", "rx8k", "2"}) << QStringList({"RGB(2)"});
        QTest::newRow("light back")
            << 1 << QStringLiteral("dongle_light=02,00,00,00,00,00,00,00,00,00")
            << QStringList({"dongle-light", "rx8k", "3"}) << QStringList({"RGB(3)"});
        QTest::newRow("light 0: nothing to show")
            << 1 << light3 << QStringList({"dongle-light", "rx8k", "0"}) << QStringList();
        QTest::newRow("an 8 kHz receiver has no light to show")
            << 5 << light3 << QStringList({"dongle-light", "rx8k", "2"}) << QStringList();
        QTest::newRow("long range on") << 5 << QStringLiteral("long_range=0")
                                       << QStringList({"long-range", "rx8k", "on"}) << QStringList({"LongRange(true)"});
        QTest::newRow("long range off") << 5 << QStringLiteral("long_range=1")
                                        << QStringList({"long-range", "rx8k", "off"}) << QStringList({"LongRange(false)"});
    }

    void receiverReportsAreFollowed()
    {
        QFETCH(int, kind);
        QFETCH(QString, before);
        QFETCH(QStringList, change);
        QFETCH(QStringList, posted);
        bench({QStringLiteral("set"), Receiver, QStringLiteral("kind=%1").arg(kind), before});
        CurrentDeviceInfo = receiverRecord(uint8_t(kind));
        CurrentDongleRGBBlock.data[0] = 1;  // what the program knew before
        Recorder rec;
        openLink();
        bench(change);
        // Reports come in order: once the battery is shown, the change is too.
        bench({QStringLiteral("battery"), Receiver, QStringLiteral("80")});
        posted << QStringLiteral("Battery(0,80,1)");
        QVERIFY(QTest::qWaitFor([&] { return rec.entries().size() >= posted.size(); }));
        pump(50);
        QCOMPARE(rec.entries(), posted);
        if (kind == 1 && change.first() == QLatin1String("dongle-light"))
            QCOMPARE(int(CurrentDongleRGBBlock.data[0]), change.last().toInt());
        CurrentDongleRGBBlock.data[0] = 0;
    }

    void keyDefaultsPassKeepsListedKeys()
    {
        installConfig(m_appDir.path(), configText(QStringLiteral("KeyParam1=0x01,0x01,0x00\n"
                                                                 "KeyParam4=0x05,0,0,Ctrl+C\n"
                                                                 "Adveanced=1,2\n")));
        const FlashDataMap full = imageWithKeyRecords(m_factory);
        QVERIFY(storeDeviceImage(Mouse, full));

        // Without the pass the records stay as the device sent them.
        Recorder rec;
        openLink();
        fullRead(rec);
        QVERIFY(sameImage(SnapshotFlashData(), full));

        rec.clear();
        clearCallsLog();
        KeyParamPassPending = true;
        fullRead(rec);
        QVERIFY(!KeyParamPassPending.load());
        FlashDataMap expected = full;
        for (int k = 0; k < KeyCount; ++k) {
            if (k == 3)
                continue;
            std::memset(&expected.keyEvents[k], 0, sizeof expected.keyEvents[k]);
            std::memset(&expected.macros[k], 0, sizeof expected.macros[k]);
        }
        QVERIFY(sameImage(SnapshotFlashData(), expected));
        QVERIFY(sameImage(rec.images().value(0), expected));
        // The cleared image went back to the device.
        QVERIFY(sameImage(deviceImage(Mouse), expected));
        QCOMPARE(callsLog({QStringLiteral("ProtocolDataUpdate")}), QStringList({"ProtocolDataUpdate ok"}));
        installConfig(m_appDir);
    }

    // A device that refuses the cleared image keeps its records: so do
    // memory, the pages and the cache.
    void refusedKeyDefaultsPassKeepsTheDevicesRecords()
    {
        const FlashDataMap full = imageWithKeyRecords(m_factory);
        QVERIFY(storeDeviceImage(Mouse, full));
        bench({QStringLiteral("fault"), Mouse, QStringLiteral("refuse-writes"), QStringLiteral("on")});
        Recorder rec;
        openLink();
        KeyParamPassPending = true;
        fullRead(rec);
        QCOMPARE(callsLog({QStringLiteral("ProtocolDataUpdate")}), QStringList({"ProtocolDataUpdate write refused"}));
        QVERIFY(sameImage(deviceImage(Mouse), full));
        QVERIFY(sameImage(SnapshotFlashData(), full));
        QVERIFY(sameImage(rec.images().value(0), full));
        FlashDataMap cached{};
        QVERIFY(ReadDeviceInfoFile(DeviceFileName(24, 1), cached));
        QVERIFY(sameImage(cached, full));
    }

    void implausibleImageIsShownMadeSafe_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("shownCount");
        QTest::addColumn<int>("shownCurrent");
        QTest::newRow("no stages") << 0 << 0 << 1 << 0;
        QTest::newRow("nine stages") << 9 << 2 << 8 << 2;
        QTest::newRow("current 6 of 6") << 6 << 6 << 6 << 0;
    }

    void implausibleImageIsShownMadeSafe()
    {
        // Refusing such an image would leave the pages waiting for a read
        // that comes out the same every time.
        QFETCH(int, count);
        QFETCH(int, current);
        QFETCH(int, shownCount);
        QFETCH(int, shownCurrent);
        FlashDataMap bad = m_factory;
        bad.dpiStageCount = uint8_t(count);
        bad.dpiStage = uint8_t(current);
        QVERIFY(storeDeviceImage(Mouse, bad));
        FlashDataMap safe = bad;
        safe.dpiStageCount = uint8_t(shownCount);
        safe.dpiStage = uint8_t(shownCurrent);
        Recorder rec;
        openLink();
        fullRead(rec);
        QCOMPARE(rec.entriesWithout({"DPILed", "Battery", "Setver", "ConfigUI"}),
                 QStringList({"Button", "Light", "Sensor", "Form"}));
        for (const FlashDataMap& image : rec.images().mid(0, 3))
            QVERIFY(sameImage(image, safe));
        QVERIFY(sameImage(SnapshotFlashData(), safe));
        QVERIFY(ImageBelongsToDevice.load());
        // The device gets the mended stages back with the full read's write.
        QVERIFY(sameImage(deviceImage(Mouse), safe));
    }

    void recordCountsAreClamped()
    {
        FlashDataMap odd = m_factory;
        odd.keyEvents[1].count = 9;
        odd.macros[2].eventCount = 200;
        odd.macros[2].nameLength = 45;
        QVERIFY(storeDeviceImage(Mouse, odd));
        Recorder rec;
        openLink();
        fullRead(rec);
        const FlashDataMap now = SnapshotFlashData();
        QCOMPARE(now.keyEvents[1].count, uint8_t(6));
        QCOMPARE(now.macros[2].eventCount, uint8_t(70));
        QCOMPARE(now.macros[2].nameLength, uint8_t(30));
        for (const FlashDataMap& image : rec.images())
            QCOMPARE(image.macros[2].eventCount, uint8_t(70));
    }

    void modelDefaultsOnA4kReceiver()
    {
        bench({QStringLiteral("set"), Receiver, QStringLiteral("kind=1"), QStringLiteral("dongle_light=00,00,00,00,00,00,00,00,00,00")});
        CurrentDeviceInfo = receiverRecord(1);
        Recorder rec;
        openLink();
        fullRead(rec);
        pump(200);
        rec.clear();
        clearCallsLog();
        // The mouse is reset from its side: it reports its model defaults.
        bench({QStringLiteral("reset"), Receiver});
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("Form")); }));
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("ConfigUI")); }));
        const QStringList seen = rec.entriesWithout({"DPILed", "Battery", "Setver", "ConfigUI"});
        QCOMPARE(seen.mid(0, 2), QStringList({"RGB(2)", "LongRange(true)"}));
        // (The receiver also reports its new light and long range on its
        // own, at any time; each report shows what the receiver holds.)
        QStringList rest = seen.mid(2);
        QCOMPARE(rest.count(QStringLiteral("LongRange(true)")), 1);
        rest.removeAll(QStringLiteral("RGB(2)"));
        rest.removeAll(QStringLiteral("LongRange(true)"));
        QCOMPARE(rest, QStringList({"Button", "Light", "Sensor", "Form"}));
        QCOMPARE(callsLog(Requests).mid(0, 3),
                 QStringList({"UsbFinderC_Set4KDongleRGB hidbench/rx8k ok",
                              "UsbFinderC_SetLongRangeMode hidbench/rx8k 1 ok", "UsbServer_ReadAllFlashData"}));
        QVERIFY(!KeyParamPassPending.load());
        QVERIFY(!SkipReceiverQuery.load());
        const QString ini = benchIni();
        QVERIFY2(ini.contains(QStringLiteral("long_range=1")), qPrintable(ini));
        QVERIFY2(ini.contains(QStringLiteral("dongle_light=02,")), qPrintable(ini));
    }

    void modelDefaultsWithoutReceiverOptions()
    {
        // Drive2's "Adveanced" leaves long range alone (-1 is no mode) and a
        // model without the list changes nothing but reads again.
        installConfig(m_appDir.path(), configText(QStringLiteral("KeyParam1=0x01,0x01,0x00\n")));
        bench({QStringLiteral("set"), Receiver, QStringLiteral("kind=1")});
        CurrentDeviceInfo = receiverRecord(1);
        Recorder rec;
        openLink();
        clearCallsLog();
        bench({QStringLiteral("reset"), Receiver});
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("Form")); }));
        QCOMPARE(rec.entriesWithout({"DPILed", "Battery", "Setver", "ConfigUI"}),
                 QStringList({"Button", "Light", "Sensor", "Form"}));
        QCOMPARE(callsLog(Requests).value(0), QStringLiteral("UsbServer_ReadAllFlashData"));
        installConfig(m_appDir);
    }

    void statusChangeRequestsInOrder()
    {
        Recorder rec;
        openLink();
        fullRead(rec);
        rec.clear();
        clearCallsLog();
        bench({QStringLiteral("status"), Mouse, "0", "1", "3", "5", "6"});
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("DPILed")); }));
        pump(100);
        QCOMPARE(callsLog({QStringLiteral("UsbServer_Read")}),
                 QStringList({"UsbServer_ReadCurrentDPI", "UsbServer_ReadReportRate", "UsbServer_ReadBatteryLevel",
                              "UsbServer_ReadLedBar", "UsbServer_ReadDPILed"}));
        QCOMPARE(rec.entries(),
                 QStringList({"DPI(1)", "ReportRate(1)", "Battery(0,80,1)", "Light", "DPILed"}));
        // The stage and the rate the device reported were echoed back.
        QCOMPARE(imageSends(), 2);
    }

    void senselessDeviceReportsAreIgnored()
    {
        Recorder rec;
        openLink();
        fullRead(rec);
        // The device's memory now holds a rate and a stage it cannot run.
        FlashDataMap odd = m_factory;
        odd.reportRate = 3;
        odd.dpiStage = 9;
        QVERIFY(storeDeviceImage(Mouse, odd));
        rec.clear();
        clearCallsLog();
        const FlashDataMap before = SnapshotFlashData();
        bench({QStringLiteral("status"), Mouse, "0", "1", "6"});
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("Battery")); }));
        pump(150);
        QCOMPARE(rec.entries(), QStringList({"Battery(0,80,1)"}));
        QVERIFY(sameImage(SnapshotFlashData(), before));
        QCOMPARE(imageSends(), 0);
    }

    void reportsOfAForeignImageAreNotEchoed()
    {
        // Before the first full read the image in memory is not the device's:
        // a stage report is shown but the image is not sent.
        Recorder rec;
        openLink();
        FlashDataMap other = m_factory;
        other.dpiStage = 4;
        other.lightMode = 0;
        testsupport::SetImage(other);
        bench({QStringLiteral("status"), Mouse, "0", "5"});
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("Light")); }));
        pump(100);
        QCOMPARE(rec.entries(), QStringList({"DPI(1)", "Light"}));
        // The page sees the device's light; the image in memory stays as it was.
        QCOMPARE(rec.images().value(0).lightMode, m_factory.lightMode);
        QVERIFY(sameImage(SnapshotFlashData(), other));
        QCOMPARE(imageSends(), 0);
    }

    void rereadRequestsAreThrottled()
    {
        Recorder rec;
        openLink();
        RestartReadThrottle();
        QTest::qWait(3050);
        ReadAgain = false;
        ReloadPending = false;
        bench({QStringLiteral("status"), Mouse, "2"});
        QVERIFY(QTest::qWaitFor([] { return ReadAgain.load(); }));
        QVERIFY(ReloadPending.load());
        ReadAgain = false;
        ReloadPending = false;
        // The profile switch asks for a re-read too, within the window.
        bench({QStringLiteral("profile"), Mouse, "2"});
        pump(500);
        QVERIFY(!ReadAgain.load());
        QVERIFY(QTest::qWaitFor([] {
            HonourDeferredReread();
            return ReadAgain.load();
        }, 4000));
        QVERIFY(ReloadPending.load());
        ReadAgain = false;
        ReloadPending = false;
        bench({QStringLiteral("profile"), Mouse, "1"});
    }
};

QTEST_MAIN(FullReadTest)
#include "tst_link_fullread.moc"
