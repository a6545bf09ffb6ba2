// The link thread without a device: construction, selection, the pass for
// an offline device (fill from the cache or reset), a pass with the pages
// not shown, pending starts, and stopping while the pass waits for the GUI.
#include "LinkTestSupport.h"

#include "DeviceCache.h"
#include "DeviceDiscovery.h"
#include "Worker.h"

#include <QTemporaryDir>
#include <QTimer>

#include <cstring>

using namespace linktest;

namespace {

// A device record for the USB-change rules: a path, mouse or receiver,
// online, model and address.
DeviceAllInfo attached(const QString& path, bool mouse, bool online, int model, QVector<uint8_t> address)
{
    DeviceAllInfo info;
    info.path = path;
    info.directMouse = mouse ? 1 : 0;
    info.online = online ? 1 : 0;
    info.driveIndex = model;
    info.address = address;
    return info;
}

const QVector<uint8_t> ReceiverAddress{0x5A, 0x8C, 0x21};

DeviceAllInfo missingDevice(uint8_t cid, uint8_t mid)
{
    DeviceAllInfo info;
    info.path = QStringLiteral("/dev/hidusb/no-such-device");
    info.cid = cid;
    info.mid = mid;
    info.type = 5;
    return info;
}

bool waitFinished(Worker& worker, int ms = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while ((worker.isRunning() || clock.elapsed() < 50) && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return !worker.isRunning();
}

void resetFlags()
{
    resetLinkFlags();
    DeviceInfoFile.clear();
}

// Selects a device that is not attached (CID 0x18) and lets a pass run.
void selectMissing(uint8_t mid, int mainPage = 1)
{
    PostMsg::GetInstance()->PostSelectMouseInfo(missingDevice(0x18, mid));
    OnMainPage = mainPage;
    WorkerRun = true;
}

// One pass with the run flag set, to its end.
bool runPass(Worker& worker)
{
    WorkerRun = true;
    worker.StartPass();
    return waitFinished(worker);
}

}  // namespace

class WorkerTest : public QObject
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
        resetFlags();
        QDir(DeviceInfoFolder()).removeRecursively();
    }

    void constructionSetsUpTheLink()
    {
        SetCurrentDevicePath("previous");
        WorkerRun = false;
        DeviceOnline = true;
        ShowBatteryValue = 0;
        {
            Worker worker;
            QCOMPARE(WorkerThread, &worker);
            QVERIFY(WorkerRun.load());
            QVERIFY(!DeviceOnline.load());
            QCOMPARE(CurrentDevicePath(), QByteArray("a"));
            QCOMPARE(ShowBatteryValue.load(), 1);
            QVERIFY(CheckTimer);
            QCOMPARE(CheckTimer->interval(), 1300);
            QVERIFY(CheckTimer->isActive());
            QVERIFY(!worker.isRunning());  // not started by its constructor
        }
        QCOMPARE(WorkerThread, nullptr);
        QCOMPARE(CheckTimer, nullptr);
    }

    void selectionMakesTheCurrentDevice()
    {
        Worker worker;
        ImageBelongsToDevice = true;
        DeviceAllInfo info = missingDevice(5, 171);
        info.path = QStringLiteral("/dev/hidusb/selected");
        PostMsg::GetInstance()->PostSelectMouseInfo(info);
        QCOMPARE(CurrentDeviceInfo.path, info.path);
        QCOMPARE(CurrentDeviceInfo.cid, uint8_t(5));
        QCOMPARE(DeviceInfoFile, QStringLiteral("Device_CID05_MIDAB.bin"));
        QCOMPARE(CurrentDevicePath(), QByteArray("/dev/hidusb/selected"));
        QVERIFY(!ImageBelongsToDevice.load());

        ImageBelongsToDevice = true;
        LastOnline = true;
        PostMsg::GetInstance()->PostMainPageChange();
        QVERIFY(!LastOnline.load());
        QVERIFY(!ImageBelongsToDevice.load());
    }

    void offlinePassFillsThePagesFromTheCache()
    {
        Worker worker;
        Recorder rec;
        FlashDataMap cached{};
        cached.dpiStageCount = 5;
        cached.dpiStage = 2;
        cached.lightMode = 4;
        cached.macros[15].events[69].delay = 0xDEADBEEF;
        QVERIFY(WriteDeviceInfoFile(DeviceFileName(0x18, 0x01), cached));

        selectMissing(0x01);
        QVERIFY(runPass(worker));
        QCOMPARE(rec.entries(), QStringList({"Button", "Light", "Sensor", "Form"}));
        QVERIFY(!rec.arrivedOffGuiThread());
        const QList<FlashDataMap> images = rec.images();
        QCOMPARE(images.size(), 3);
        for (const FlashDataMap& image : images)
            QCOMPARE(std::memcmp(&image, &cached, sizeof image), 0);
        QVERIFY(DeviceOffline.load());
        QVERIFY(ReadAgain.load());  // read the device first once it answers
        QCOMPARE(CurrentDeviceInfo.online, uint8_t(0));
        QVERIFY(!OnlineAtEnd.load());
        QVERIFY(!WorkerRun.load());
        // The offline fill does not make the image the device's.
        QVERIFY(!ImageBelongsToDevice.load());
    }

    void offlinePassWithoutCacheResetsThePages()
    {
        Worker worker;
        Recorder rec;
        selectMissing(0x02);
        QVERIFY(runPass(worker));
        QCOMPARE(rec.entries(), QStringList({"FormReset"}));
    }

    void passOpensNothingWithoutThePages()
    {
        Worker worker;
        Recorder rec;
        selectMissing(0x02, 0);
        QVERIFY(runPass(worker));
        QVERIFY(rec.entries().isEmpty());
        QVERIFY(!DeviceOffline.load());
        QVERIFY(!WorkerRun.load());

        // A pass whose run flag was cleared does nothing at all.
        OnMainPage = 1;
        WorkerRun = false;
        worker.StartPass();
        QVERIFY(waitFinished(worker));
        QVERIFY(rec.entries().isEmpty());
    }

    void pagesShownJustAfterTheStartAreSeen()
    {
        // The device list starts the pass and shows the pages right after.
        Worker worker;
        Recorder rec;
        selectMissing(0x02, 0);
        worker.StartPass();
        OnMainPage = 1;
        QVERIFY(waitFinished(worker));
        QCOMPARE(rec.entries(), QStringList({"FormReset"}));
    }

    void unchangedDevicePassOpensNothing()
    {
        Worker worker;
        Recorder rec;
        selectMissing(0x02);
        QVERIFY(runPass(worker));
        QCOMPARE(rec.count("FormReset"), 1);
        // Same device, same state, nothing pending: nothing happens.
        QVERIFY(runPass(worker));
        QCOMPARE(rec.count("FormReset"), 1);
        // Back to the list and the same device again: the link is opened
        // again, also for a device that stayed offline.
        PostMsg::GetInstance()->PostMainPageChange();
        PostMsg::GetInstance()->PostSelectMouseInfo(missingDevice(0x18, 0x02));
        QVERIFY(runPass(worker));
        QCOMPARE(rec.count("FormReset"), 2);
    }

    void startWhileRunningIsNotLost()
    {
        Worker worker;
        Recorder rec;
        selectMissing(0x02);
        worker.StartPass();
        QVERIFY(worker.isRunning());
        // The pass waits for the GUI thread (the page signals): ask again now.
        worker.StartPass();
        worker.StartPass();  // one pending start, not two
        ReloadPending = true;  // make the second pass do work
        QVERIFY(waitFinished(worker));
        pump(300);
        QVERIFY(waitFinished(worker));
        QCOMPARE(rec.count("FormReset"), 2);
        ReloadPending = false;
    }

    void stopWhileThePassWaitsForTheGuiThread()
    {
        auto* worker = new Worker;
        Recorder rec;
        selectMissing(0x02);
        worker->StartPass();
        // Keep the GUI thread busy: the pass blocks in a hand-off to it.
        QThread::msleep(400);
        QVERIFY(worker->isRunning());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(worker->StopAndWait(5000));
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(worker->isFinished());
        // A stopped worker starts no more passes.
        WorkerRun = true;
        worker->StartPass();
        QVERIFY(!worker->isRunning());
        delete worker;
        QCOMPARE(WorkerThread, nullptr);
    }

    // ---- the rules of a USB change -----------------------------------------

    void followsTheMouseBesideItsReceiver_data()
    {
        QTest::addColumn<DeviceAllInfo>("found");
        QTest::addColumn<DeviceAllInfo>("current");
        QTest::addColumn<bool>("follows");
        const QString rx = QStringLiteral("rx"), mouse = QStringLiteral("mouse");
        const DeviceAllInfo receiver = attached(rx, false, true, 0, ReceiverAddress);
        QTest::newRow("its mouse") << attached(mouse, true, true, 0, ReceiverAddress) << receiver << true;
        QTest::newRow("another address")
            << attached(mouse, true, true, 0, {0x5A, 0x8C, 0x22}) << receiver << false;
        QTest::newRow("no full address") << attached(mouse, true, true, 0, {0x5A, 0x8C})
                                         << attached(rx, false, true, 0, {0x5A, 0x8C}) << false;
        QTest::newRow("mouse silent") << attached(mouse, true, false, 0, ReceiverAddress) << receiver << false;
        QTest::newRow("another receiver") << attached(mouse, false, true, 0, ReceiverAddress) << receiver << false;
        QTest::newRow("current is a mouse")
            << attached(mouse, true, true, 0, ReceiverAddress) << attached(rx, true, true, 0, ReceiverAddress) << false;
        QTest::newRow("another model") << attached(mouse, true, true, 1, ReceiverAddress) << receiver << false;
        QTest::newRow("no current path, receiver answers")
            << attached(mouse, true, true, 1, ReceiverAddress) << attached({}, false, true, 0, ReceiverAddress) << true;
        QTest::newRow("no current path, receiver silent")
            << attached(mouse, true, true, 0, ReceiverAddress) << attached({}, false, false, 0, ReceiverAddress)
            << false;
    }

    void followsTheMouseBesideItsReceiver()
    {
        QFETCH(DeviceAllInfo, found);
        QFETCH(DeviceAllInfo, current);
        QFETCH(bool, follows);
        QCOMPARE(DeviceDiscovery::FollowsMouseBesideReceiver(found, current), follows);
    }

    void currentDeviceGone_data()
    {
        QTest::addColumn<QStringList>("paths");  // "m..." a mouse, "r..." a receiver, "-" one without address
        QTest::addColumn<QString>("currentPath");
        QTest::addColumn<bool>("gone");
        QTest::newRow("still attached") << QStringList{"m1", "r1"} << "r1" << false;
        QTest::newRow("gone") << QStringList{"m1", "r2"} << "r1" << true;
        QTest::newRow("no current path") << QStringList{"m1", "r1"} << "" << false;
        QTest::newRow("three devices") << QStringList{"m1", "r1", "r2"} << "m1" << false;
        QTest::newRow("receiver without address") << QStringList{"m1", "r1-"} << "m1" << false;
        QTest::newRow("two mice") << QStringList{"m1", "m2"} << "m3" << true;
    }

    void currentDeviceGone()
    {
        QFETCH(QStringList, paths);
        QFETCH(QString, currentPath);
        QFETCH(bool, gone);
        QList<DeviceAllInfo> found;
        for (const QString& path : paths)
            found.append(attached(path, path.startsWith('m'), true, 0,
                                  path.endsWith('-') ? QVector<uint8_t>() : ReceiverAddress));
        DeviceAllInfo current;
        current.path = currentPath;
        QCOMPARE(DeviceDiscovery::CurrentDeviceGone(found, current), gone);
    }

    void shutdownOfTheGlobalWorker()
    {
        WorkerThread = nullptr;
        auto* worker = new Worker;
        QCOMPARE(WorkerThread, worker);
        QPointer<Worker> guard(worker);
        selectMissing(0x02);
        worker->StartPass();
        QThread::msleep(200);
        Worker::Shutdown(5000);
        QCOMPARE(WorkerThread, nullptr);
        QVERIFY(guard.isNull());
        Worker::Shutdown();  // nothing left to stop
    }
};

QTEST_MAIN(WorkerTest)
#include "tst_link_worker.moc"
