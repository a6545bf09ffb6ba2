#include "Progress.h"
#include "ui_Progress.h"

#include "Globals.h"
#include "LanguageLoader.h"
#include "PostMsg.h"

Progress::Progress(QWidget* parent) : FramelessDialog(QStringLiteral("Progress"), parent), ui(new Ui::Progress)
{
    ui->setupUi(this);
    connect(PostMsg::GetInstance(), &PostMsg::SigCloseProgress, this, &Progress::SlotCloseProgress);
    StyleFrame({ui->AddDelayTimeA, ui->label, ui->CloseButton, {ui->NewHong}});
    ApplyStoredLanguage();
    ui->NewHong->hide();
    ShowPercent(1);
}

Progress::~Progress()
{
    delete ui;
}

QString Progress::StatusText() const
{
    return ui->label->text();
}

int Progress::Value() const
{
    return ui->progressBar_2->value();
}

bool Progress::ConfirmShown() const
{
    return !ui->NewHong->isHidden();
}

void Progress::ShowPercent(int percent)
{
    ui->label->setText(m_updatingText + QStringLiteral(": ") + QString::number(percent) + QLatin1Char('%'));
}

void Progress::ShowResultButton()
{
    ui->NewHong->setShortcut(QKeySequence(Qt::Key_Return));
    ui->NewHong->show();
}

void Progress::SlotProgress(int value, int code)
{
    ui->progressBar_2->setValue(value);
    switch (code) {
    case 0:
        ShowPercent(value);
        break;
    case 1:
        ui->label->setText(m_failText);
        ShowResultButton();
        break;
    case 2:
        ui->label->setText(m_successText);
        ui->progressBar_2->setValue(100);
        ShowResultButton();
        break;
    case 3:
        ui->NewHong->hide();
        break;
    case 4:
        ui->NewHong->hide();
        ShowPercent(0);
        ui->progressBar_2->setValue(0);
        break;
    default:
        break;
    }
}

void Progress::SlotCloseProgress()
{
    if (!CheckTimersRunning.load())
        CloseAtZero();
}

void Progress::CloseAtZero()
{
    close();
    ShowPercent(0);
    ui->progressBar_2->setValue(0);
}

void Progress::Leave()
{
    if (ui->label->text() == m_failText) {
        // A failed update: back to the device list.
        PostMsg::GetInstance()->PostChangeMainDialog(0);
        close();
        return;
    }
    CloseAtZero();
    PostMsg::GetInstance()->PostContinue(0);
}

void Progress::on_CloseButton_clicked()
{
    if (!CheckTimersRunning.load())
        Leave();
}

void Progress::on_NewHong_clicked()
{
    Leave();
}

void Progress::FillLanguageTexts(LanguageTexts& texts)
{
    texts.button(QStringLiteral("Confirm"), ui->NewHong)
        .store(QStringLiteral("UpdateNotMove"), &m_updatingText)
        .store(QStringLiteral("UpDateFail"), &m_failText)
        .store(QStringLiteral("UpDateSuccess"), &m_successText);
}
