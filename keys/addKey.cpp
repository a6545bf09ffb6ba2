#include "addKey.h"

#include "LanguageLoader.h"
#include "VirtualKeyNames.h"
#include "ui_addKey.h"

#include <QKeyEvent>

addKey::addKey(QWidget* parent) : FramelessDialog(QStringLiteral("AddKey"), parent), ui(new Ui::addKey)
{
    ui->setupUi(this);
    setFixedSize(width(), height());
    m_hook.SetHook();
    m_hook.BindKeyHookCallback(this, &addKey::UpdateCapslockTip);
    StyleFrame({ui->addKeyA, ui->label, ui->CloseButton, {ui->NewHong, ui->NewHong_2}});
    ui->lineEdit->setStyleSheet(DialogStyle::LineEditSheet());
    ui->lineEdit->setFocus(Qt::ActiveWindowFocusReason);
    ApplyStoredLanguage();
}

addKey::~addKey()
{
    // Before the widgets go: no key event may reach them any more.
    m_hook.Release();
    delete ui;
}

void addKey::UpdateCapslockTip(int virtualKey, bool down, bool repeated)
{
    Q_UNUSED(down);
    Q_UNUSED(repeated);
    m_result = keys::SingleKeyName(virtualKey);
    ui->lineEdit->setText(m_result);
}

void addKey::on_NewHong_clicked()
{
    m_hook.UnHook();
    if (m_result.isEmpty()) {
        m_accepted = false;
        reject();
        return;
    }
    m_accepted = true;
    accept();
}

void addKey::on_NewHong_2_clicked()
{
    m_accepted = false;
    m_hook.UnHook();
    reject();
}

void addKey::on_CloseButton_clicked()
{
    on_NewHong_2_clicked();
}

void addKey::on_lineEdit_textEdited(const QString&)
{
    // Typed characters land in the field too; it shows the captured key.
    ui->lineEdit->setText(m_result);
}

void addKey::FillLanguageTexts(LanguageTexts& texts)
{
    texts.label(QStringLiteral("label"), ui->label);
    texts.button(QStringLiteral("NewHong"), ui->NewHong);
    texts.button(QStringLiteral("NewHong_2"), ui->NewHong_2);
}

void addKey::keyPressEvent(QKeyEvent* event)
{
    // Escape is a key to capture here, not a way out; F12 likewise.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F12)
        return;
    FramelessDialog::keyPressEvent(event);
}

void addKey::done(int result)
{
    m_hook.UnHook();
    FramelessDialog::done(result);
}
