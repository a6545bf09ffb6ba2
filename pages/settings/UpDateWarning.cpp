#include "UpDateWarning.h"
#include "ui_UpDateWarning.h"

#include "LanguageLoader.h"

#include <QKeySequence>

UpDateWarning::UpDateWarning(QWidget* parent)
    : FramelessDialog(QStringLiteral("NewVer"), parent), ui(new Ui::UpDateWarning)
{
    ui->setupUi(this);
    StyleFrame({ui->WarningFrame, ui->label, ui->CloseButton, {ui->NewHong}});
    ApplyStoredLanguage();
    ui->NewHong->setShortcut(QKeySequence(Qt::Key_Return));
}

UpDateWarning::~UpDateWarning()
{
    delete ui;
}

void UpDateWarning::SetText(const QString& text)
{
    ui->label->setText(text);
}

QString UpDateWarning::Text() const
{
    return ui->label->text();
}

void UpDateWarning::on_CloseButton_clicked()
{
    close();
}

void UpDateWarning::on_NewHong_clicked()
{
    close();
}

void UpDateWarning::FillLanguageTexts(LanguageTexts& texts)
{
    // The message always comes from SetText (or the form): only the button
    // reads the section shared with the new-firmware notice.
    texts.button(QStringLiteral("NewHong"), ui->NewHong);
}
