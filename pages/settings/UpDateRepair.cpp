#include "UpDateRepair.h"
#include "ui_UpDateRepair.h"

#include "ColorText.h"
#include "ConfigSettings.h"
#include "DeviceChoreography.h"
#include "DeviceDiscovery.h"
#include "FirmwareUpdate.h"
#include "Globals.h"
#include "LanguageLoader.h"
#include "LinkSupport.h"
#include "Logging.h"
#include "PostMsg.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPointer>

#include <atomic>
#include <utility>

UpDateRepair* UpdateRepairDialog = nullptr;

using UpdateRules::Message;

namespace {

// ---- the repair run, shared by every instance ----------------------------
// Set on the GUI thread before a stage starts; the library's thread reads
// the progress flag and the stage's own copy of stage and stage count.
struct RepairRun {
    QString mouseImageName;  // Drive<N>/MM of the record's model
    int dongleKind = 0;      // the record's receiver kind (0 none)
    int cid = 0;             // the record's maker id
    int mid = 0;             // the model's MID
    int target = 0;          // 0 the receiver failed, 1 the mouse
    int stageCount = 1;      // 2 when both images exist
};
RepairRun& run()
{
    static RepairRun r;
    return r;
}
std::atomic<int> RepairStage{0};  // 0 receiver image, 1 mouse image
std::atomic<bool> RepairProgressActive{false};

// The image named name (a model without one: none) for the run's maker and model.
std::optional<FirmwareFile> runImage(quint8 kind, const QString& name)
{
    if (name.isEmpty())
        return std::nullopt;
    const RepairRun& r = run();
    return ::FindFirmwareFile(FirmwareFolder(), kind, QString(), name, quint8(r.cid), quint8(r.mid));
}

std::optional<FirmwareFile>& repairFile()
{
    static std::optional<FirmwareFile> file;
    return file;
}

// Receiver address bytes of the last cable pairing query.
std::atomic<unsigned char> CableIdAvailable{0};
QByteArray& DongleAddressBytes()
{
    static QByteArray bytes;
    return bytes;
}

void endRun()
{
    RepairProgressActive = false;
    RepairUpgradeRunning = false;
    OnlinePollEnabled = true;
}

void repairSucceeded()
{
    PostMsg* hub = PostMsg::GetInstance();
    hub->PostAutoRepair(0);
    hub->PostUpDateButton(true);
    hub->PostProgress(0, 2);
    endRun();
}

void startRepairStage(const FirmwareFile& file, int stage, const FirmwareImageHandle& read = nullptr);

// The failed-update record of a stage (0 the receiver, 1 the mouse).
UpdateFailRecord stageRecord(int stage)
{
    const RepairRun& r = run();
    return {stage != 0 ? FirmwareKindMouse : FirmwareKindReceiver, r.dongleKind, r.cid, r.mid};
}

// The end of a stage, on the GUI thread (the failed-update record is the
// upgrade's own business).
void repairStageEnded(bool success, int stage)
{
    PostMsg* hub = PostMsg::GetInstance();
    RepairProgressActive = false;
    const RepairRun& r = run();
    if (!success) {
        hub->PostAutoRepair(1);
        // The list offers the repair while a record is there.
        hub->PostUpDateButton(!ReadUpdateFailInfo().has_value());
        hub->PostProgress(0, 6);
        endRun();
        return;
    }
    if (stage != 0) {
        repairSucceeded();
        return;
    }
    // The receiver is done: the mouse follows when its image and the mouse
    // are there.
    RepairStage = 1;
    const std::optional<FirmwareFile> mouse = runImage(FirmwareKindMouse, r.mouseImageName);
    bool partner = r.target == 1;
    for (const DeviceAllInfo& e : DeviceList)
        partner = partner || (e.directMouse != 0 && e.mid == r.mid);
    if (mouse && partner) {
        repairFile() = mouse;
        startRepairStage(*mouse, 1);
        return;
    }
    if (r.target == 0) {
        // The device the repair was for is repaired.
        repairSucceeded();
        return;
    }
    hub->PostAutoRepair(1);
    hub->PostUpDateButton(true);
    hub->PostProgress(0, 5);
    endRun();
}

// Writes the image read from path as stage.
void writeRepairStage(const FirmwareLoadResult& loaded, const QString& path, int stage)
{
    if (!loaded.image) {
        // Damaged: nothing reached the device, and trying again cannot help.
        qCWarning(lcPages) << "repair not started:" << path << FirmwareImageErrorText(loaded.error);
        PostMsg::GetInstance()->PostAutoRepair(RepairImageDamaged);
        endRun();
        return;
    }
    const int stageCount = run().stageCount;
    const bool started = StartFirmwareUpgrade(
        loaded.image, stageRecord(stage), [stage, stageCount](const UpgradeEvent& event, const FirmwareImageHandle&) {
            // A library thread: the progress value only, the rest on the GUI thread.
            if (event.kind == UpgradeEvent::Progress) {
                RepairProgressActive = true;
                PostMsg::GetInstance()->PostAutoRepairProgress(UpgradeProgressValue(event.percent, stage, stageCount));
                return;
            }
            const bool success = event.success;
            RunOnGuiThreadLater([success, stage] { repairStageEnded(success, stage); });
        });
    if (!started)
        repairStageEnded(false, stage);  // the library's own end event for it is dropped
}

// Writes the image of file as stage; read: its image already read whole
// (null: it is read first, off the GUI thread).
void startRepairStage(const FirmwareFile& file, int stage, const FirmwareImageHandle& read)
{
    RepairStage = stage;
    if (read)
        return writeRepairStage({read, FirmwareImageError::None}, file.path, stage);
    LoadFirmwareImageAsync(file, qApp, [stage, path = file.path](const FirmwareLoadResult& loaded) {
        writeRepairStage(loaded, path, stage);
    });
}

}  // namespace

// ---- the dialog ---------------------------------------------------------------

UpDateRepair::UpDateRepair(QWidget* parent)
    : FramelessDialog(QStringLiteral("AutoRepair"), parent), ui(new Ui::UpDateRepair)
{
    ui->setupUi(this);
    ui->NewHong->hide();
    ui->progressBar_2->hide();
    ui->NewHong_2->hide();
    ui->ToolText_2->hide();
    const QString folder = PictureFolder();
    StyleFrame({nullptr, nullptr, ui->CloseButton, {}});
    ui->ToolText->setStyleSheet(QStringLiteral("#ToolText{color: rgb(") + OptionColorText(QStringLiteral("LabelColor"))
                                + QStringLiteral(";);background-color:rgba(0,0,0,0);}"));
    ui->ToolText_2->setStyleSheet(QStringLiteral("#ToolText_2{color: rgb(255,0,0);background-color:rgba(0,0,0,0);}"));
    const QString button =
        QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;color: rgb(")
        + OptionColorText(QStringLiteral("ButtonColor")) + QStringLiteral(";);border-image: url(") + folder
        + QStringLiteral("ok_nr.png);}QToolButton:hover{border-image: url(") + folder + QStringLiteral("ok_enter.png); }");
    ui->NewHong->setStyleSheet(button);
    ui->NewHong_2->setStyleSheet(button);
    ui->AutoRepair->setStyleSheet(QStringLiteral("#AutoRepair{border:0px;background-position:center;"
                                                 "background-repeat:no-repeat;border-image: url(")
                                  + folder + QStringLiteral("BackGround.png);}"));
    PostMsg* hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigAutoRepair, this, &UpDateRepair::SlotAutoRepair);
    connect(hub, &PostMsg::SigAutoRepairProgress, this, &UpDateRepair::SlotAutoRepairProgress);
    connect(hub, &PostMsg::SigProgress, this, &UpDateRepair::SlotProgress);
    connect(hub, &PostMsg::SigRepairCheckUpdate, this, &UpDateRepair::SlotRepairCheckUpdate);
    ApplyStoredLanguage();
    SetShortcuts();
}

UpDateRepair::~UpDateRepair()
{
    if (UpdateRepairDialog == this || isVisible())
        RepairDialogShown = false;
    if (UpdateRepairDialog == this)
        UpdateRepairDialog = nullptr;
    delete ui;
}

void UpDateRepair::showEvent(QShowEvent* event)
{
    if (UpdateRepairDialog == this)
        RepairDialogShown = true;
    FramelessDialog::showEvent(event);
}

void UpDateRepair::hideEvent(QHideEvent* event)
{
    if (UpdateRepairDialog == this)
        RepairDialogShown = false;
    FramelessDialog::hideEvent(event);
}

void UpDateRepair::closeEvent(QCloseEvent* event)
{
    // The window manager's close follows the buttons' guard.
    if (UpgradeBusy()) {
        event->ignore();
        return;
    }
    FramelessDialog::closeEvent(event);
}

void UpDateRepair::reject()
{
    if (!UpgradeBusy())
        FramelessDialog::reject();
}

bool UpDateRepair::UpgradeBusy() const
{
    return m_updating || RepairProgressActive.load() || RepairUpgradeRunning.load() || FirmwareUpgradeRunning();
}

bool UpDateRepair::ShowsResult() const
{
    return !m_updating && !ui->progressBar_2->isHidden();
}

bool UpDateRepair::FindFirmwareFile(quint8 kind, const QString& version, const QString& name, quint8 cid, quint8 mid)
{
    const std::optional<FirmwareFile> found = ::FindFirmwareFile(FirmwareFolder(), kind, version, name, cid, mid);
    if (!found)
        return false;
    repairFile() = found;
    return true;
}

std::optional<FirmwareFile> UpDateRepair::RepairFile()
{
    return repairFile();
}

// ---- views ------------------------------------------------------------------

void UpDateRepair::SetShortcuts()
{
    ui->NewHong_2->setShortcut(QKeySequence(Qt::Key_Return));
    ui->NewHong->setShortcut(QKeySequence(Qt::Key_Escape));
}

// Nothing running: Start and Cancel, or Confirm (which only closes).
void UpDateRepair::ShowButtons(bool confirm)
{
    ui->ToolText_2->show();
    ui->NewHong_2->setText(confirm ? m_confirmText : m_startText);
    ui->NewHong_2->show();
    if (!confirm)
        ui->NewHong->setText(m_cancelText);
    ui->NewHong->show();
    ui->NewHong->setEnabled(true);
    ui->CloseButton->show();
    ui->CloseButton->setEnabled(true);
    m_confirm = confirm;
    m_updating = false;
    SetShortcuts();
}

void UpDateRepair::ResetView()
{
    if (UpgradeBusy())
        return;  // the run's own views stay
    ui->ToolText_2->clear();
    ui->progressBar_2->setValue(0);
    ui->progressBar_2->hide();
    ShowButtons(false);
}

void UpDateRepair::ShowReadyState()
{
    ui->ToolText_2->setText(m_readyText);
    ui->progressBar_2->hide();
    ShowButtons(false);
}

void UpDateRepair::ShowIdleState()
{
    ui->progressBar_2->hide();
    ShowButtons(true);
}

void UpDateRepair::ShowUpdatingState()
{
    ui->ToolText_2->setText(m_updatingText);
    ui->ToolText_2->show();
    ui->NewHong_2->hide();
    ui->NewHong->hide();
    ui->NewHong->setEnabled(false);
    ui->CloseButton->show();
    ui->CloseButton->setEnabled(false);
    ui->progressBar_2->setValue(0);
    ui->progressBar_2->show();
    m_updating = true;
    SetShortcuts();
}

void UpDateRepair::SetTipText(const QString& text)
{
    ui->ToolText_2->setText(text);
}

void UpDateRepair::HideUpgradeControls()
{
    ui->NewHong->hide();
    ui->progressBar_2->hide();
    SetShortcuts();
}

QString UpDateRepair::TipText() const
{
    return ui->ToolText_2->text();
}

QString UpDateRepair::MessageText(Message message) const
{
    switch (message) {
    case Message::NoDevice: return m_noDeviceText;
    case Message::SameDevice: return m_sameDeviceText;
    case Message::NoReceive: return m_noReceiveText;
    case Message::NoUsb: return m_noUsbText;
    case Message::Error: return m_errorText;
    case Message::MultiDongle: return m_multiDongleText;
    case Message::MultiMouse: return m_multiMouseText;
    case Message::FileError: return m_fileErrorText;
    case Message::WiredMode: return WiredModeText;
    case Message::VerNew:
    case Message::None: break;
    }
    return QString();
}

void UpDateRepair::ShowTip(Message message)
{
    SetTipText(MessageText(message));
    ShowIdleState();
}

// The end of an update: its text, Confirm closes, nothing disabled.
void UpDateRepair::ShowEnd(const QString& tip)
{
    ui->ToolText_2->setText(tip);
    ShowButtons(true);
}

void UpDateRepair::SlotAutoRepair(int result)
{
    ShowEnd(result == RepairImageDamaged ? m_fileErrorText : result != 0 ? m_failText : m_successText);
}

void UpDateRepair::SlotAutoRepairProgress(int percent)
{
    ui->progressBar_2->setValue(qBound(0, percent, 100));
}

void UpDateRepair::SlotProgress(int value, int code)
{
    switch (code) {
    case 0:
        ui->progressBar_2->setValue(qBound(0, value, 100));
        return;
    case 1:
    case 6:
        ShowEnd(m_failText);
        return;
    case 2:
        ui->progressBar_2->setValue(100);
        ShowEnd(m_successText);
        return;
    case 3:
        ui->NewHong->hide();
        break;
    case 4:
        ui->NewHong->hide();
        ui->progressBar_2->setValue(0);
        break;
    case 5:
        ui->progressBar_2->setValue(50);
        ShowEnd(m_failText);
        return;
    default:
        return;
    }
    SetShortcuts();
}

// ---- buttons ------------------------------------------------------------------

void UpDateRepair::CloseAfterRun()
{
    if (UpgradeBusy())
        return;
    if (ui->progressBar_2->isVisible()) {
        if (ui->progressBar_2->value() >= 100) {
            PostMsg::GetInstance()->PostSetNewVer();
        } else if (OnMainPage.load() != 0) {
            // An update that failed: back to the list, which offers the repair.
            PostMsg::GetInstance()->PostChangeMainDialog(0);
        }
    }
    close();
}

void UpDateRepair::on_CloseButton_clicked()
{
    CloseAfterRun();
}

void UpDateRepair::on_NewHong_clicked()
{
    CloseAfterRun();
}

void UpDateRepair::on_NewHong_2_clicked()
{
    if (UpgradeBusy())
        return;
    if (ui->progressBar_2->isVisible() || m_confirm) {
        CloseAfterRun();
        return;
    }
    if (OnMainPage.load() != 0)
        PostMsg::GetInstance()->PostUpdateStart();  // the settings page runs the update
    else
        StartUpgrade();
}

// ---- the repair check and start ---------------------------------------------------

std::optional<UpdateFailRecord> UpDateRepair::CheckTarget(bool* fromRecord) const
{
    *fromRecord = true;
    if (autoRepair && DeviceList.size() == 1 && DeviceList.first().directMouse == 0) {
        // The shortcut's update of the one listed receiver.
        const DeviceAllInfo& receiver = DeviceList.first();
        const std::optional<ModelRecord> model = ModelRecordOf(receiver.driveIndex);
        if (IsReceiverKind(receiver.type) && receiver.driveIndex >= 0) {
            *fromRecord = false;
            return UpdateFailRecord{FirmwareKindReceiver, ConfigSettings::RateClassOfType(receiver.type, 0),
                                    VendorCid(), model ? model->mid : 0};
        }
    }
    return ReadUpdateFailInfo();
}

void UpDateRepair::SlotRepairCheckUpdate()
{
    if (UpgradeBusy() || ShowsResult())
        return;
    CheckRepair([this](bool go) {
        if (go)
            ShowReadyState();
    });
}

void UpDateRepair::CheckRepair(std::function<void(bool)> answer)
{
    auto reply = [answer](bool go) {
        if (answer)
            answer(go);
    };
    if (UpgradeBusy())
        return reply(false);
    bool fromRecord = true;
    const std::optional<UpdateFailRecord> record = CheckTarget(&fromRecord);
    if (!record)
        return reply(false);
    RepairRun& r = run();
    r.dongleKind = 0;
    deviceType = record->type;
    ready = false;
    m_checkedImage.reset();
    m_checkedFile.clear();
    const UpdateRules::RepairPlan plan = UpdateRules::PlanRepair(*record, DeviceList, DeviceListB,
                                                                 DeviceDiscovery::CurrentPidLists(), !autoRepair);
    if (plan.tip != Message::None) {
        ShowTip(plan.tip);
        return reply(false);
    }
    RepairStage = 0;

    // The model of the record, looked up anew each time.
    const std::optional<ModelRecord> model = ModelOfIdentity(record->cid, record->mid);
    m_driveIndex = model ? model->driveIndex : -1;
    QString receiverImageName;
    r.mouseImageName.clear();
    if (model) {
        r.mouseImageName = model->mouseFirmware;
        if (IsReceiverRateClass(record->kind)) {
            r.dongleKind = record->kind;
            receiverImageName = model->ReceiverFirmwareOfRate(record->kind);
        }
    }
    r.cid = record->cid;
    r.mid = model ? model->mid : 0;
    m_mouseFile = runImage(FirmwareKindMouse, r.mouseImageName);
    m_receiverFile = runImage(FirmwareKindReceiver, receiverImageName);
    r.stageCount = m_mouseFile && m_receiverFile && fromRecord ? 2 : 1;
    r.target = record->type == FirmwareKindReceiver ? 0 : 1;
    const std::optional<FirmwareFile> failed = r.target == 0 ? m_receiverFile : m_mouseFile;
    if (!failed) {
        // No image: nothing reaches the library.
        ShowTip(Message::FileError);
        return reply(false);
    }
    repairFile() = failed;
    // The boot devices that take the image: the library reads it whole.
    const int listed = plan.receiversByPid;
    LoadFirmwareImageAsync(*failed, this, [this, listed, reply, path = failed->path](const FirmwareLoadResult& loaded) {
        if (UpgradeBusy())
            return reply(false);
        if (!loaded.image) {
            qCWarning(lcPages) << "no repair:" << repairFile()->path << FirmwareImageErrorText(loaded.error);
            ShowTip(Message::FileError);
            return reply(false);
        }
        const Message decision = UpdateRules::DecideRepair(true, FirmwareBootDeviceCount(loaded.image) + listed);
        if (decision != Message::None) {
            ShowTip(decision);
            return reply(false);
        }
        ready = true;
        m_checkedImage = loaded.image;  // the start writes it when its first stage is this file
        m_checkedFile = path;
        reply(true);
    });
}

void UpDateRepair::StartUpgrade()
{
    if (!ready || UpgradeBusy())
        return;
    // The receiver image first whenever there is one: the files the check found.
    const int stage = m_receiverFile ? 0 : 1;
    const std::optional<FirmwareFile> file = stage == 0 ? m_receiverFile : m_mouseFile;
    if (!file) {
        ready = false;
        ShowTip(Message::FileError);
        return;
    }
    repairFile() = file;
    RepairUpgradeRunning = true;
    OnlinePollEnabled = false;
    ShowUpdatingState();
    startRepairStage(*file, stage, file->path == m_checkedFile ? std::exchange(m_checkedImage, nullptr) : nullptr);
}

void UpDateRepair::StartAutoRepair(int)
{
    autoRepair = true;
    ResetView();
    CheckRepair([this](bool go) {
        if (!go)
            return;
        ShowReadyState();
        StartUpgrade();
    });
}

// ---- language -------------------------------------------------------------------

void UpDateRepair::FillLanguageTexts(LanguageTexts& texts)
{
    texts.label(QStringLiteral("ToolText"), ui->ToolText);
    texts.store(QStringLiteral("NewHong_2"), &m_startText)
        .store(QStringLiteral("UpdateNotMove"), &m_updatingText)
        .store(QStringLiteral("NoDevice"), &m_noDeviceText)
        .store(QStringLiteral("SameDevice"), &m_sameDeviceText)
        .store(QStringLiteral("UpdateFail"), &m_failText)
        .store(QStringLiteral("UpdateSuccess"), &m_successText)
        .store(QStringLiteral("Cancel"), &m_cancelText)
        .store(QStringLiteral("Confirm"), &m_confirmText)
        .store(QStringLiteral("NoRecieve"), &m_noReceiveText)
        .store(QStringLiteral("NoUSB"), &m_noUsbText)
        .store(QStringLiteral("Error"), &m_errorText)
        .store(QStringLiteral("Error2"), &m_error2Text)
        .store(QStringLiteral("FileError"), &m_fileErrorText)
        .store(QStringLiteral("MultiDongle"), &m_multiDongleText)
        .store(QStringLiteral("MultiMouse"), &m_multiMouseText)
        .store(QStringLiteral("ReadyUpdate"), &m_readyText);
}

// ---- cable pairing ----------------------------------------------------------------

void WriteReceiverIdToCabledMice(const QByteArray& idBytes, int kind, const QList<DeviceAllInfo>& devices)
{
    const QByteArray record = UpdateRules::ReceiverIdRecord(idBytes, kind);
    for (const DeviceAllInfo& e : devices) {
        if (e.directMouse != 0)
            (void)WriteReceiverIdToMouse(e.path, record);  // logged by the writer; the other mice are still written
    }
}

unsigned char SetDongleIDToMouseByCable()
{
    CableIdAvailable = 0;
    const QList<DeviceAllInfo> listed = DeviceListB;
    for (const DeviceAllInfo& e : listed) {
        if (e.directMouse != 0)
            continue;
        unsigned char reply[10] = {};
        CableIdAvailable = ReadReceiverAddress(e.path, reply);
        if (CableIdAvailable.load() == 0)
            continue;
        DongleAddressBytes() = UpdateRules::ReceiverIdBytes(reply);
        WriteReceiverIdToCabledMice(DongleAddressBytes(), run().dongleKind, listed);
        DongleAddressBytes().clear();
    }
    return CableIdAvailable.load();
}

void WriteDongleIDToMouse()
{
    if (CableIdAvailable.load() == 0)
        return;
    const QByteArray idBytes = DongleAddressBytes();
    DongleAddressBytes().clear();
    WriteReceiverIdToCabledMice(idBytes, run().dongleKind, DeviceListB);
}
