// The two dialogs that ask for numbers: the fire key's interval and count,
// and a macro delay. Their frame, styling and language loading are
// FramelessDialog's.
#include "AddDelayTime.h"
#include "FireKey.h"

#include "LanguageLoader.h"
#include "ui_AddDelayTime.h"
#include "ui_FireKey.h"

#include <QSpinBox>

// ---- FireKey ------------------------------------------------------------------

FireKey::FireKey(QWidget* parent) : FramelessDialog(QStringLiteral("FireKey"), parent), ui(new Ui::FireKey)
{
    ui->setupUi(this);
    setFixedSize(width(), height());
    StyleFrame({ui->FireKeyA, ui->label, ui->CloseButton, {ui->NewHong, ui->NewHong_2}});
    ui->label_2->setStyleSheet(DialogStyle::LabelSheet());
    ui->label_3->setStyleSheet(DialogStyle::LabelSheet());
    // This dialog is larger than the picture: it is stretched, not centred.
    ui->FireKeyA->setStyleSheet(
        QStringLiteral("#FireKeyA{border:0px;background-position:center;background-repeat:no-repeat;border-image: url(")
        + PictureFolder() + QStringLiteral("BackGround.png);}"));
    ui->Count->setStyleSheet(DialogStyle::SpinBoxSheet());
    ui->Time->setStyleSheet(DialogStyle::SpinBoxSheet());
    ApplyStoredLanguage();
}

FireKey::~FireKey()
{
    delete ui;
}

void FireKey::SetInterval(int interval)
{
    ui->Time->setValue(interval);
}

void FireKey::SetCount(int count)
{
    ui->Count->setValue(count);
}

void FireKey::on_NewHong_clicked()
{
    ui->Time->interpretText();
    ui->Count->interpretText();
    m_accepted = true;
    m_interval = ui->Time->value();
    m_count = ui->Count->value();
    close();
}

void FireKey::on_NewHong_2_clicked()
{
    m_accepted = false;
    close();
}

void FireKey::on_CloseButton_clicked()
{
    on_NewHong_2_clicked();
}

void FireKey::FillLanguageTexts(LanguageTexts& texts)
{
    texts.label(QStringLiteral("label"), ui->label);
    texts.label(QStringLiteral("label_2"), ui->label_2);
    texts.label(QStringLiteral("label_3"), ui->label_3);
    texts.button(QStringLiteral("NewHong"), ui->NewHong);
    texts.button(QStringLiteral("NewHong_2"), ui->NewHong_2);
}

// ---- AddDelayTime ----------------------------------------------------------------

AddDelayTime::AddDelayTime(QWidget* parent)
    : FramelessDialog(QStringLiteral("AddDelayTime"), parent), ui(new Ui::AddDelayTime)
{
    ui->setupUi(this);
    setFixedSize(width(), height());
    StyleFrame({ui->AddDelayTimeA, ui->label, ui->CloseButton, {ui->NewHong, ui->NewHong_2}});
    ui->spinBox->setStyleSheet(DialogStyle::SpinBoxSheet());
    ui->spinBox->setFocus(Qt::ActiveWindowFocusReason);
    ApplyStoredLanguage();
}

AddDelayTime::~AddDelayTime()
{
    delete ui;
}

void AddDelayTime::on_NewHong_clicked()
{
    ui->spinBox->interpretText();
    m_accepted = true;
    m_delay = ui->spinBox->value();
    close();
}

void AddDelayTime::on_NewHong_2_clicked()
{
    m_accepted = false;
    close();
}

void AddDelayTime::on_CloseButton_clicked()
{
    on_NewHong_2_clicked();
}

void AddDelayTime::FillLanguageTexts(LanguageTexts& texts)
{
    texts.label(QStringLiteral("label"), ui->label);
    texts.button(QStringLiteral("NewHong"), ui->NewHong);
    texts.button(QStringLiteral("NewHong_2"), ui->NewHong_2);
}
