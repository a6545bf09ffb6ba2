#include "FirmwareCheck.h"

#include "DeviceRecords.h"
#include "FirmwareUpdate.h"
#include "Globals.h"
#include "HIDUsb.h"
#include "LinkSupport.h"
#include "Logging.h"
#include "ModelRecords.h"
#include "PostMsg.h"

#include <QCoreApplication>

#include <atomic>
#include <utility>

using UpdateRules::Message;

namespace {

// The upgrade a check started. Its state is written on the GUI thread and
// read by the upgrade's progress on the library's thread; the rest is what
// its end writes (GUI thread). Never destroyed: the library may call in at
// exit.
struct Upgrade {
    std::atomic<int> receiverState{0};
    std::atomic<int> mouseState{0};
    std::atomic<int> stages{1};  // 2: receiver, then mouse
    QString cidText;
    QString midText;
};

Upgrade& upgrade()
{
    static Upgrade* u = new Upgrade();
    return *u;
}

std::atomic<int>& stateOf(int type)
{
    return type == FirmwareKindMouse ? upgrade().mouseState : upgrade().receiverState;
}

int otherType(int type)
{
    return type == FirmwareKindMouse ? FirmwareKindReceiver : FirmwareKindMouse;
}

QStringList timeoutLogLines()
{
    QStringList lines;
    lines << QStringLiteral("upgrade: no event from the device library for %1 s").arg(FirmwareUpgradeTimeoutMs / 1000)
          << QStringLiteral("result: failed");
    return lines;
}

// The end of an upgrade, on the GUI thread.
void upgradeEnded(const UpgradeEvent& event, const FirmwareImageHandle& image)
{
    Upgrade& u = upgrade();
    PostMsg* hub = PostMsg::GetInstance();
    if (event.success) {
        const QString version = image ? image->Header().VersionText() : QString();
        if (u.receiverState == 1) {
            u.receiverState = 2;
            if (u.stages == 1)
                hub->PostProgress(0, 2);
            hub->PostLabelText(0, version);
        }
        if (u.mouseState == 1) {
            u.mouseState = 2;
            (void)WriteMouseVersion(u.cidText, u.midText, version);  // the writer logs a failure
            hub->PostProgress(0, 2);
            hub->PostLabelText(1, version);
        }
        return;
    }
    if (!WriteUpdateLog(event.timedOut ? timeoutLogLines() : UpgradeLogLines(UsbUpgradeC_GetLogs())))
        qCWarning(lcFiles) << "the failed upgrade's log lines are not kept";
    MouseUpdateAvailable = false;
    ReceiverUpdateAvailable = false;
    for (std::atomic<int>* state : {&u.receiverState, &u.mouseState}) {
        if (*state == 1)
            *state = 3;
    }
    hub->PostProgress(0, 1);
}

// The library's events (its thread): the progress to the dialog, the end to
// the GUI thread.
void onUpgradeEvent(const UpgradeEvent& event, const FirmwareImageHandle& image)
{
    if (event.kind == UpgradeEvent::Progress) {
        const Upgrade& u = upgrade();
        const int stages = u.stages == 1 ? 1 : 2;
        PostMsg* hub = PostMsg::GetInstance();
        if (u.receiverState == 1)
            hub->PostProgress(UpgradeProgressValue(event.percent, 0, stages), 0);
        if (u.mouseState == 1)
            hub->PostProgress(UpgradeProgressValue(event.percent, 1, stages), 0);
        return;
    }
    RunOnGuiThreadLater([event, image] { upgradeEnded(event, image); });
}

// The version of the receiver at path as its slave reports it; empty when
// the library does not answer.
QString slaveVersion(const QString& path)
{
    int version = 0;
    return UsbFinderC_GetSlaveVersion(path.toLocal8Bit().constData(), &version)
               ? VersionText(static_cast<unsigned int>(version) & 0xFFFFu)
               : QString();
}

}  // namespace

FirmwareCheck::FirmwareCheck(FirmwareCheckView& view, QObject* parent) : QObject(parent), m_view(view) {}

int FirmwareCheck::UpgradeState(int type)
{
    return stateOf(type).load();
}

bool FirmwareCheck::Upgrading(int type)
{
    return stateOf(type) == 1;
}

bool FirmwareCheck::Upgrading()
{
    return Upgrading(FirmwareKindReceiver) || Upgrading(FirmwareKindMouse);
}

// ---- lookups ------------------------------------------------------------------------

ModelRecord FirmwareCheck::Model() const
{
    return ModelRecordOf(m_modelIndex).value_or(ModelRecord());
}

std::optional<FirmwareFile> FirmwareCheck::Lookup(int type, const QString& version, const QString& name, int cid,
                                                  bool* damaged) const
{
    return FindFirmwareFile(FirmwareFolder(), quint8(type), version, name, quint8(cid), quint8(Model().mid), damaged);
}

int* FirmwareCheck::BootCount(int kind)
{
    switch (kind) {
    case 1: return &m_bootCounts[0];
    case 2: return &m_bootCounts[1];
    case 4: return &m_bootCounts[2];
    case 8: return &m_bootCounts[3];
    default: return nullptr;
    }
}

void FirmwareCheck::ForgetImage()
{
    m_image.reset();
    m_imageFile.clear();
}

void FirmwareCheck::ClearBootCounts()
{
    for (int& count : m_bootCounts)
        count = 0;
}

FirmwareImageHandle FirmwareCheck::ImageFor(const FirmwareFile& file, bool* unreadable)
{
    // By the file the scan found: the image loaded may be one of its fallbacks.
    *unreadable = false;
    if (!m_imageFile.isEmpty() && m_imageFile == file.path) {
        *unreadable = !m_image;
        return m_image;
    }
    if (!m_imageLoading) {
        m_imageLoading = true;
        LoadFirmwareImageAsync(file, this, [this, file](const FirmwareLoadResult& loaded) {
            m_imageLoading = false;
            m_imageFile = file.path;
            m_image = loaded.image;
            if (!loaded.image)
                qCWarning(lcPages) << "firmware image not used:" << file.path << FirmwareImageErrorText(loaded.error);
            m_readFile = file;
            RunCurrentStep();
            m_readFile.reset();  // taken by the step, or no step wanted it
        });
    }
    return {};
}

std::optional<FirmwareFile> FirmwareCheck::StepFile(const std::function<std::optional<FirmwareFile>()>& find)
{
    // Run again once its image was read: the step goes on with the file it
    // found, without scanning the folder or asking the device again.
    if (m_readFile)
        return std::exchange(m_readFile, std::nullopt);
    return find();
}

// ---- starting the checks ------------------------------------------------------------

void FirmwareCheck::ReceiverClicked()
{
    m_receiverKind = UpdateRules::CheckKind(CurrentDeviceInfo, FoundDevices);
    if (!m_receiverUpToDate && m_runningCheck != FirmwareKindMouse)
        StartCheck(FirmwareKindReceiver);
}

void FirmwareCheck::MouseClicked()
{
    const DeviceAllInfo& current = CurrentDeviceInfo;
    if (current.directMouse != 0
        && (FoundDevices.isEmpty() || FoundDevices.first().directMouse == 0 || FoundDevices.first().mid != current.mid)) {
        PostMsg::GetInstance()->PostProgress(0, 5);
        m_view.CheckEnded();
        return;
    }
    if (!m_mouseUpToDate && m_runningCheck != FirmwareKindReceiver)
        StartCheck(FirmwareKindMouse);
    else if (m_mouseUpToDate)
        m_view.ShowUpToDate();
}

void FirmwareCheck::StartCheck(int type)
{
    if (CheckTimersRunning.load())
        return;  // one check at a time: the steps share one counter
    CheckTimersRunning = true;
    m_step = 0;
    // An image the resume decision read stays: the steps take it for its own file.
    m_view.ShowCheckBadge(type, false);
    m_view.ShowCheckBadge(otherType(type), false);
    OnlinePollEnabled = false;
    m_runningCheck = type;
    m_view.RunStepTimer(type);
}

void FirmwareCheck::Continue(bool fromReceiverCheck)
{
    ClearBootCounts();
    const auto doneOrNothing = [](int state) { return state == 2 || state == 4; };
    if (MouseUpdateAvailable.load() && doneOrNothing(UpgradeState(FirmwareKindReceiver))) {
        m_userStarted = true;
        MouseClicked();
    }
    // Not back to the receiver whose check has just ended.
    if (!fromReceiverCheck && ReceiverUpdateAvailable.load() && doneOrNothing(UpgradeState(FirmwareKindMouse))) {
        m_userStarted = true;
        ReceiverClicked();
    }
}

void FirmwareCheck::StartRequested()
{
    ClearBootCounts();
    m_lastReason = Message::None;
    const bool receiverImage =
        Lookup(FirmwareKindReceiver, m_view.CheckVersionText(FirmwareKindReceiver), m_receiverModelName, m_cid)
            .has_value();
    if (!receiverImage && m_mouseBootCount == 1) {
        m_userStarted = true;
        MouseClicked();
    } else if (m_runningCheck != FirmwareKindMouse && !m_receiverUpToDate) {
        StartCheck(FirmwareKindReceiver);
    } else if (m_receiverUpToDate) {
        m_view.ShowUpdateWaiting(false);
        Continue();
    }
}

void FirmwareCheck::ForgetResults()
{
    m_receiverUpToDate = false;
    m_mouseUpToDate = false;
    if (!CheckTimersRunning.load()) {
        m_runningCheck = 0;  // a running check keeps its own state to its end
    }
}

// ---- the steps ------------------------------------------------------------------------

void FirmwareCheck::RunCurrentStep()
{
    if (m_runningCheck != 0)
        Step(m_runningCheck);
}

void FirmwareCheck::Step(int type)
{
    if (m_imageLoading)
        return;  // the step goes on when its image is there
    switch (m_step) {
    case 0:
        FindStep(type);
        break;
    case 1:
        ImageStep(type);
        break;
    case 2:
        // The state went to running before the start; a refused start has
        // already ended it.
        m_step = 3;
        break;
    case 3:
        if (stateOf(type) != 1)
            m_step = 4;
        break;
    case 4:
        EndCheck(type);
        break;
    default: break;
    }
}

void FirmwareCheck::FindStep(int type)
{
    m_modelIndex = CurrentDeviceInfo.driveIndex;
    m_cid = VendorCid();
    bool found = false;
    bool damaged = false;
    if (type == FirmwareKindReceiver) {
        m_receiverPaths.clear();
        const QString name = Model().ReceiverFirmwareOfRate(m_receiverKind);
        const std::optional<FirmwareFile> file = StepFile([&]() -> std::optional<FirmwareFile> {
            if (IsReceiverRateClass(m_receiverKind) && (!name.isEmpty() || m_receiverKind == 1))
                return Lookup(type, QString(), name, m_cid, &damaged);
            return std::nullopt;
        });
        if (file) {
            bool unreadable = false;
            const FirmwareImageHandle image = ImageFor(*file, &unreadable);
            if (!image && !unreadable)
                return;  // again when it has been read
            found = image != nullptr;
            damaged = unreadable;
            int* bootCount = BootCount(m_receiverKind);
            if (image && bootCount)
                *bootCount = qMax(0, FirmwareBootDeviceCount(image));
        }
        m_receiverPaths = UpdateRules::ReceiverPaths(CurrentDeviceInfo, FoundDevices);
    } else {
        found = Lookup(type, m_view.CheckVersionText(type), Model().mouseFirmware, m_cid, &damaged).has_value();
    }
    if (damaged)
        ImageDamaged(type);  // not "up to date": the image is there, and the load refuses it
    else if (!found && m_receiverKind != 0)
        NothingToDo(type);
    else
        m_step = 1;
}

std::optional<FirmwareFile> FirmwareCheck::ReceiverImageOfBootOrSlave(bool* damaged)
{
    int bootKind = 0;
    for (int kind : {1, 2, 4, 8}) {
        if (bootKind == 0 && *BootCount(kind) == 1)
            bootKind = kind;
    }
    if (bootKind != 0)
        return Lookup(FirmwareKindReceiver, QString(), Model().ReceiverFirmwareOfRate(bootKind),
                      m_cid, damaged);
    if (m_receiverKind == 4 || m_receiverKind == 8 || m_receiverKind == 2)
        return Lookup(FirmwareKindReceiver, slaveVersion(m_receiverPaths.first()),
                      Model().ReceiverFirmwareOfRate(m_receiverKind), m_cid, damaged);
    return Lookup(FirmwareKindReceiver, m_view.CheckVersionText(FirmwareKindReceiver), Model().ReceiverFirmwareOfRate(1),
                  m_cid, damaged);
}

void FirmwareCheck::ImageStep(int type)
{
    const int candidates = type == FirmwareKindReceiver
                               ? m_bootCounts[0] + m_bootCounts[1] + m_bootCounts[2] + m_bootCounts[3]
                                     + m_receiverPaths.size()
                               : m_mouseBootCount + UpdateRules::CabledMice(FoundDevices);
    if (candidates != 1) {
        stateOf(type) = 0;
        WindUp(type);
        const Message message = candidates > 1 ? Message::SameDevice
                                : type == FirmwareKindReceiver ? Message::NoDevice
                                                               : Message::WiredMode;
        Tell(type, message);
        m_step = 4;
        return;
    }
    bool damaged = false;
    const std::optional<FirmwareFile> file = StepFile([&] {
        return type == FirmwareKindMouse
                   ? Lookup(type, m_view.CheckVersionText(type), Model().mouseFirmware, m_cid, &damaged)
                   : ReceiverImageOfBootOrSlave(&damaged);
    });
    if (!file)
        return damaged ? ImageDamaged(type) : NothingToDo(type);
    bool unreadable = false;
    const FirmwareImageHandle image = ImageFor(*file, &unreadable);
    if (!image && !unreadable)
        return;  // again when it has been read
    if (!image)
        return ImageDamaged(type);
    StartUpgradeOf(type);
}

void FirmwareCheck::StartUpgradeOf(int type)
{
    const ModelRecord model = Model();
    Upgrade& u = upgrade();
    u.cidText = VendorCidText();
    u.midText = model.midText;
    // Running before the start: an end event that comes at once is not lost.
    stateOf(type) = 1;
    m_step = 2;
    if (!StartFirmwareUpgrade(m_image, {type, m_receiverKind, m_cid, model.mid}, &onUpgradeEvent)) {
        qCWarning(lcPages) << "the upgrade with" << m_image->Path() << "did not start";
        UpgradeEvent refused;  // a failure that wrote nothing: no record is left for it
        refused.kind = UpgradeEvent::Finished;
        upgradeEnded(refused, m_image);
    }
}

void FirmwareCheck::NothingToDo(int type)
{
    stateOf(type) = 4;
    m_lastReason = Message::VerNew;
    WindUp(type);
    (type == FirmwareKindReceiver ? m_receiverUpToDate : m_mouseUpToDate) = true;
    m_step = 4;
}

void FirmwareCheck::ImageDamaged(int type)
{
    m_lastReason = Message::FileError;
    stateOf(type) = 0;
    m_step = 4;
}

void FirmwareCheck::Tell(int type, Message message)
{
    m_lastReason = message;
    if (m_userStarted) {
        m_view.ShowCheckNotice(message);
        m_userStarted = false;
        return;
    }
    m_view.ShowCheckBadge(type, true);
}

void FirmwareCheck::WindUp(int type)
{
    const bool mouse = type == FirmwareKindMouse;
    OnlinePollEnabled = true;
    switch (stateOf(type).load()) {
    case 4:
        m_view.ShowCheckBadge(type, false);
        if (mouse)
            m_view.ShowUpToDate();
        m_view.ShowUpdateWaiting(false);
        break;
    case 2:
        m_view.ShowCheckBadge(type, false);
        m_view.ShowUpdateWaiting(false);
        (mouse ? MouseUpdateAvailable : ReceiverUpdateAvailable) = false;
        break;
    case 1:
        m_view.ShowCheckBadge(type, false);
        break;
    default: break;
    }
    m_step = 4;
}

void FirmwareCheck::EndCheck(int type)
{
    if (m_runningCheck == type)
        m_runningCheck = 0;
    WindUp(type);
    m_userStarted = false;
    m_view.StopStepTimers();
    CheckTimersRunning = false;
    ForgetImage();
    if (type == FirmwareKindReceiver) {
        if (m_mouseBootCount == 1) {
            m_userStarted = true;
            MouseClicked();
        } else {
            Continue(true);
        }
    }
    m_view.CheckEnded();
}

// ---- the resume decision ------------------------------------------------------------

void FirmwareCheck::Decide(std::function<void(Message)> answer)
{
    const std::optional<UpdateFailRecord> record = ReadUpdateFailInfo();
    m_receiverKind = 0;
    m_mouseBootCount = 0;
    m_modelIndex = CurrentDeviceInfo.driveIndex;
    m_cid = VendorCid();
    const UpdateRules::ResumePlan plan = UpdateRules::PlanResume(record, FoundDevices);
    if (plan.mouseBoot)
        m_mouseBootCount = 1;
    if (plan.path == UpdateRules::ResumePlan::Stop)
        return answer(plan.tip);
    m_receiverKind = plan.kind;
    if (plan.path == UpdateRules::ResumePlan::Resume)
        return ResumeOneDevice(*record, answer);

    // A receiver and the mouse of its model on the cable.
    const QString receiverName = Model().ReceiverFirmwareOfRate(plan.kind);
    bool receiverDamaged = false, mouseDamaged = false;
    const bool receiverFound = Lookup(FirmwareKindReceiver, m_view.CheckVersionText(FirmwareKindReceiver),
                                      receiverName, m_cid, &receiverDamaged)
                                   .has_value();
    const bool mouseFound = Lookup(FirmwareKindMouse, m_view.CheckVersionText(FirmwareKindMouse),
                                   Model().mouseFirmware, m_cid, &mouseDamaged)
                                .has_value();
    MouseUpdateAvailable = mouseFound;
    if (!receiverFound && !mouseFound) {
        if (receiverDamaged || mouseDamaged)
            return answer(Message::FileError);
        m_receiverUpToDate = true;
        return answer(Message::VerNew);
    }
    upgrade().stages = receiverFound && mouseFound ? 2 : 1;
    answer(Message::None);
}

void FirmwareCheck::ResumeOneDevice(const UpdateFailRecord& record, std::function<void(Message)> answer)
{
    if (IsReceiverRateClass(record.kind))
        m_receiverModelName = Model().ReceiverFirmwareOfRate(record.kind);
    const QString mouseName = Model().mouseFirmware;
    const std::optional<FirmwareFile> failed =
        Lookup(record.type, QString(), record.type == FirmwareKindMouse ? mouseName : m_receiverModelName, record.cid);
    if (!failed)
        return answer(Message::FileError);
    const int type = record.type;
    const QString path = failed->path;
    LoadFirmwareImageAsync(*failed, this, [this, type, path, mouseName, answer](const FirmwareLoadResult& loaded) {
        if (!loaded.image)
            return answer(Message::FileError);
        const int count = FirmwareBootDeviceCount(loaded.image);
        if (count != 1)
            return answer(count <= 0 ? Message::NoDevice : Message::SameDevice);
        // The other device may have an update too: then both, receiver first.
        const bool other =
            type == FirmwareKindReceiver
                ? Lookup(FirmwareKindMouse, m_view.CheckVersionText(FirmwareKindMouse), mouseName, m_cid).has_value()
                : Lookup(FirmwareKindReceiver, m_view.CheckVersionText(FirmwareKindReceiver), m_receiverModelName, m_cid)
                      .has_value();
        upgrade().stages = other ? 2 : 1;
        // Kept for the check that writes it: its step need not read it again.
        m_image = loaded.image;
        m_imageFile = path;
        answer(Message::None);
    });
}

// ---- cable pairing ------------------------------------------------------------------

std::optional<QByteArray> ReadReceiverId(const QString& path)
{
    unsigned char reply[16] = {};
    if (UsbFinderC_GetDeviceOnLineWithUsbAddress(path.toUtf8().constData(), reply) == 0)
        return std::nullopt;
    return UpdateRules::ReceiverIdBytes(reply);
}
