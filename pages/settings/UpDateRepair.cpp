#include "UpDateRepair.h"
#include "ui_UpDateRepair.h"

#include "FirmwareFiles.h"
#include "Globals.h"
#include "HIDUsb.h"
#include "LanguageLoader.h"
#include "PostMsg.h"

#include <QMutex>
#include <QMutexLocker>

UpDateRepair* UpdateRepairDialog = nullptr;

namespace {
QMutex& imageMutex()
{
    static QMutex mutex;
    return mutex;
}
// The image the repair writes: owned here, so the library's pointer stays
// valid while an upgrade runs.
QByteArray& repairImage()
{
    static QByteArray image;
    return image;
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
    QByteArray image;
    if (!FindFirmwareImage(FirmwareFolder(), kind, version, name, cid, mid, &image))
        return false;
    QMutexLocker lock(&imageMutex());
    if (!RepairUpgradeRunning)  // never swap the buffer under a running upgrade
        repairImage() = image;
    return true;
}

QByteArray UpDateRepair::RepairImage()
{
    QMutexLocker lock(&imageMutex());
    return repairImage();
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
    QMutexLocker lock(&imageMutex());
    if (repairImage().size() < FirmwareHeaderSize || RepairUpgradeRunning) {
        m_ready = false;
        return;
    }
    RepairUpgradeRunning = true;
    OnlinePollEnabled = false;
    ui->Start->hide();
    ui->CloseButton->setEnabled(false);
    ui->label->setText(m_progressText.isEmpty() ? QStringLiteral("0%") : m_progressText + QStringLiteral(" 0%"));
    m_ready = UsbUpgrade_Start(reinterpret_cast<const unsigned char*>(repairImage().constData()),
                               &UpDateRepair::UpgradeCallback, 10000);
    if (!m_ready) {
        RepairUpgradeRunning = false;
        OnlinePollEnabled = true;
        lock.unlock();
        SlotAutoRepair(1);
    }
}

void UpDateRepair::UpgradeCallback(unsigned char* event)
{
    if (!event || event[0] != 7)
        return;
    if (event[1] == 1) {
        PostMsg::GetInstance()->PostAutoRepairProgress(event[2]);
    } else if (event[1] == 2) {
        const bool ok = event[2] == 1;
        RepairUpgradeRunning = false;
        OnlinePollEnabled = true;
        PostMsg::GetInstance()->PostAutoRepair(ok ? 0 : 1);
        PostMsg::GetInstance()->PostUpDateButton(ok);
    }
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
