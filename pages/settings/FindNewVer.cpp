#include "FindNewVer.h"
#include "ui_FindNewVer.h"

#include "LanguageLoader.h"

FindNewVer::FindNewVer(QWidget* parent) : FramelessDialog(QStringLiteral("NewVer"), parent), ui(new Ui::FindNewVer)
{
    ui->setupUi(this);
    StyleFrame({ui->SameMacroA, ui->label, ui->CloseButton, {ui->NewHong}});
    ApplyStoredLanguage();
}

FindNewVer::~FindNewVer()
{
    delete ui;
}

QString FindNewVer::Text() const
{
    return ui->label->text();
}

void FindNewVer::on_NewHong_clicked()
{
    close();
}

void FindNewVer::on_CloseButton_clicked()
{
    close();
}

void FindNewVer::FillLanguageTexts(LanguageTexts& texts)
{
    texts.label(QStringLiteral("label"), ui->label)
        .button(QStringLiteral("NewHong"), ui->NewHong)
        .on(QStringLiteral("NoApear"), [this](const QString& t) { ui->NoApear->setText(t); });
}
