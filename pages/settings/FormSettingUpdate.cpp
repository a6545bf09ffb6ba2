// The settings page's side of the firmware update: version texts and the
// update button, the step timers and what a check shows (FirmwareCheck holds
// the steps, their state and decisions), the repair dialog's way in and the
// end of its session, and cable pairing.
#include "FormSetting.h"
#include "ui_FormSetting.h"

#include "ConfigSettings.h"
#include "FirmwareUpdate.h"
#include "Globals.h"
#include "PostMsg.h"
#include "UpDateRepair.h"
#include "UpDateWarning.h"

#include <QFileInfo>
#include <QTimer>

using UpdateRules::Message;

namespace {

std::optional<FirmwareFile>& updateFile()
{
    static std::optional<FirmwareFile> file;
    return file;
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

int FormSetting::UpdateState(int type)
{
    return FirmwareCheck::UpgradeState(type);
}

bool FormSetting::IsDongleUpdating()
{
    return FirmwareCheck::Upgrading(FirmwareKindReceiver);
}

bool FormSetting::IsMouseUpdating()
{
    return FirmwareCheck::Upgrading(FirmwareKindMouse);
}

bool FormSetting::IsUpdating()
{
    return FirmwareCheck::Upgrading();
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

// ---- what a check shows ---------------------------------------------------------

QString FormSetting::CheckVersionText(int type) const
{
    return (type == FirmwareKindMouse ? ui->label_7 : ui->label_5)->text();
}

void FormSetting::RunStepTimer(int type)
{
    (type == FirmwareKindMouse ? MouseCheckTimer : DongleCheckTimer)->start();
}

void FormSetting::StopStepTimers()
{
    DongleCheckTimer->stop();
    MouseCheckTimer->stop();
}

void FormSetting::ShowCheckBadge(int type, bool shown)
{
    (type == FirmwareKindMouse ? ui->toolButton_3 : ui->toolButton_2)->setVisible(shown);
}

void FormSetting::ShowUpToDate()
{
    ui->Receive_2->setText(m_messages.verNewText);
}

void FormSetting::ShowUpdateWaiting(bool waiting)
{
    SetReceiveStyle(waiting);
}

void FormSetting::ShowCheckNotice(Message message)
{
    ShowNotice(MessageText(message));
}

void FormSetting::CheckEnded()
{
    FinishDialogSession();
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
        m_check.ForgetResults();
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

// ---- the checks -----------------------------------------------------------------------

void FormSetting::on_Receive_clicked()
{
    m_check.ReceiverClicked();
}

void FormSetting::on_Mouse_clicked()
{
    m_check.MouseClicked();
}

void FormSetting::SlotContinue(int)
{
    m_check.Continue();
}

void FormSetting::onDongleCheckTimer()
{
    m_check.Step(FirmwareKindReceiver);
}

void FormSetting::onMouseCheckTimer()
{
    m_check.Step(FirmwareKindMouse);
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
    const QString reason = MessageText(m_check.LastReason());
    UpdateRepairDialog->SetTipText(reason.isEmpty() ? m_messages.errorText : reason);
    UpdateRepairDialog->ShowIdleState();
}

// ---- the repair dialog's way in ---------------------------------------------------

void FormSetting::on_Receive_2_clicked()
{
    if (ui->Receive_2->text() == m_messages.verNewText || !UpdateRepairDialog)
        return;
    m_check.ForgetReceiverUpToDate();
    UpDateRepair* dialog = UpdateRepairDialog;
    dialog->MoveOver(this, 75, 65);
    dialog->setModal(true);
    dialog->ResetView();
    ChechIsUpDate([this, dialog](bool go) {
        if (go) {
            dialog->ShowReadyState();
            dialog->show();
        } else if (m_check.ReceiverUpToDate()) {
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
    m_dialogSession = true;
    m_dialogEndShown = false;
    UpdateRepairDialog->ShowUpdatingState();
    m_check.StartRequested();
    FinishDialogSession();
}

void FormSetting::ChechIsUpDate(std::function<void(bool)> answer)
{
    m_check.Decide([this, answer](Message tip) {
        if (tip == Message::None)
            return answer(true);
        if (UpdateRepairDialog) {
            UpdateRepairDialog->SetTipText(MessageText(tip));
            UpdateRepairDialog->ShowIdleState();
        }
        answer(false);
    });
}

// ---- cable pairing ------------------------------------------------------------------

bool FormSetting::SetDongleIDToMouse()
{
    m_receiverIdRead = false;
    const QList<DeviceAllInfo> found = FoundDevices;
    for (const DeviceAllInfo& e : found) {
        if (e.directMouse != 0)
            continue;
        const std::optional<QByteArray> id = ReadReceiverId(e.path);
        m_receiverIdRead = id.has_value();
        m_receiverIdBytes.clear();
        if (!id)
            continue;
        WriteReceiverIdToCabledMice(*id, m_check.ReceiverKind(), found);
    }
    return m_receiverIdRead;
}

void FormSetting::WriteDongleIDToMouse()
{
    if (!m_receiverIdRead)
        return;
    const QByteArray idBytes = m_receiverIdBytes;
    m_receiverIdBytes.clear();
    WriteReceiverIdToCabledMice(idBytes, m_check.ReceiverKind(), FoundDevices);
}
