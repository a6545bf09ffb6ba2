// The link thread with the simulated devices: identification results, the
// search for attached devices, the USB-change handling, the run pass for a
// reachable device, the check timer and the selection of a device.
#include "LinkTestSupport.h"

#include "DeviceCache.h"
#include "HIDUsb.h"
#include "UpDateRepair.h"
#include "Worker.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <cstring>

using namespace linktest;

namespace {

const QString Receiver = QStringLiteral("rx8k");
const QString Mouse = QStringLiteral("mouse1");
const QString CableMouse = QStringLiteral("mouse2");

const QStringList AllPids = {"F001", "F002", "F010", "F020", "F040", "F080"};

DeviceAllInfo identified(const QString& path)
{
    DeviceAllInfo info;
    info.path = path;
    info.vid = QStringLiteral("7A51");
    const int result = Worker::MatchDeviceConfig(info, path.toLocal8Bit());
    if (result != 1)
        qWarning("identification of %s gave %d", qPrintable(path), result);
    return info;
}

bool waitPass(Worker& worker)
{
    return QTest::qWaitFor([&] { return !worker.isRunning(); }, 10000);
}

void resetLinkState()
{
    UsbServer_Exit();
    StopUsbChanged();
    resetLinkFlags();
    SetCurrentDevicePath("a");
}

}  // namespace

class DeviceLinkTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_appDir;

private slots:
    void initTestCase()
    {
        installConfig(m_appDir);
    }

    void init()
    {
        resetLinkState();
        pump(60);
        QDir(DeviceInfoFolder()).removeRecursively();
        bench({QStringLiteral("init"), QStringLiteral("--force")});
        bench({QStringLiteral("option"), QStringLiteral("trace=on")});
        clearCallsLog();
    }

    void cleanupTestCase() { resetLinkState(); }

    // ---- identification ------------------------------------------------------

    void identifyResults()
    {
        bench({QStringLiteral("add"), QStringLiteral("mouse"), QStringLiteral("id=unlisted"), QStringLiteral("mid=7"),
               QStringLiteral("pid=F002")});
        bench({QStringLiteral("add"), QStringLiteral("mouse"), QStringLiteral("id=foreign"), QStringLiteral("cid=5"),
               QStringLiteral("pid=F002")});

        // A listed model: the receiver with its mouse in reach.
        DeviceAllInfo rx;
        rx.path = QStringLiteral("hidbench/rx8k");
        QCOMPARE(Worker::MatchDeviceConfig(rx, "hidbench/rx8k"), 1);
        QCOMPARE(rx.cid, uint8_t(24));
        QCOMPARE(rx.mid, uint8_t(1));
        QCOMPARE(rx.type, uint8_t(5));
        QCOMPARE(rx.driveIndex, 0);
        QCOMPARE(rx.directMouse, uint8_t(0));
        QCOMPARE(rx.online, uint8_t(1));
        QVERIFY(rx.address.isEmpty());  // no current device: no address asked

        // Known maker, model not listed; another maker.
        DeviceAllInfo unlisted;
        QCOMPARE(Worker::MatchDeviceConfig(unlisted, "hidbench/unlisted"), 2);
        QCOMPARE(unlisted.driveIndex, 2);
        QCOMPARE(unlisted.directMouse, uint8_t(1));
        DeviceAllInfo foreign;
        QCOMPARE(Worker::MatchDeviceConfig(foreign, "hidbench/foreign"), 3);
        QCOMPARE(foreign.driveIndex, 2);

        // No identity at all: ten silent answers.
        bench({QStringLiteral("fault"), CableMouse, QStringLiteral("silent-id"), QStringLiteral("10")});
        DeviceAllInfo silent;
        silent.driveIndex = 1;
        QCOMPARE(Worker::MatchDeviceConfig(silent, "hidbench/mouse2"), 0);
        QCOMPARE(silent.driveIndex, 2);
        QCOMPARE(silent.directMouse, uint8_t(1));  // from the kind of the last answer
        // Nine silent answers: the tenth is the device's own.
        bench({QStringLiteral("fault"), CableMouse, QStringLiteral("silent-id"), QStringLiteral("9")});
        DeviceAllInfo late;
        QCOMPARE(Worker::MatchDeviceConfig(late, "hidbench/mouse2"), 1);
        QCOMPARE(late.mid, uint8_t(2));  // the cabled mouse's own model

        // With a current device the address is asked, and the current
        // device's record follows, keeping its versions.
        CurrentDeviceInfo.path = QStringLiteral("hidbench/rx8k");
        CurrentDeviceInfo.firmwareVersion = QStringLiteral("v9.9");
        DeviceAllInfo again;
        again.path = QStringLiteral("hidbench/rx8k");
        again.usbVersion = QStringLiteral("v1.5");
        QCOMPARE(Worker::MatchDeviceConfig(again, "hidbench/rx8k"), 1);
        QCOMPARE(again.address, QVector<uint8_t>({0x5A, 0x8C, 0x21}));
        QCOMPARE(again.online, uint8_t(1));
        QCOMPARE(CurrentDeviceInfo.mid, uint8_t(1));
        QCOMPARE(CurrentDeviceInfo.address, again.address);
        QCOMPARE(CurrentDeviceInfo.firmwareVersion, QStringLiteral("v9.9"));
        QCOMPARE(CurrentDeviceInfo.usbVersion, QStringLiteral("v1.5"));
        bench({QStringLiteral("offline"), Mouse});
        QCOMPARE(Worker::MatchDeviceConfig(again, "hidbench/rx8k"), 1);
        QCOMPARE(again.online, uint8_t(0));

        // No model configured at all.
        QTemporaryDir empty;
        installConfig(empty.path(), QStringLiteral("[Option]\nDeviceTotal=0\nCID=MjQ=\n"));
        DeviceAllInfo none;
        none.driveIndex = 4;
        QCOMPARE(Worker::MatchDeviceConfig(none, "hidbench/rx8k"), 0);
        QCOMPARE(none.driveIndex, 4);
        installConfig(m_appDir);
    }

    void cacheNameOfTheSelection()
    {
        Worker worker;
        DeviceAllInfo info;
        info.cid = 5;
        info.mid = 171;
        worker.SlotSelectMouseInfo(info);
        QCOMPARE(DeviceInfoFile, QStringLiteral("Device_CID05_MIDAB.bin"));
    }

    // ---- the search ----------------------------------------------------------

    void findAttachedDevices()
    {
        Worker::FindDevices(QStringLiteral("7A51"), AllPids);
        QCOMPARE(FoundDevices.size(), 2);
        QCOMPARE(FoundDevices.at(0).path, QStringLiteral("hidbench/mouse2"));
        QCOMPARE(FoundDevices.at(0).pid, QStringLiteral("F001"));
        QCOMPARE(FoundDevices.at(0).vid, QStringLiteral("7A51"));
        QCOMPARE(FoundDevices.at(0).usbVersion, QStringLiteral("v1.5"));
        QCOMPARE(FoundDevices.at(1).path, QStringLiteral("hidbench/rx8k"));
        QCOMPARE(FoundDevices.at(1).pid, QStringLiteral("F080"));
        // Without a current device the records are not identified.
        QCOMPARE(FoundDevices.at(1).mid, uint8_t(0));

        // With one, they are; the devices of its model stay (here a cabled
        // mouse of the receiver's model), another model's are left out.
        FoundDevices.clear();
        bench(firstModelOnCable());
        bench({QStringLiteral("add"), QStringLiteral("mouse"), QStringLiteral("id=model2"), QStringLiteral("mid=2")});
        bench({QStringLiteral("add"), QStringLiteral("mouse"), QStringLiteral("id=unlisted"), QStringLiteral("mid=7")});
        CurrentDeviceInfo = identified(QStringLiteral("hidbench/rx8k"));
        SetCurrentDevicePath("elsewhere");
        Worker::FindDevices(QStringLiteral("7A51"), AllPids);
        QStringList paths;
        for (const DeviceAllInfo& d : qAsConst(FoundDevices))
            paths.append(d.path);
        QCOMPARE(paths, QStringList({"hidbench/mouse2", "hidbench/unlisted", "hidbench/rx8k"}));
        QCOMPARE(CurrentDevicePath(), QByteArray("hidbench/rx8k"));
        QCOMPARE(FoundDevices.at(2).address, QVector<uint8_t>({0x5A, 0x8C, 0x21}));
    }

    // ---- USB changes -----------------------------------------------------------

    void currentDeviceGoneGoesBackToTheList()
    {
        // A cabled mouse of the receiver's model: a device of the model is
        // still attached when the receiver goes.
        bench(firstModelOnCable());
        Worker worker;
        Recorder rec;
        CurrentDeviceInfo = identified(QStringLiteral("hidbench/rx8k"));
        StartUsbChanged(&Worker::OnUsbChanged, 100);
        // The first call tells of the devices present; the unplug comes after.
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("Setver(4)")); }));
        rec.clear();
        bench({QStringLiteral("unplug"), Receiver});
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("ChangeMainDialog")); }));
        StopUsbChanged();
        QCOMPARE(rec.entries().value(0), QStringLiteral("Setver(4)"));
        QCOMPARE(rec.count(QStringLiteral("ChangeMainDialog(0)")), 1);
        QVERIFY(!rec.arrivedOffGuiThread());  // the work ran on the GUI thread
        QCOMPARE(FoundDevices.size(), 1);
        // The current device stays until the list takes over.
        QCOMPARE(CurrentDeviceInfo.path, QStringLiteral("hidbench/rx8k"));

        // Nothing attached at all: the current device is forgotten.
        rec.clear();
        bench({QStringLiteral("unplug"), CableMouse});
        Worker::OnUsbChanged();
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("ChangeMainDialog")); }));
        QVERIFY(CurrentDeviceInfo.path.isEmpty());
        QVERIFY(FoundDevices.isEmpty());

        // During a firmware update the pages stay.
        rec.clear();
        CurrentDeviceInfo.path = QStringLiteral("hidbench/mouse2");
        OnlinePollEnabled = false;
        Worker::OnUsbChanged();
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("Setver(4)")); }));
        pump(50);
        QVERIFY(!rec.contains(QStringLiteral("ChangeMainDialog")));
        QCOMPARE(CurrentDeviceInfo.path, QStringLiteral("hidbench/mouse2"));
    }

    void mouseCabledBesideItsReceiverIsSelected()
    {
        // The cabled mouse of the receiver's model counts among its devices.
        bench(firstModelOnCable());
        Worker worker;
        Recorder rec;
        CurrentDeviceInfo = identified(QStringLiteral("hidbench/rx8k"));
        MatchDeviceConfig(CurrentDeviceInfo);
        SetCurrentDevicePath("hidbench/rx8k");
        // The wireless mouse is plugged in with its cable.
        bench({QStringLiteral("plug"), Mouse});
        Worker::OnUsbChanged();
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("LabelTextB")); }));
        QCOMPARE(CurrentDeviceInfo.path, QStringLiteral("hidbench/mouse1"));
        QCOMPARE(CurrentDevicePath(), QByteArray("hidbench/mouse1"));
        QCOMPARE(CurrentDeviceInfo.directMouse, uint8_t(1));
        QCOMPARE(DeviceInfoFile, QStringLiteral("Device_CID18_MID01.bin"));
        QVERIFY(!rec.contains(QStringLiteral("ChangeMainDialog")));
        // Three devices: no receiver entry to report.
        QCOMPARE(rec.entries().filter(QStringLiteral("LabelTextB")), QStringList({"LabelTextB(,)"}));
        QVERIFY(waitPass(worker));

        // A mouse of another receiver is not taken.
        bench({QStringLiteral("init"), QStringLiteral("--force")});
        bench(firstModelOnCable());
        bench({QStringLiteral("set"), CableMouse, QStringLiteral("address=5A,8C,22")});
        CurrentDeviceInfo = identified(QStringLiteral("hidbench/rx8k"));
        MatchDeviceConfig(CurrentDeviceInfo);
        Worker::OnUsbChanged();
        QVERIFY(QTest::qWaitFor([&] { return rec.entries().count(QStringLiteral("Setver(4)")) == 2; }));
        pump(50);
        QCOMPARE(CurrentDeviceInfo.path, QStringLiteral("hidbench/rx8k"));
    }

    void versionsOfAMouseWithItsReceiver()
    {
        Recorder rec;
        // Firmware images of version 1.6 for every device of the model.
        const QString bin = m_appDir.path() + QStringLiteral("/bin");
        bool made = false;
        bench({QStringLiteral("make-firmware-set"), bin, QStringLiteral("version=1.6")}, &made);
        QVERIFY(made);
        bench({QStringLiteral("unplug"), CableMouse});
        bench({QStringLiteral("plug"), Mouse});
        CurrentDeviceInfo = identified(QStringLiteral("hidbench/mouse1"));
        MatchDeviceConfig(CurrentDeviceInfo);
        CurrentDeviceInfo.firmwareVersion = QStringLiteral("v1.6");  // the mouse is up to date
        Worker::OnUsbChanged();
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("LabelTextB")); }));
        // The receiver (v1.5, 8 kHz) has a newer image.
        QCOMPARE(rec.entries().filter(QStringLiteral("LabelTextB")), QStringList({"LabelTextB(v1.5,true)"}));
        QVERIFY(ReceiverUpdateAvailable.load());
        QVERIFY(!MouseUpdateAvailable.load());

        // Without the firmware folder nothing is offered.
        QVERIFY(QDir(bin).removeRecursively());
        rec.clear();
        Worker::OnUsbChanged();
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("LabelTextB")); }));
        QCOMPARE(rec.entries().filter(QStringLiteral("LabelTextB")), QStringList({"LabelTextB(v1.5,)"}));
    }

    void visibleUpdateDialogIsAskedToCheck()
    {
        Recorder rec;
        CurrentDeviceInfo = identified(QStringLiteral("hidbench/rx8k"));
        UpDateRepair dialog;
        UpdateRepairDialog = &dialog;
        Worker::OnUsbChanged();
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("Setver(4)")); }));
        pump(30);
        QVERIFY(!rec.contains(QStringLiteral("CheckUpdate")));  // not on screen
        dialog.show();
        Worker::OnUsbChanged();
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("CheckUpdate")); }));
        rec.clear();
        CheckTimersRunning = true;  // a check of the settings page runs already
        Worker::OnUsbChanged();
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("Setver(4)")); }));
        pump(30);
        QVERIFY(!rec.contains(QStringLiteral("CheckUpdate")));
        CheckTimersRunning = false;
        UpdateRepairDialog = nullptr;
    }

    // ---- the run pass with a reachable device --------------------------------

    void onlinePassReadsTheDevice()
    {
        Worker worker;
        Recorder rec;
        PostMsg::GetInstance()->PostSelectMouseInfo(identified(QStringLiteral("hidbench/rx8k")));
        WorkerRun = true;
        worker.StartPass();
        OnMainPage = 1;
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("ConfigUI")); }));
        QVERIFY(waitPass(worker));
        QCOMPARE(rec.entries().mid(0, 5), QStringList({"UpDataParam(0)", "Button", "Light", "Sensor", "Form"}));
        QCOMPARE(callsLog({QStringLiteral("UsbServerC_Start"), QStringLiteral("UsbServer_SetPCDriverStatus"),
                           QStringLiteral("UsbServer_ReadAllFlashData")}),
                 QStringList({"UsbServerC_Start hidbench/rx8k", "UsbServer_SetPCDriverStatus 1",
                              "UsbServer_ReadAllFlashData"}));
        QCOMPARE(CurrentDeviceInfo.online, uint8_t(1));
        QVERIFY(DeviceOnline.load());
        QVERIFY(LastOnline.load());
        QVERIFY(OnlineAtEnd.load());
        QVERIFY(ImageBelongsToDevice.load());
        const FlashDataMap stored = deviceImage(Mouse);
        QVERIFY(std::memcmp(&rec.images()[0], &stored, sizeof stored) == 0);

        // Nothing changed: the next pass opens nothing.
        rec.clear();
        clearCallsLog();
        WorkerRun = true;
        worker.StartPass();
        QVERIFY(waitPass(worker));
        pump(200);
        QVERIFY(rec.entries().isEmpty());
        QVERIFY(callsLog({QStringLiteral("UsbServerC_Start")}).isEmpty());

        // A reload announced by the device: the pass says so.
        ReloadPending = true;
        WorkerRun = true;
        worker.StartPass();
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("Form")); }));
        QCOMPARE(rec.entries().value(0), QStringLiteral("UpDataParam(1)"));
        QVERIFY(!ReloadPending.load());
        QVERIFY(waitPass(worker));
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("ConfigUI")); }));

        // While an import or a reset runs the pass announces nothing.
        rec.clear();
        SettingsBusy = true;
        PostMsg::GetInstance()->PostMainPageChange();
        WorkerRun = true;
        worker.StartPass();
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("ConfigUI")); }));
        QVERIFY(!rec.contains(QStringLiteral("UpDataParam")));
        SettingsBusy = false;
        QVERIFY(waitPass(worker));
    }

    // ---- the check timer ---------------------------------------------------------

    void checkTimerWatchesAnOfflineDevice()
    {
        Worker worker;
        Recorder rec;
        bench({QStringLiteral("offline"), Mouse});
        PostMsg::GetInstance()->PostSelectMouseInfo(identified(QStringLiteral("hidbench/rx8k")));
        OnMainPage = 1;
        WorkerRun = true;
        worker.StartPass();
        QVERIFY(waitPass(worker));
        QCOMPARE(rec.entries(), QStringList({"FormReset"}));
        QVERIFY(DeviceOffline.load());
        QVERIFY(ReadAgain.load());

        // Still offline: nothing.
        worker.SlotCheckOnline();
        QVERIFY(DeviceOffline.load());
        QVERIFY(!worker.isRunning());
        // Back: the notice closes and the device is read.
        bench({QStringLiteral("online"), Mouse});
        rec.clear();
        worker.SlotCheckOnline();
        QVERIFY(!DeviceOffline.load());
        QVERIFY(!ReadAgain.load());
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("Form")); }));
        QCOMPARE(rec.entries().mid(0, 6),
                 QStringList({"CloseOffOnline", "UpDataParam(0)", "Button", "Light", "Sensor", "Form"}));
        QVERIFY(waitPass(worker));

        // During a firmware update the device is not probed.
        DeviceOffline = true;
        OnlinePollEnabled = false;
        rec.clear();
        worker.SlotCheckOnline();
        QVERIFY(DeviceOffline.load());
        QVERIFY(rec.entries().isEmpty());
        OnlinePollEnabled = true;

        // Off the pages an offline flag is dropped, except for a 1 kHz receiver.
        OnMainPage = 0;
        CurrentDeviceInfo.type = 0;
        worker.SlotCheckOnline();
        QVERIFY(DeviceOffline.load());
        CurrentDeviceInfo.type = 5;
        worker.SlotCheckOnline();
        QVERIFY(!DeviceOffline.load());
    }

    void selectDeviceTakesOnlyAReachableDevice()
    {
        Worker worker;
        OnMainPage = 0;  // the passes open nothing here
        CurrentDeviceInfo = identified(QStringLiteral("hidbench/rx8k"));
        SetCurrentDevicePath("hidbench/rx8k");
        bench({QStringLiteral("offline"), Mouse});
        bench({QStringLiteral("plug"), Mouse});  // on its cable but not answering
        WorkerRun = false;
        QSignalSpy started(&worker, &QThread::started);
        worker.SelectDevice(identified(QStringLiteral("hidbench/mouse1")));
        QCOMPARE(CurrentDeviceInfo.path, QStringLiteral("hidbench/rx8k"));
        // A pass is started in every case.
        QVERIFY(QTest::qWaitFor([&] { return started.count() == 1; }));
        QVERIFY(waitPass(worker));
        bench({QStringLiteral("online"), Mouse});
        ImageBelongsToDevice = true;
        worker.SelectDevice(identified(QStringLiteral("hidbench/mouse1")));
        QCOMPARE(CurrentDeviceInfo.path, QStringLiteral("hidbench/mouse1"));
        QCOMPARE(CurrentDevicePath(), QByteArray("hidbench/mouse1"));
        QVERIFY(!ImageBelongsToDevice.load());
        QVERIFY(QTest::qWaitFor([&] { return started.count() == 2; }));
        QVERIFY(waitPass(worker));
    }

private:
    // Completes a record as the list does before it becomes current.
    static void MatchDeviceConfig(DeviceAllInfo& info)
    {
        const QString path = info.path;
        CurrentDeviceInfo.path = path;
        Worker::MatchDeviceConfig(info, path.toLocal8Bit());
    }
};

QTEST_MAIN(DeviceLinkTest)
#include "tst_link_device.moc"
