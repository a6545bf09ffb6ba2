#include "Worker.h"

#include "ConfigSettings.h"
#include "DeviceCache.h"
#include "DeviceChoreography.h"
#include "DeviceDiscovery.h"
#include "FirmwareFiles.h"
#include "Globals.h"
#include "HIDUsb.h"
#include "ImageCheck.h"
#include "LinkSupport.h"
#include "Logging.h"
#include "PostMsg.h"
#include "UpdateRules.h"

#include <QDir>
#include <QElapsedTimer>
#include <QMutexLocker>
#include <QPointer>
#include <QTimer>

#include <cstring>

namespace {

constexpr int CheckIntervalMs = 1300;
// The device list shows the pages right after it starts the first pass; a
// pass gives it this long to do so before it decides the pages are not shown.
constexpr int MainPageGraceMs = 250;

// The link keeps its paths as the library's bytes.
bool deviceOnline(const QByteArray& path)
{
    return DeviceAnswers(QString::fromLocal8Bit(path));
}

}  // namespace

Worker::Worker(QObject* parent)
    : QThread(parent)
{
    WorkerRun = true;
    RestartReadThrottle();
    SetCurrentDevicePath(QByteArrayLiteral("a"));
    DeviceOnline = false;

    auto* timer = new QTimer(this);
    timer->setInterval(CheckIntervalMs);
    connect(timer, &QTimer::timeout, this, &Worker::SlotCheckOnline);
    timer->start();
    CheckTimer = timer;

    PostMsg* hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigSelectMouseInfo, this, &Worker::SlotSelectMouseInfo);
    connect(hub, &PostMsg::SigMainPageChange, this, &Worker::SlotMainPageChange);
    connect(this, &QThread::finished, this, &Worker::onPassFinished, Qt::QueuedConnection);

    ShowBatteryValue = ConfigSettings::GetInstance()->GetInt(QStringLiteral("Option"), QStringLiteral("ShowBatteryValue"));

    if (!WorkerThread)
        WorkerThread = this;
}

Worker::~Worker()
{
    if (isRunning() && !StopAndWait())
        wait();  // nothing else is left to do: a thread may not outlive its object
    if (CheckTimer && CheckTimer->parent() == this)
        CheckTimer = nullptr;
    if (WorkerThread == this)
        WorkerThread = nullptr;
}

// ---- starting and stopping -------------------------------------------------

void Worker::StartPass(QThread::Priority priority)
{
    if (QThread::currentThread() != thread()) {
        QPointer<Worker> self(this);
        QMetaObject::invokeMethod(this, [self, priority] {
            if (self)
                self->StartPass(priority);
        }, Qt::QueuedConnection);
        return;
    }
    QMutexLocker lock(&m_startMutex);
    if (m_stopping)
        return;
    if (isRunning()) {
        m_pending = true;
        m_pendingPriority = priority;
        return;
    }
    startNow(priority);
}

void Worker::startNow(QThread::Priority priority)
{
    start(priority);
}

void Worker::onPassFinished()
{
    QMutexLocker lock(&m_startMutex);
    if (!m_pending || m_stopping || isRunning())
        return;
    m_pending = false;
    // The pass that just ended cleared the flag that the requester had set.
    WorkerRun = true;
    startNow(m_pendingPriority);
}

void Worker::ReadDeviceAgain()
{
    m_readAgain = true;
    WorkerRun = true;
    StartPass(QThread::InheritPriority);
}

void Worker::Stop()
{
    WorkerRun = false;
}

bool Worker::StopAndWait(int timeoutMs)
{
    {
        QMutexLocker lock(&m_startMutex);
        m_stopping = true;
        m_pending = false;
    }
    Stop();
    QElapsedTimer clock;
    clock.start();
    const bool guiThread = QCoreApplication::instance()
                           && QThread::currentThread() == QCoreApplication::instance()->thread();
    while (isRunning() && clock.elapsed() < timeoutMs) {
        // The pass may be waiting for a page on the GUI thread.
        if (guiThread)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        wait(10);
    }
    return !isRunning();
}

void Worker::Shutdown(int timeoutMs)
{
    Worker* worker = WorkerThread;
    if (!worker)
        return;
    WorkerThread = nullptr;
    if (worker->StopAndWait(timeoutMs)) {
        delete worker;
        return;
    }
    // Still blocked inside the library: free it once it has finished.
    worker->setParent(nullptr);
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    if (worker->isFinished())
        worker->deleteLater();
}

void Worker::SetRunFlag() { WorkerRun = true; }
void Worker::ClearRunFlag() { WorkerRun = false; }
void Worker::Delay(int ms) { QThread::msleep(static_cast<unsigned long>(qMax(0, ms))); }

// ---- slots (GUI thread) ----------------------------------------------------

void Worker::SlotSelectMouseInfo(DeviceAllInfo info)
{
    CurrentDeviceInfo = info;
    DeviceInfoFile = DeviceFileName(info.cid, info.mid);
    SetCurrentDevicePath(info.path.toLocal8Bit());
    // Whatever image is in memory came from another device (or none).
    ImageBelongsToDevice = false;
}

void Worker::SlotMainPageChange()
{
    LastOnline = false;
    m_reopen = true;
    ImageBelongsToDevice = false;
}

void Worker::SlotCheckOnline()
{
    if (DeviceOffline.load()) {
        if (OnMainPage.load() == 0) {
            if (CurrentDeviceInfo.type != 0)
                DeviceOffline = false;
        } else if (OnlinePollEnabled.load()) {
            DeviceOnline = deviceOnline(CurrentDevicePath());
            LastOnline = false;
            if (!DeviceOnline.load())
                return;
            PostMsg::GetInstance()->PostCloseOffOnline();
            DeviceOffline = false;
        }
    }
    HonourDeferredReread();
    if (DeviceOnline.load() && ReadAgain.load()) {
        ReadAgain = false;
        WorkerRun = true;
        StartPass(QThread::InheritPriority);
    }
}

// ---- the pass (worker thread) ----------------------------------------------

void Worker::run()
{
    if (!WorkerRun.load())
        return;
    const bool readAgain = m_readAgain.exchange(false);

    const QByteArray path = CurrentDevicePath();
    if (!DeviceOnline.load())
        DeviceOnline = deviceOnline(path);

    DeviceAllInfo device = CurrentDeviceSnapshot();
    const bool unchanged = !m_reopen.load() && device.path == m_lastPath && int(device.type) == m_lastType
                           && LastOnline.load() == DeviceOnline.load() && !ReloadPending.load();
    if (!unchanged) {
        // The device list shows the pages just after it starts the first pass.
        QElapsedTimer grace;
        grace.start();
        while (OnMainPage.load() != 1 && grace.elapsed() < MainPageGraceMs && WorkerRun.load())
            QThread::msleep(5);
    }

    if (!unchanged && OnMainPage.load() == 1) {
        PostMsg* hub = PostMsg::GetInstance();
        const bool online = deviceOnline(path);
        DeviceOnline = online;
        if (online) {
            RunOnGuiThread([] { CurrentDeviceInfo.online = 1; });
            if (ReloadPending.load()) {
                ReloadPending = false;
                hub->PostUpDataParam(1);
            } else if (!SettingsBusy.load()) {
                hub->PostUpDataParam(0);
            }
        } else {
            DeviceOffline = true;
            // The device is read before anything is written to it once it
            // answers again.
            ReadAgain = true;
            QString cacheName;
            RunOnGuiThread([&] {
                CurrentDeviceInfo.online = 0;
                cacheName = DeviceInfoFile;
            });
            FlashDataMap cached;
            if (ReadDeviceInfoFile(cacheName, cached)) {
                // A damaged cache must not make a page index past its stages.
                MendImage(cached, ModelImageLimits(device.driveIndex));
                hub->PostUpDataLightUIButton(cached);
                hub->PostUpDataLightLight(cached);
                hub->PostUpDataLightSensor(cached);
                hub->PostForm();
            } else {
                hub->PostFormReset();
            }
        }

        device = CurrentDeviceSnapshot();
        m_reopen = false;
        m_lastPath = device.path;
        m_lastType = device.type;
        const QByteArray linkPath = CurrentDevicePath();
        const QByteArray linkPath2 = linkPath;
        if (!UsbServerC_Start(linkPath.constData(), linkPath2.constData(), &Worker::OnProtocolData))
            qCInfo(lcLink) << "link opened to a device that is not attached:" << linkPath;
        UsbServer_SetPCDriverStatus(1);
        if (!UsbServer_ReadAllFlashData())
            qCWarning(lcLibrary) << "the full read was not accepted (UsbServer_ReadAllFlashData)";
        else
            qCDebug(lcLink) << "full read asked of" << linkPath << (online ? "(online)" : "(offline)");
        LastOnline = DeviceOnline.load();
    } else if (unchanged && readAgain && OnMainPage.load() == 1) {
        // The link is open to this device: ask it once more for its image.
        if (!deviceOnline(path))
            qCInfo(lcLink) << "read again not asked: the device does not answer";
        else if (!UsbServer_ReadAllFlashData())
            qCWarning(lcLibrary) << "the full read was not accepted (UsbServer_ReadAllFlashData)";
    }

    OnlineAtEnd = DeviceOnline.load();
    WorkerRun = false;
}

// ---- selection, identification, discovery ----------------------------------

void Worker::SelectDevice(DeviceAllInfo info)
{
    const QByteArray path = info.path.toLocal8Bit();
    if (deviceOnline(path)) {
        auto apply = [&] {
            if (CurrentDeviceInfo.path != info.path)
                ImageBelongsToDevice = false;
            CurrentDeviceInfo = info;
            DeviceInfoFile = DeviceFileName(info.cid, info.mid);
            SetCurrentDevicePath(path);
        };
        RunOnGuiThread(apply);
    }
    WorkerRun = true;
    StartPass(QThread::InheritPriority);
}

int Worker::MatchDeviceConfig(DeviceAllInfo& dev, const QByteArray& path)
{
    ConfigSettings* config = ConfigSettings::GetInstance();
    const int total = config->ModelTotal();

    DeviceIdentity id{0, 0, 0};
    bool answered = false;
    for (int attempt = 0; attempt < 10; ++attempt) {
        id = UsbFinderC_GetDeviceInfo(path.constData());
        if (id.cid != 0 || id.mid != 0) {
            answered = true;
            break;
        }
    }
    if (!answered) {
        dev.directMouse = DirectMouseFromType(id.type);
        if (total > 0)
            dev.driveIndex = total;
        return 0;
    }
    if (total <= 0)
        return 0;

    if (const std::optional<ModelRecord> model = ModelOfIdentity(id.cid, id.mid)) {
        dev.directMouse = DirectMouseFromType(id.type);
        dev.cid = id.cid;
        dev.mid = id.mid;
        dev.type = id.type;
        dev.driveIndex = model->driveIndex;
        DeviceAllInfo current = CurrentDeviceSnapshot();
        if (current.path.isEmpty()) {
            if (deviceOnline(path))
                dev.online = 1;
            return 1;
        }
        dev.address.clear();
        unsigned char buffer[16] = {};
        UsbFinderC_GetDeviceOnLineWithUsbAddress(path.constData(), buffer);
        dev.online = buffer[6] == 1 ? 1 : 0;
        dev.address = {buffer[7], buffer[8], buffer[9]};
        if (dev.path == current.path) {
            const DeviceAllInfo found = dev;
            RunOnGuiThread([&] {
                const QString firmware = CurrentDeviceInfo.firmwareVersion;
                const QString usb = CurrentDeviceInfo.usbVersion;
                CurrentDeviceInfo = found;
                if (!firmware.isEmpty())
                    CurrentDeviceInfo.firmwareVersion = firmware;
                if (!usb.isEmpty())
                    CurrentDeviceInfo.usbVersion = usb;
            });
        }
        return 1;
    }
    dev.directMouse = DirectMouseFromType(id.type);
    dev.driveIndex = total;
    return id.cid == VendorCid() ? 2 : 3;
}

void Worker::FindDevices(const QString& vid, const QStringList& pids)
{
    const QByteArray vidText = vid.toLocal8Bit();
    for (const QString& pid : pids) {
        const QByteArray pidText = pid.toLocal8Bit();
        int count = 5;
        char** found = UsbFinderC_FindHidDevicesByDeviceId(vidText.constData(), pidText.constData(), 1, 5, &count);
        // The library's storage lasts only until its next find call: copy it.
        QList<QByteArray> paths;
        for (int i = 0; found && i < count; ++i) {
            if (found[i])
                paths.append(QByteArray(found[i]));
        }
        for (const QByteArray& path : paths) {
            DeviceAllInfo record;
            record.path = QString::fromLocal8Bit(path);
            record.vid = vid;
            record.pid = pid;
            unsigned char attribute[12] = {};
            UsbFinderC_GetUsbDeviceAttribute(path.constData(), attribute);
            const unsigned int version = attribute[8] | (unsigned(attribute[9]) << 8);
            record.usbVersion = VersionText(version);

            const DeviceAllInfo current = CurrentDeviceSnapshot();
            if (current.path.isEmpty()) {
                FoundDevices.append(record);
                continue;
            }
            const int result = MatchDeviceConfig(record, path);
            if (result == 1) {
                if (record.driveIndex != current.driveIndex)
                    continue;
                FoundDevices.append(record);
                if (record.path == current.path)
                    SetCurrentDevicePath(path);
            } else {
                FoundDevices.append(record);
            }
        }
    }
}

// ---- the steps of a USB change (GUI thread) ---------------------------------

namespace {

// The attached devices of the model table into FoundDevices, after telling
// the pages that a search runs (Setver 4).
void searchAttachedDevices(PostMsg* hub)
{
    hub->PostSetver(4);
    // (InterfaceId and DeviceId are fixed for the search: 1 and 5.)
    const QString vid = ConfigSettings::GetInstance()->GetValue(QStringLiteral("Option"), QStringLiteral("VID"));
    FoundDevices.clear();
    Worker::FindDevices(vid, DeviceDiscovery::SearchList(DeviceDiscovery::ReadPidLists()));
}

// Nothing attached: while the pages follow the device (no firmware update
// runs), it is forgotten and the device list comes back.
void forgetVanishedDevice(PostMsg* hub)
{
    if (!OnlinePollEnabled.load())
        return;
    CurrentDeviceInfo = DeviceAllInfo();
    hub->PostChangeMainDialog(0);
}

// The current receiver's mouse plugged in with its cable becomes the current
// device. Each candidate is tried in order: a selection that took makes the
// mouse current and the others no longer follow.
void followMouseBesideReceiver(const QList<DeviceAllInfo>& found)
{
    for (const DeviceAllInfo& device : found) {
        if (DeviceDiscovery::FollowsMouseBesideReceiver(device, CurrentDeviceInfo) && WorkerThread)
            WorkerThread->SelectDevice(device);
    }
}

// The current device is no longer attached: back to the device list, unless
// a firmware update runs.
void leavePagesWhenCurrentGone(const QList<DeviceAllInfo>& found, PostMsg* hub)
{
    if (DeviceDiscovery::CurrentDeviceGone(found, CurrentDeviceInfo) && OnlinePollEnabled.load())
        hub->PostChangeMainDialog(0);
}

// A cabled mouse: the receiver's version beside it and whether an image of
// the firmware folder is newer for either of them. The texts and the
// receiver's class as the settings page takes them; the mouse is on its
// cable, so its own version counts whatever its link says.
void showCabledMouseFirmware(const QList<DeviceAllInfo>& found, PostMsg* hub)
{
    const UpdateRules::VersionTexts texts = UpdateRules::VersionTextsOf(CurrentDeviceInfo, true, found);
    QString waiting;
    if (QDir(FirmwareFolder()).exists()) {
        ReceiverUpdateAvailable = FirmwareUpdateAvailable(FirmwareKindReceiver, texts.receiver, texts.kind);
        MouseUpdateAvailable = FirmwareUpdateAvailable(FirmwareKindMouse, texts.mouse, texts.kind);
        if (ReceiverUpdateAvailable.load() || MouseUpdateAvailable.load())
            waiting = QStringLiteral("true");
    }
    hub->PostLabelTextB(texts.receiver, waiting);
}

// The repair dialog on screen checks again, unless the settings page's
// check runs already.
void askRepairDialogToCheck(PostMsg* hub)
{
    if (RepairDialogShown.load() && !CheckTimersRunning.load())
        hub->PostCheckUpdate();
}

}  // namespace

void Worker::OnUsbChanged()
{
    // The device list and the current device belong to the GUI thread.
    RunOnGuiThreadLater([] { Worker::HandleUsbChanged(); });
}

void Worker::HandleUsbChanged()
{
    PostMsg* hub = PostMsg::GetInstance();
    searchAttachedDevices(hub);
    if (FoundDevices.isEmpty()) {
        forgetVanishedDevice(hub);
    } else {
        const QList<DeviceAllInfo> found = FoundDevices;
        followMouseBesideReceiver(found);
        leavePagesWhenCurrentGone(found, hub);
        if (CurrentDeviceInfo.directMouse == 1)
            showCabledMouseFirmware(found, hub);
    }
    askRepairDialogToCheck(hub);
}
