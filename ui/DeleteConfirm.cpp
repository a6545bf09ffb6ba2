#include "DeleteConfirm.h"

#include "LanguageLoader.h"
#include "ui_DeleteConfirm.h"

DeleteConfirm::DeleteConfirm(QWidget* parent)
    : FramelessDialog(QStringLiteral("DeleteConfirm"), parent), ui(new Ui::DeleteConfirm)
{
    ui->setupUi(this);
    StyleFrame({ui->DeleteConfirmA, ui->label, ui->CloseButton, {ui->NewHong}});
    ApplyStoredLanguage();
}

DeleteConfirm::~DeleteConfirm()
{
    delete ui;
}

void DeleteConfirm::on_NewHong_clicked()
{
    m_accepted = true;
    close();
}

void DeleteConfirm::on_CloseButton_clicked()
{
    m_accepted = false;
    close();
}

void DeleteConfirm::FillLanguageTexts(LanguageTexts& texts)
{
    texts.label(QStringLiteral("label"), ui->label);
    texts.button(QStringLiteral("NewHong"), ui->NewHong);
}
