#include "QuestionDialog.h"

#include "LanguageLoader.h"
#include "NameRule.h"
#include "SafeFileName.h"
#include "ui_QuestionDialog.h"

QuestionDialog::QuestionDialog(QWidget* parent)
    : FramelessDialog(QStringLiteral("Question"), parent), ui(new Ui::QuestionDialog)
{
    ui->setupUi(this);
    setFixedSize(width(), height());
    connect(ui->NewHong_2, &QAbstractButton::clicked, this, &QuestionDialog::WindowClosedLan);
    StyleFrame({ui->Question, ui->label, ui->CloseButton, {ui->NewHong, ui->NewHong_2}});
    ui->lineEdit->setStyleSheet(DialogStyle::LineEditSheet());
    ui->lineEdit->setFocus(Qt::ActiveWindowFocusReason);
    ApplyStoredLanguage();
}

QuestionDialog::~QuestionDialog()
{
    delete ui;
}

void QuestionDialog::SetLabelText(int which)
{
    ui->label->setText(which == 0 ? m_firstPrompt : m_secondPrompt);
}

void QuestionDialog::on_lineEdit_textEdited(const QString& text)
{
    const NameRuleResult rule = ApplyMacroNameRule(text, ui->lineEdit->cursorPosition());
    if (!rule.changed)
        return;
    ui->lineEdit->setText(rule.text);
    ui->lineEdit->setCursorPosition(rule.cursor);
}

void QuestionDialog::on_NewHong_clicked()
{
    // The name becomes a file name: a name that cannot be one (".", "..",
    // a path, too long) is answered like Cancel.
    const QString name = ui->lineEdit->text();
    m_result = IsAcceptableMacroName(name) && IsSafeFileName(name) ? name : QString();
    close();
}

void QuestionDialog::on_CloseButton_clicked()
{
    m_result.clear();
    close();
}

void QuestionDialog::WindowClosedLan()
{
    m_result.clear();
    close();
}

void QuestionDialog::FillLanguageTexts(LanguageTexts& texts)
{
    texts.store(QStringLiteral("label"), &m_firstPrompt);
    texts.store(QStringLiteral("label_2"), &m_secondPrompt);
    texts.button(QStringLiteral("NewHong"), ui->NewHong);
    texts.button(QStringLiteral("NewHong_2"), ui->NewHong_2);
}
