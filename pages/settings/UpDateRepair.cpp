#include "UpDateRepair.h"
#include "ui_UpDateRepair.h"

#include "FirmwareUpdate.h"
#include "Globals.h"
#include "HIDUsb.h"
#include "LanguageLoader.h"
#include "Logging.h"
#include "PostMsg.h"


UpDateRepair* UpdateRepairDialog = nullptr;

namespace {
// The image file the repair writes, as the last lookup found it (GUI thread).
std::optional<FirmwareFile>& repairFile()
{
    static std::optional<FirmwareFile> file;
    return file;
}
}  // namespace

UpDateRepair::UpDateRepair(QWidget* parent)
    : FramelessDialog(QStringLiteral("AutoRepair"), parent), ui(new Ui::UpDateRepair)
{
    ui->setupUi(this);
    m_defaultText = ui->label->text();
    StyleFrame({ui->RepairA, ui->label, ui->CloseButton, {ui->Start}});
    connect(PostMsg::GetInstance(), &PostMsg::SigAutoRepair, this, &UpDateRepair::SlotAutoRepair);
    connect(PostMsg::GetInstance(), &PostMsg::SigAutoRepairProgress, this, &UpDateRepair::SlotAutoRepairProgress);
    ApplyStoredLanguage();
}

UpDateRepair::~UpDateRepair()
{
    if (m_loading) {
        // Gone before its image was read: nothing was started.
        RepairUpgradeRunning = false;
        OnlinePollEnabled = true;
    }
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

QString UpDateRepair::TipText() const
{
    return ui->label->text();
}

void UpDateRepair::ResetView()
{
    ui->label->setText(m_defaultText);
    ui->Start->show();
    ui->CloseButton->setEnabled(true);
}

void UpDateRepair::StartAutoRepair(int)
{
    m_autoRepair = true;
    StartUpgrade();
}

void UpDateRepair::on_Start_clicked()
{
    StartUpgrade();
}

void UpDateRepair::StartUpgrade()
{
    if (!repairFile() || RepairUpgradeRunning) {
        m_ready = false;
        return;
    }
    RepairUpgradeRunning = true;
    OnlinePollEnabled = false;
    ui->Start->hide();
    ui->CloseButton->setEnabled(false);
    ui->label->setText(m_progressText.isEmpty() ? QStringLiteral("0%") : m_progressText + QStringLiteral(" 0%"));
    // Read whole on a thread of its own; written when it is whole.
    m_loading = true;
    LoadFirmwareImageAsync(repairFile()->path, this,
                           [this](const FirmwareLoadResult& loaded) { WriteLoadedImage(loaded); });
}

void UpDateRepair::WriteLoadedImage(const FirmwareLoadResult& loaded)
{
    m_loading = false;
    if (!loaded.image) {
        qCWarning(lcPages) << "repair not started:" << repairFile()->path << FirmwareImageErrorText(loaded.error);
        EndWithoutUpgrade();
        return;
    }
    m_ready = StartFirmwareUpgrade(loaded.image, [](const UpgradeEvent& event, const FirmwareImageHandle&) {
        PostMsg* hub = PostMsg::GetInstance();
        if (event.kind == UpgradeEvent::Progress) {
            hub->PostAutoRepairProgress(event.percent);
            return;
        }
        RepairUpgradeRunning = false;
        OnlinePollEnabled = true;
        hub->PostAutoRepair(event.success ? 0 : 1);
        hub->PostUpDateButton(event.success);
    });
    if (!m_ready)
        EndWithoutUpgrade();
}

void UpDateRepair::EndWithoutUpgrade()
{
    m_ready = false;
    RepairUpgradeRunning = false;
    OnlinePollEnabled = true;
    SlotAutoRepair(1);
}

void UpDateRepair::SlotAutoRepairProgress(int percent)
{
    ui->label->setText((m_progressText.isEmpty() ? QString() : m_progressText + QLatin1Char(' '))
                       + QString::number(qBound(0, percent, 100)) + QLatin1Char('%'));
}

void UpDateRepair::SlotAutoRepair(int failed)
{
    ui->label->setText(failed != 0 ? m_failText : m_successText);
    ui->CloseButton->setEnabled(true);
}

void UpDateRepair::on_CloseButton_clicked()
{
    if (RepairUpgradeRunning)
        return;  // an upgrade must not be left half-way
    close();
}

void UpDateRepair::FillLanguageTexts(LanguageTexts& texts)
{
    texts.on(QStringLiteral("ReadyUpdate"), [this](const QString& t) {
        m_defaultText = t;
        if (!RepairUpgradeRunning)
            ui->label->setText(t);
    });
    texts.button(QStringLiteral("NewHong_2"), ui->Start);
    texts.store(QStringLiteral("UpdateSuccess"), &m_successText);
    texts.store(QStringLiteral("UpdateFail"), &m_failText);
    texts.store(QStringLiteral("UpdateNotMove"), &m_progressText);
}
