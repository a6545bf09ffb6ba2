#include "RePair.h"
#include "ui_RePair.h"

#include "LanguageLoader.h"

RePair::RePair(QWidget* parent) : FramelessDialog(QStringLiteral("RePair"), parent), ui(new Ui::RePair)
{
    ui->setupUi(this);
    StyleFrame({ui->RePairA, ui->label, ui->CloseButton, {ui->OK, ui->Cancel}});
    ApplyStoredLanguage();
}

RePair::~RePair()
{
    delete ui;
}

void RePair::on_OK_clicked()
{
    result = true;
    close();
}

void RePair::on_Cancel_clicked()
{
    result = false;
    close();
}

void RePair::on_CloseButton_clicked()
{
    result = false;
    close();
}

void RePair::FillLanguageTexts(LanguageTexts& texts)
{
    texts.label(QStringLiteral("label"), ui->label);
    texts.button(QStringLiteral("OK"), ui->OK);
    texts.button(QStringLiteral("Cancel"), ui->Cancel);
}
