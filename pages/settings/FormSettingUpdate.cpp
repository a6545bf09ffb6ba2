// The settings page's firmware update machine: version texts and the update
// button, the timed checks of receiver and mouse, the upgrade's end, the
// resume decision and the start from the repair dialog.
#include "FormSetting.h"
#include "ui_FormSetting.h"

#include "ConfigSettings.h"
#include "FirmwareUpdate.h"
#include "Globals.h"
#include "HIDUsb.h"
#include "Logging.h"
#include "PostMsg.h"
#include "UpDateRepair.h"
#include "UpDateWarning.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

#include <atomic>

using UpdateRules::Message;

namespace {

// The update of each device: written on the GUI thread, read by the
// upgrade's progress on the library's thread.
std::atomic<int> DongleUpdateState{0};
std::atomic<int> MouseUpdateState{0};
std::atomic<int> SingleStageUpdate{1};  // 2: receiver, then mouse

// What the failed-update record and the mouse version are made of (GUI thread).
int UpdateDeviceType = 0;
int DongleKind = 0;
int UpdateCid = 0;
int UpdateMid = 0;
QString UpdateCidText;
QString UpdateMidText;

// The receiver id kept for the mice on their cable (GUI thread).
bool ReceiverIdRead = false;
QByteArray ReceiverIdBytes;

std::optional<FirmwareFile>& updateFile()
{
    static std::optional<FirmwareFile> file;
    return file;
}

std::atomic<int>& stateOf(int type)
{
    return type == FirmwareKindMouse ? MouseUpdateState : DongleUpdateState;
}

// The failed-update record of the upgrade the page runs (GUI thread).
UpdateFailRecord pageRecord()
{
    return {UpdateDeviceType, DongleKind, UpdateCid, UpdateMid};
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
    PostMsg* hub = PostMsg::GetInstance();
    if (event.success) {
        const QString version = image ? image->Header().VersionText() : QString();
        if (DongleUpdateState == 1) {
            DongleUpdateState = 2;
            if (SingleStageUpdate == 1)
                hub->PostProgress(0, 2);
            hub->PostLabelText(0, version);
        }
        if (MouseUpdateState == 1) {
            MouseUpdateState = 2;
            (void)WriteMouseVersion(UpdateCidText, UpdateMidText, version);  // the writer logs a failure
            hub->PostProgress(0, 2);
            hub->PostLabelText(1, version);
        }
        (void)RemoveUpdateFailInfo();  // the writer logs a failure
        return;
    }
    if (!WriteUpdateLog(event.timedOut ? timeoutLogLines() : UpgradeLogLines(UsbUpgradeC_GetLogs())))
        qCWarning(lcFiles) << "the failed upgrade's log lines are not kept";
    MouseUpdateAvailable = false;
    ReceiverUpdateAvailable = false;
    for (std::atomic<int>* state : {&DongleUpdateState, &MouseUpdateState}) {
        if (*state == 1)
            *state = 3;
    }
    hub->PostProgress(0, 1);
    // A refused start wrote nothing: the device works as it did.
    if (!event.refused)
        (void)WriteUpdateFailInfo(pageRecord());  // logged; the record stored at the start stays
}

// The library's events (its thread): the progress to the dialog, the end to
// the GUI thread.
void onUpgradeEvent(const UpgradeEvent& event, const FirmwareImageHandle& image)
{
    if (event.kind == UpgradeEvent::Progress) {
        const int stages = SingleStageUpdate == 1 ? 1 : 2;
        PostMsg* hub = PostMsg::GetInstance();
        if (DongleUpdateState == 1)
            hub->PostProgress(UpgradeProgressValue(event.percent, 0, stages), 0);
        if (MouseUpdateState == 1)
            hub->PostProgress(UpgradeProgressValue(event.percent, 1, stages), 0);
        return;
    }
    QMetaObject::invokeMethod(qApp, [event, image] { upgradeEnded(event, image); }, Qt::QueuedConnection);
}

}  // namespace

// ---- set-up, styles, lookups -------------------------------------------------------

void FormSetting::SetupUpdateMachine()
{
    TransitionMode = ConfigSettings::GetInstance()->GetInt(QStringLiteral("Option"), QStringLiteral("Transition"));
    DongleCheckTimer = new QTimer(this);
    MouseCheckTimer = new QTimer(this);
    connect(DongleCheckTimer, &QTimer::timeout, this, &FormSetting::onDongleCheckTimer);
    connect(MouseCheckTimer, &QTimer::timeout, this, &FormSetting::onMouseCheckTimer);
    SetCheckInterval(1000);
    PostMsg* hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigUpdateStart, this, &FormSetting::on_Start);
    connect(hub, &PostMsg::SigContinue, this, &FormSetting::SlotContinue);
    // Whether the dialog of a check it started has shown an end.
    connect(hub, &PostMsg::SigProgress, this, [this](int, int code) {
        if (code == 1 || code == 2 || code == 5 || code == 6)
            m_dialogEndShown = true;
    });
}

void FormSetting::SetCheckInterval(int ms)
{
    DongleCheckTimer->setInterval(ms);
    MouseCheckTimer->setInterval(ms);
}

int* FormSetting::BootCount(int kind)
{
    switch (kind) {
    case 1: return &bootCountDM;
    case 2: return &bootCountD2M;
    case 4: return &bootCountD4M;
    case 8: return &bootCountD8M;
    default: return nullptr;
    }
}

void FormSetting::ClearBootCounts()
{
    bootCountDM = bootCountD2M = bootCountD4M = bootCountD8M = 0;
}

int FormSetting::UpdateState(int type)
{
    return stateOf(type).load();
}

bool FormSetting::IsDongleUpdating()
{
    return DongleUpdateState == 1;
}

bool FormSetting::IsMouseUpdating()
{
    return MouseUpdateState == 1;
}

bool FormSetting::IsUpdating()
{
    return IsDongleUpdating() || IsMouseUpdating();
}

QString FormSetting::WaitUpdateStyle() const
{
    return QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;color: rgb(")
           + buttonColor + QStringLiteral(";);background-image: url(") + pictureDir
           + QStringLiteral("WaitUpdate.png);}QToolButton::hover{background-image: url(") + pictureDir
           + QStringLiteral("WaitUpdateHover.png);}");
}

QString FormSetting::ConfirmStyle() const
{
    return QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;color: rgb(")
           + buttonColor + QStringLiteral(";);border-image: url(") + pictureDir + QStringLiteral("Confirm.png);}");
}

void FormSetting::SetReceiveStyle(bool waiting)
{
    ui->Receive_2->setStyleSheet(waiting ? WaitUpdateStyle() : ConfirmStyle());
}

QString FormSetting::ModelKey(const QString& key) const
{
    return ConfigSettings::GetInstance()->ModelValue(m_modelIndex, key);
}

std::optional<FirmwareFile> FormSetting::Lookup(int type, const QString& version, const QString& name, int cid,
                                                bool* damaged) const
{
    const quint8 mid = quint8(ConfigSettings::GetInstance()->ModelInt(m_modelIndex, QStringLiteral("MID")));
    return FindFirmwareFile(quint8(type), version, name, quint8(cid), mid, damaged) ? updateFile() : std::nullopt;
}

QString FormSetting::MessageText(Message message) const
{
    switch (message) {
    case Message::NoDevice: return m_messages.noDeviceText;
    case Message::SameDevice: return m_messages.sameDeviceText;
    case Message::VerNew: return m_messages.verNewText;
    case Message::NoReceive: return m_messages.noReceiveText;
    case Message::NoUsb: return m_messages.noUsbText;
    case Message::Error: return m_messages.errorText;
    case Message::MultiDongle: return m_messages.multiDongleText;
    case Message::MultiMouse: return m_messages.multiMouseText;
    case Message::WiredMode: return WiredModeText;
    case Message::FileError: return UpdateRepairDialog ? UpdateRepairDialog->MessageText(message) : QString();
    case Message::None: break;
    }
    return QString();
}

bool FormSetting::FindFirmwareFile(quint8 kind, const QString& version, const QString& name, quint8 id, quint8 mid,
                                   bool* onlyDamaged)
{
    const std::optional<FirmwareFile> found =
        ::FindFirmwareFile(FirmwareFolder(), kind, version, name, id, mid, onlyDamaged);
    if (!found)
        return false;
    updateFile() = found;
    return true;
}

bool FormSetting::FindFirmwareFileB(quint8 kind, const QString& version, const QString& name, quint8 id, quint8 mid)
{
    return FirmwareFileDiffers(FirmwareFolder(), kind, version, name, id, mid);
}

std::optional<FirmwareFile> FormSetting::UpdateFile()
{
    return updateFile();
}

bool FormSetting::CheckVersionAvailable(int kind, const QString& version, int rateClass)
{
    return FirmwareUpdateAvailable(kind, version, rateClass);
}

// ---- versions and the update button --------------------------------------------------

void FormSetting::SlotLabelTextB(QString version, QString waiting)
{
    ui->label_5->setText(version);
    SetReceiveStyle(waiting == QLatin1String("true"));
    ui->Receive_2->show();
}

void FormSetting::SetVer(int mode)
{
    const bool online = CurrentDeviceInfo.online != 0 || DeviceOnline.load();
    const UpdateRules::VersionTexts texts = UpdateRules::VersionTextsOf(CurrentDeviceInfo, online, FoundDevices);
    switch (mode) {
    case 0:
        if (QFileInfo(FirmwareFolder()).isDir()) {
            MouseUpdateAvailable = CheckVersionAvailable(FirmwareKindMouse, texts.mouse, texts.kind);
            ReceiverUpdateAvailable = CheckVersionAvailable(FirmwareKindReceiver, texts.receiver, texts.kind);
            SetReceiveStyle(MouseUpdateAvailable.load() || ReceiverUpdateAvailable.load());
        }
        ui->label_5->setText(texts.receiver);
        ui->label_7->setText(texts.mouse);
        ui->Receive_2->show();
        break;
    case 1: ui->toolButton_2->hide(); break;
    case 2: ui->toolButton_3->hide(); break;
    case 3: ui->Receive_2->setText(m_messages.receiveText); break;
    case 4:
    case 5:
        ui->Receive_2->setText(m_messages.receiveText);
        ui->toolButton_2->hide();
        ui->toolButton_3->hide();
        receiverUpToDate = false;
        mouseUpToDate = false;
        if (!CheckTimersRunning.load()) {
            // A running check keeps its own state to its end.
            mouseCheckRunning = false;
            receiverCheckRunning = false;
        }
        if (mode == 5) {
            ui->label_5->setText(texts.receiver);
            ui->label_7->setText(texts.mouse);
        }
        break;
    case 6:
        ui->label_5->clear();
        ui->label_7->clear();
        break;
    default: break;
    }
}

// ---- starting the checks -------------------------------------------------------

void FormSetting::on_Receive_clicked()
{
    DongleKind = UpdateRules::CheckKind(CurrentDeviceInfo, FoundDevices);
    if (!receiverUpToDate && !mouseCheckRunning)
        StartCheck(FirmwareKindReceiver);
}

void FormSetting::StartCheck(int type)
{
    if (CheckTimersRunning.load())
        return;  // one check at a time: the steps share one counter
    const bool mouse = type == FirmwareKindMouse;
    CheckTimersRunning = true;
    updateStep = 0;
    m_image.reset();
    m_unreadablePath.clear();
    (mouse ? ui->toolButton_3 : ui->toolButton_2)->hide();
    SetVer(mouse ? 1 : 2);
    OnlinePollEnabled = false;
    (mouse ? mouseCheckRunning : receiverCheckRunning) = true;
    (mouse ? MouseCheckTimer : DongleCheckTimer)->start();
}

void FormSetting::on_Mouse_clicked()
{
    const DeviceAllInfo& current = CurrentDeviceInfo;
    if (current.directMouse != 0
        && (FoundDevices.isEmpty() || FoundDevices.first().directMouse == 0 || FoundDevices.first().mid != current.mid)) {
        PostMsg::GetInstance()->PostProgress(0, 5);
        FinishDialogSession();
        return;
    }
    if (!mouseUpToDate && !receiverCheckRunning)
        StartCheck(FirmwareKindMouse);
    else if (mouseUpToDate)
        ui->Receive_2->setText(m_messages.verNewText);
}

void FormSetting::SlotContinue(int)
{
    ClearBootCounts();
    const auto doneOrNothing = [](int state) { return state == 2 || state == 4; };
    if (MouseUpdateAvailable.load() && doneOrNothing(DongleUpdateState)) {
        userStarted = true;
        on_Mouse_clicked();
    }
    // Not back to the receiver whose check has just ended.
    if (!m_continuingFromReceiver && ReceiverUpdateAvailable.load() && doneOrNothing(MouseUpdateState)) {
        userStarted = true;
        on_Receive_clicked();
    }
}

// ---- the steps ------------------------------------------------------------------

void FormSetting::onDongleCheckTimer()
{
    UpdateCheckStep(updateStep, FirmwareKindReceiver, ui->label_5->text());
}

void FormSetting::onMouseCheckTimer()
{
    UpdateCheckStep(updateStep, FirmwareKindMouse, ui->label_7->text());
}

void FormSetting::RunCurrentStep()
{
    if (receiverCheckRunning)
        onDongleCheckTimer();
    else if (mouseCheckRunning)
        onMouseCheckTimer();
}

FirmwareImageHandle FormSetting::ImageFor(const FirmwareFile& file, bool* unreadable)
{
    *unreadable = false;
    if (m_image && m_image->Path() == file.path)
        return m_image;
    if (m_unreadablePath == file.path) {
        *unreadable = true;
        return {};
    }
    if (!m_imageLoading) {
        m_imageLoading = true;
        LoadFirmwareImageAsync(file.path, this, [this, path = file.path](const FirmwareLoadResult& loaded) {
            m_imageLoading = false;
            if (loaded.image) {
                m_image = loaded.image;
            } else {
                qCWarning(lcPages) << "firmware image not used:" << path << FirmwareImageErrorText(loaded.error);
                m_unreadablePath = path;
            }
            RunCurrentStep();
        });
    }
    return {};
}

void FormSetting::UpdateCheckStep(int step, int type, const QString& versionText)
{
    if (m_imageLoading)
        return;  // the step goes on when its image is there
    switch (step) {
    case 0:
        CheckStep0(type, versionText);
        break;
    case 1:
        CheckStep1(type, versionText);
        break;
    case 2:
        // The state went to running before the start; a refused start has
        // already ended it.
        updateStep = 3;
        break;
    case 3:
        if (stateOf(type) != 1)
            updateStep = 4;
        break;
    case 4:
        EndCheck(type);
        break;
    default: break;
    }
}

void FormSetting::CheckStep0(int type, const QString& versionText)
{
    ConfigSettings* config = ConfigSettings::GetInstance();
    m_modelIndex = CurrentDeviceInfo.driveIndex;
    UpdateCid = config->GetInt(QStringLiteral("Option"), QStringLiteral("CID"));
    UpdateMid = config->ModelInt(m_modelIndex, QStringLiteral("MID"));
    bool found = false;
    bool damaged = false;
    if (type == FirmwareKindReceiver) {
        receiverPaths.clear();
        const QString key = ConfigSettings::ReceiverFirmwareKeyOfRate(DongleKind);
        const QString name = key.isEmpty() ? QString() : ModelKey(key);
        const std::optional<FirmwareFile> file = !key.isEmpty() && (!name.isEmpty() || DongleKind == 1)
                                                     ? Lookup(type, QString(), name, UpdateCid, &damaged)
                                                     : std::nullopt;
        if (file) {
            bool unreadable = false;
            const FirmwareImageHandle image = ImageFor(*file, &unreadable);
            if (!image && !unreadable)
                return;  // again when it has been read
            found = image != nullptr;
            damaged = unreadable;
            int* bootCount = BootCount(DongleKind);
            if (image && bootCount)
                *bootCount = qMax(0, FirmwareBootDeviceCount(image));
        }
        receiverPaths = UpdateRules::ReceiverPaths(CurrentDeviceInfo, FoundDevices);
    } else {
        found = Lookup(type, versionText, ModelKey(QStringLiteral("MM")), UpdateCid, &damaged).has_value();
    }
    if (damaged)
        ImageDamaged(type);  // not "up to date": the image is there, and the load refuses it
    else if (!found && DongleKind != 0)
        NothingToDo(type);
    else
        updateStep = 1;
}

void FormSetting::CheckStep1(int type, const QString& versionText)
{
    int candidates = 0;
    if (type == FirmwareKindReceiver) {
        candidates = bootCountDM + bootCountD2M + bootCountD4M + bootCountD8M + receiverPaths.size();
    } else {
        candidates = mouseBootCount + UpdateRules::CabledMice(FoundDevices);
    }
    if (candidates != 1) {
        stateOf(type) = 0;
        if (type == FirmwareKindReceiver)
            ClearDongleFailInfo();
        else
            ClearMouseFailInfo();
        const Message message = candidates > 1 ? Message::SameDevice
                                : type == FirmwareKindReceiver ? Message::NoDevice
                                                               : Message::WiredMode;
        ShowCheckMessage(type, message);
        updateStep = 4;
        return;
    }
    std::optional<FirmwareFile> file;
    bool damaged = false;
    if (type == FirmwareKindMouse) {
        file = Lookup(type, versionText, ModelKey(QStringLiteral("MM")), UpdateCid, &damaged);
    } else {
        int bootKind = 0;
        for (int kind : {1, 2, 4, 8}) {
            if (bootKind == 0 && *BootCount(kind) == 1)
                bootKind = kind;
        }
        if (bootKind != 0) {
            file = Lookup(type, QString(), ModelKey(ConfigSettings::ReceiverFirmwareKeyOfRate(bootKind)), UpdateCid,
                          &damaged);
        } else if (DongleKind == 4 || DongleKind == 8 || DongleKind == 2) {
            int version = 0;
            const QString text = UsbFinderC_GetSlaveVersion(receiverPaths.first().toLocal8Bit().constData(), &version)
                                     ? VersionText(static_cast<unsigned int>(version) & 0xFFFFu)
                                     : QString();
            file = Lookup(type, text, ModelKey(ConfigSettings::ReceiverFirmwareKeyOfRate(DongleKind)), UpdateCid,
                          &damaged);
        } else {
            file = Lookup(type, versionText, ModelKey(QStringLiteral("DM")), UpdateCid, &damaged);
        }
    }
    if (!file)
        return damaged ? ImageDamaged(type) : NothingToDo(type);
    bool unreadable = false;
    const FirmwareImageHandle image = ImageFor(*file, &unreadable);
    if (!image && !unreadable)
        return;  // again when it has been read
    if (!image)
        return ImageDamaged(type);
    StartUpgradeOf(type, *file);
}

void FormSetting::StartUpgradeOf(int type, const FirmwareFile& file)
{
    UpdateDeviceType = type;
    UpdateCidText = ConfigSettings::GetInstance()->GetValue(QStringLiteral("Option"), QStringLiteral("CID"));
    UpdateMidText = ModelKey(QStringLiteral("MID"));
    // Running before the start: an end event that comes at once is not lost.
    stateOf(type) = 1;
    updateStep = 2;
    if (!StartFirmwareUpgrade(m_image, pageRecord(), &onUpgradeEvent)) {
        qCWarning(lcPages) << "the upgrade with" << file.path << "did not start";
        UpgradeEvent refused;
        refused.kind = UpgradeEvent::Finished;
        refused.refused = true;
        upgradeEnded(refused, m_image);
    }
}

void FormSetting::NothingToDo(int type)
{
    stateOf(type) = 4;
    m_lastReason = m_messages.verNewText;
    if (type == FirmwareKindReceiver) {
        ClearDongleFailInfo();
        receiverUpToDate = true;
    } else {
        ClearMouseFailInfo();
        mouseUpToDate = true;
    }
    updateStep = 4;
}

void FormSetting::ImageDamaged(int type)
{
    m_lastReason = MessageText(Message::FileError);
    stateOf(type) = 0;
    updateStep = 4;
}

void FormSetting::ShowCheckMessage(int type, Message message)
{
    const QString text = MessageText(message);
    m_lastReason = text;
    if (userStarted) {
        ShowNotice(text);
        userStarted = false;
        return;
    }
    (type == FirmwareKindReceiver ? ui->toolButton_2 : ui->toolButton_3)->show();
}

void FormSetting::ClearDongleFailInfo()
{
    ClearFailInfo(FirmwareKindReceiver);
}

void FormSetting::ClearMouseFailInfo()
{
    ClearFailInfo(FirmwareKindMouse);
}

void FormSetting::ClearFailInfo(int type)
{
    const bool mouse = type == FirmwareKindMouse;
    QToolButton* badge = mouse ? ui->toolButton_3 : ui->toolButton_2;
    OnlinePollEnabled = true;
    switch (stateOf(type).load()) {
    case 4:
        badge->hide();
        if (mouse)
            ui->Receive_2->setText(m_messages.verNewText);
        SetReceiveStyle(false);
        break;
    case 2:
        badge->hide();
        (void)RemoveUpdateFailInfo();  // the writer logs a failure
        SetReceiveStyle(false);
        (mouse ? MouseUpdateAvailable : ReceiverUpdateAvailable) = false;
        break;
    case 1:
        badge->hide();
        (void)RemoveUpdateFailInfo();  // the writer logs a failure
        break;
    default: break;
    }
    updateStep = 4;
}

void FormSetting::EndCheck(int type)
{
    if (type == FirmwareKindReceiver) {
        receiverCheckRunning = false;
        ClearDongleFailInfo();
    } else {
        mouseCheckRunning = false;
        ClearMouseFailInfo();
    }
    userStarted = false;
    DongleCheckTimer->stop();
    MouseCheckTimer->stop();
    CheckTimersRunning = false;
    m_image.reset();
    if (type == FirmwareKindReceiver) {
        if (mouseBootCount == 1) {
            userStarted = true;
            on_Mouse_clicked();
        } else {
            m_continuingFromReceiver = true;
            SlotContinue(0);
            m_continuingFromReceiver = false;
        }
    }
    FinishDialogSession();
}

void FormSetting::FinishDialogSession()
{
    // Still going: a check, or an upgrade's end on its way.
    if (!m_dialogSession || CheckTimersRunning.load() || IsUpdating())
        return;
    m_dialogSession = false;
    if (m_dialogEndShown || !UpdateRepairDialog)
        return;
    // Nothing was written: the dialog says why and can be closed.
    UpdateRepairDialog->SetTipText(m_lastReason.isEmpty() ? m_messages.errorText : m_lastReason);
    UpdateRepairDialog->ShowIdleState();
}

// ---- the repair dialog's way in ---------------------------------------------------

void FormSetting::on_Receive_2_clicked()
{
    if (ui->Receive_2->text() == m_messages.verNewText || !UpdateRepairDialog)
        return;
    receiverUpToDate = false;
    UpDateRepair* dialog = UpdateRepairDialog;
    dialog->MoveOver(this, 75, 65);
    dialog->setModal(true);
    dialog->ResetView();
    ChechIsUpDate([this, dialog](bool go) {
        if (go) {
            dialog->ShowReadyState();
            dialog->show();
        } else if (receiverUpToDate) {
            ui->Receive_2->setText(m_messages.verNewText);
        } else {
            dialog->show();
        }
    });
}

void FormSetting::SlotCheckUpdate()
{
    UpDateRepair* dialog = UpdateRepairDialog;
    if (!dialog || dialog->UpgradeBusy() || dialog->ShowsResult() || CheckTimersRunning.load())
        return;
    ChechIsUpDate([dialog](bool go) {
        if (go)
            dialog->ShowReadyState();
    });
}

void FormSetting::on_Start()
{
    if (!UpdateRepairDialog || CheckTimersRunning.load() || IsUpdating())
        return;
    ClearBootCounts();
    m_dialogSession = true;
    m_dialogEndShown = false;
    m_lastReason.clear();
    UpdateRepairDialog->ShowUpdatingState();
    const bool receiverImage = Lookup(FirmwareKindReceiver, ui->label_5->text(), receiverModelName, UpdateCid).has_value();
    if (!receiverImage && mouseBootCount == 1) {
        userStarted = true;
        on_Mouse_clicked();
    } else if (!mouseCheckRunning && !receiverUpToDate) {
        StartCheck(FirmwareKindReceiver);
    } else if (receiverUpToDate) {
        SetReceiveStyle(false);
        SlotContinue(0);
    }
    FinishDialogSession();
}

void FormSetting::StopResume(Message message, std::function<void(bool)> answer)
{
    if (UpdateRepairDialog) {
        UpdateRepairDialog->SetTipText(MessageText(message));
        UpdateRepairDialog->ShowIdleState();
    }
    answer(false);
}

void FormSetting::ChechIsUpDate(std::function<void(bool)> answer)
{
    ConfigSettings* config = ConfigSettings::GetInstance();
    const std::optional<UpdateFailRecord> record = ReadUpdateFailInfo();
    DongleKind = 0;
    mouseBootCount = 0;
    m_modelIndex = CurrentDeviceInfo.driveIndex;
    UpdateCid = config->GetInt(QStringLiteral("Option"), QStringLiteral("CID"));
    const UpdateRules::ResumePlan plan = UpdateRules::PlanResume(record, FoundDevices);
    if (plan.mouseBoot)
        mouseBootCount = 1;
    if (plan.path == UpdateRules::ResumePlan::Stop)
        return StopResume(plan.tip, answer);
    DongleKind = plan.kind;
    if (plan.path == UpdateRules::ResumePlan::Resume)
        return ResumeOneDevice(*record, answer);

    // A receiver and the mouse of its model on the cable.
    receiverModelNameB = ModelKey(ConfigSettings::ReceiverFirmwareKeyOfRate(plan.kind));
    bool receiverDamaged = false, mouseDamaged = false;
    const bool receiverFound =
        Lookup(FirmwareKindReceiver, ui->label_5->text(), receiverModelNameB, UpdateCid, &receiverDamaged).has_value();
    const bool mouseFound =
        Lookup(FirmwareKindMouse, ui->label_7->text(), ModelKey(QStringLiteral("MM")), UpdateCid, &mouseDamaged)
            .has_value();
    MouseUpdateAvailable = mouseFound;
    if (!receiverFound && !mouseFound) {
        if (receiverDamaged || mouseDamaged)
            return StopResume(Message::FileError, answer);
        receiverUpToDate = true;
        return StopResume(Message::VerNew, answer);
    }
    SingleStageUpdate = receiverFound && mouseFound ? 2 : 1;
    answer(true);
}

void FormSetting::ResumeOneDevice(const UpdateFailRecord& record, std::function<void(bool)> answer)
{
    const QString receiverKey = ConfigSettings::ReceiverFirmwareKeyOfRate(record.kind);
    if (!receiverKey.isEmpty())
        receiverModelName = ModelKey(receiverKey);
    const QString mouseName = ModelKey(QStringLiteral("MM"));
    const std::optional<FirmwareFile> failed =
        Lookup(record.type, QString(), record.type == FirmwareKindMouse ? mouseName : receiverModelName, record.cid);
    if (!failed)
        return StopResume(Message::FileError, answer);
    const int type = record.type;
    LoadFirmwareImageAsync(failed->path, this, [this, type, mouseName, answer](const FirmwareLoadResult& loaded) {
        if (!loaded.image)
            return StopResume(Message::FileError, answer);
        const int count = FirmwareBootDeviceCount(loaded.image);
        if (count != 1)
            return StopResume(count <= 0 ? Message::NoDevice : Message::SameDevice, answer);
        // The other device may have an update too: then both, receiver first.
        const bool other = type == FirmwareKindReceiver
                               ? Lookup(FirmwareKindMouse, ui->label_7->text(), mouseName, UpdateCid).has_value()
                               : Lookup(FirmwareKindReceiver, ui->label_5->text(), receiverModelName, UpdateCid).has_value();
        SingleStageUpdate = other ? 2 : 1;
        answer(true);
    });
}

// ---- cable pairing ------------------------------------------------------------------

bool FormSetting::SetDongleIDToMouse()
{
    ReceiverIdRead = false;
    const QList<DeviceAllInfo> found = FoundDevices;
    for (const DeviceAllInfo& e : found) {
        if (e.directMouse != 0)
            continue;
        unsigned char reply[10] = {};
        ReceiverIdRead = UsbFinderC_GetDeviceOnLineWithUsbAddress(e.path.toUtf8().constData(), reply) != 0;
        ReceiverIdBytes.clear();
        if (!ReceiverIdRead)
            continue;
        WriteReceiverIdToCabledMice(UpdateRules::ReceiverIdBytes(reply), DongleKind, found);
    }
    return ReceiverIdRead;
}

void FormSetting::WriteDongleIDToMouse()
{
    if (!ReceiverIdRead)
        return;
    const QByteArray idBytes = ReceiverIdBytes;
    ReceiverIdBytes.clear();
    WriteReceiverIdToCabledMice(idBytes, DongleKind, FoundDevices);
}
