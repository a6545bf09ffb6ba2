// The device link end to end through the simulated device library: select a
// receiver, read its mouse in full, change settings through the writers and
// find them in the mouse's memory, unplug the receiver (offline notice, back
// to the list, image cached), plug it in again with the mouse out of reach
// (pages filled from the cache), bring the mouse back (read again).
#include "LinkTestSupport.h"

#include "DeviceCache.h"
#include "DeviceWriters.h"
#include "HIDUsb.h"
#include "Worker.h"

#include <QTemporaryDir>

#include <cstring>

using namespace linktest;

namespace {

const QString Receiver = QStringLiteral("rx8k");
const QString Mouse = QStringLiteral("mouse1");

MacroRecord macro()
{
    MacroRecord record{};
    const QByteArray name = QStringLiteral("连发 burst").toUtf8();
    record.nameLength = uint8_t(name.size());
    std::memcpy(record.name, name.constData(), size_t(name.size()));
    record.eventCount = 4;
    record.events[0] = KeyEvent{0, 1, 0x04, 20};
    record.events[1] = KeyEvent{1, 1, 0x04, 65535};
    record.events[2] = KeyEvent{0, 1, 0x05, 1};
    record.events[3] = KeyEvent{1, 1, 0x05, 0};
    return record;
}

// What the main window and the page container do with the link's signals:
// an offline notice arms a re-read; going back to the device list saves the
// image and ends the link.
class ShellStandIn : public QObject
{
public:
    int offlineNotices = 0;

    ShellStandIn()
    {
        PostMsg* hub = PostMsg::GetInstance();
        connect(hub, &PostMsg::SigMouseOffLineo, this, [this](int) {
            ++offlineNotices;
            DeviceOffline = true;
            ReadAgain = true;
        });
        connect(hub, &PostMsg::SigChangeMainDialog, this, [](int page) {
            if (page != 0)
                return;
            (void)WriteDeviceInfoFile(CurrentConfigPath, SnapshotFlashData());  // as the shell: a failure is logged
            UsbServer_SetPCDriverStatus(0);
            UsbServer_Exit();
            StopUsbChanged();
            OnMainPage = 0;
            PostMsg::GetInstance()->PostMainPageChange();
        });
    }
};

}  // namespace

class EndToEndTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_appDir;

    // The device list: find the receiver, identify it, open it.
    void selectReceiver(Worker& worker)
    {
        CurrentDeviceInfo = DeviceAllInfo();
        FoundDevices.clear();
        Worker::FindDevices(QStringLiteral("7A51"), {"F001", "F080"});
        DeviceAllInfo receiver;
        for (const DeviceAllInfo& d : qAsConst(FoundDevices)) {
            if (d.path == QLatin1String("hidbench/rx8k"))
                receiver = d;
        }
        QCOMPARE(receiver.path, QStringLiteral("hidbench/rx8k"));
        QCOMPARE(Worker::MatchDeviceConfig(receiver, receiver.path.toLocal8Bit()), 1);
        PostMsg::GetInstance()->PostSelectMouseInfo(receiver);
        WorkerRun = true;
        worker.StartPass();
        OnMainPage = 1;
        StartUsbChanged(&Worker::OnUsbChanged, 100);
    }

private slots:
    void initTestCase()
    {
        installConfig(m_appDir);
        bench({QStringLiteral("option"), QStringLiteral("trace=on")});
    }

    void cleanupTestCase()
    {
        StopUsbChanged();
        UsbServer_Exit();
        pump(60);
    }

    void selectReadWriteUnplugCacheReplugReread()
    {
        Worker worker;
        ShellStandIn shell;
        Recorder rec;

        // ---- select and read -------------------------------------------------
        selectReceiver(worker);
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("ConfigUI")); }));
        // (USB-change notices may come in between: "Setver(4)".)
        QCOMPARE(rec.entriesWithout({"Setver(4)"}).mid(0, 5),
                 QStringList({"UpDataParam(0)", "Button", "Light", "Sensor", "Form"}));
        const FlashDataMap factory = deviceImage(Mouse);
        QVERIFY(sameImage(SnapshotFlashData(), factory));
        QVERIFY(sameImage(rec.images().value(0), factory));
        QVERIFY(ImageBelongsToDevice.load());
        QCOMPARE(CurrentConfigPath, QStringLiteral("Device_CID18_MID01.bin"));

        // ---- change settings: they reach the mouse's memory --------------------
        QVERIFY(SetDebounceTime(12));
        QVERIFY(SetButtonMacro(2, KeyFunction{6, 2, 3}, macro()));
        QVERIFY(SetLightMode(0));
        FlashDataMap changed = factory;
        changed.debounce = 12;
        changed.keys[2] = KeyFunction{6, 2, 3};
        changed.macros[2] = macro();
        changed.lightOn = 0;
        QVERIFY(sameImage(SnapshotFlashData(), changed));
        QVERIFY(sameImage(deviceImage(Mouse), changed));
        QVERIFY(bench({QStringLiteral("show"), Mouse, QStringLiteral("debounce")}).contains(QStringLiteral("debounce: 12")));
        QVERIFY(bench({QStringLiteral("show"), Mouse, QStringLiteral("macros")}).contains(QStringLiteral("连发 burst")));

        // ---- unplug the receiver ------------------------------------------------
        rec.clear();
        bench({QStringLiteral("unplug"), Receiver});
        QVERIFY(!SetDebounceTime(2));
        QCOMPARE(shell.offlineNotices, 1);
        QCOMPARE(SnapshotFlashData().debounce, uint8_t(12));
        QVERIFY(sameImage(deviceImage(Mouse), changed));
        // The receiver is gone: back to the device list, the image is cached.
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("ChangeMainDialog(0)")); }));
        QCOMPARE(OnMainPage.load(), 0);
        FlashDataMap cached;
        QVERIFY(ReadDeviceInfoFile(QStringLiteral("Device_CID18_MID01.bin"), cached));
        QVERIFY(sameImage(cached, changed));
        QVERIFY(QTest::qWaitFor([&] { return !worker.isRunning(); }));

        // ---- plug it in again, the mouse out of reach: fill from the cache -----
        bench({QStringLiteral("offline"), Mouse});
        bench({QStringLiteral("plug"), Receiver});
        rec.clear();
        selectReceiver(worker);
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("Form")); }));
        QCOMPARE(rec.entriesWithout({"Setver(4)"}), QStringList({"Button", "Light", "Sensor", "Form"}));
        for (const FlashDataMap& image : rec.images())
            QVERIFY(sameImage(image, changed));
        QVERIFY(DeviceOffline.load());
        QVERIFY(ReadAgain.load());
        QVERIFY(!DeviceOnline.load());  // not the answer of the earlier session
        QCOMPARE(CurrentDeviceInfo.online, uint8_t(0));
        QVERIFY(!ImageBelongsToDevice.load());
        // Nothing can be written while the mouse does not answer.
        QVERIFY(!SetSleepTime(30));
        QCOMPARE(shell.offlineNotices, 2);

        // ---- the mouse comes back: the check timer has it read again -----------
        rec.clear();
        bench({QStringLiteral("online"), Mouse});
        // (The read asked for while the mouse was away may be answered first
        // when the mouse answers before the link got to it.)
        auto afterNotice = [&] {
            const QStringList all = rec.entriesWithout({"Setver", "DPILed", "Battery"});
            const int notice = all.indexOf(QStringLiteral("CloseOffOnline"));
            return notice < 0 ? QStringList() : all.mid(notice);
        };
        QVERIFY(QTest::qWaitFor([&] { return afterNotice().contains(QStringLiteral("ConfigUI(4,0,true)")); }, 8000));
        QCOMPARE(afterNotice(), QStringList({"CloseOffOnline", "UpDataParam(0)", "Button", "Light", "Sensor", "Form",
                                             "ConfigUI(4,0,true)"}));
        QVERIFY(sameImage(rec.images().last(), changed));
        QVERIFY(sameImage(SnapshotFlashData(), changed));
        QVERIFY(ImageBelongsToDevice.load());
        QVERIFY(!DeviceOffline.load());

        // ---- and the writers reach it again ------------------------------------
        QVERIFY(SetSleepTime(30));
        QCOMPARE(deviceImage(Mouse).sleepTime, uint8_t(30));
        QCOMPARE(shell.offlineNotices, 2);
        QVERIFY(!rec.arrivedOffGuiThread());
        QVERIFY(QTest::qWaitFor([&] { return !worker.isRunning(); }));
    }
};

QTEST_MAIN(EndToEndTest)
#include "tst_link_e2e.moc"
