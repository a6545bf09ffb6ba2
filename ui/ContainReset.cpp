#include "ContainReset.h"

#include "LanguageLoader.h"
#include "ui_ContainReset.h"

#include <QKeySequence>

ContainReset::ContainReset(QWidget* parent)
    : FramelessDialog(QStringLiteral("ContainReset"), parent), ui(new Ui::ContainReset)
{
    ui->setupUi(this);
    StyleFrame({ui->ContainResetA, ui->label, ui->CloseButton, {ui->OK, ui->Cancel}});
    ApplyStoredLanguage();
    ui->OK->setShortcut(QKeySequence(Qt::Key_Return));
}

ContainReset::~ContainReset()
{
    delete ui;
}

void ContainReset::SetText(const QString& text)
{
    ui->label->setText(text);
}

void ContainReset::on_OK_clicked()
{
    m_accepted = true;
    close();
}

void ContainReset::on_Cancel_clicked()
{
    m_accepted = false;
    close();
}

void ContainReset::on_CloseButton_clicked()
{
    m_accepted = false;
    close();
}

void ContainReset::FillLanguageTexts(LanguageTexts& texts)
{
    texts.label(QStringLiteral("label"), ui->label);
    texts.button(QStringLiteral("OK"), ui->OK);
    texts.button(QStringLiteral("Cancel"), ui->Cancel);
}
