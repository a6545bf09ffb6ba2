#include "GroupKey.h"

#include "ColorText.h"
#include "GroupMaxThree.h"
#include "LanguageLoader.h"
#include "VirtualKeyNames.h"
#include "ui_GroupKey.h"

#include <QCheckBox>
#include <QKeyEvent>

GroupKey::GroupKey(QWidget* parent)
    : FramelessDialog(QStringLiteral("groupKey"), parent), ui(new Ui::GroupKey), m_clock(keys::SteadyClock())
{
    ui->setupUi(this);
    setFixedSize(width(), height());
    m_hook.SetHook();
    m_hook.BindKeyHookCallback(this, &GroupKey::UpdateCapslockTip);
    ui->lineEdit->setAttribute(Qt::WA_InputMethodEnabled, false);
    ui->lineEdit->setFocus(Qt::ActiveWindowFocusReason);

    StyleFrame({ui->groupKeyA, ui->label, ui->CloseButton, {ui->NewHong, ui->NewHong_2}});
    const QString folder = PictureFolder();
    const QString checkSheet = QStringLiteral("QCheckBox{color: rgb(") + OptionColorText(QStringLiteral("LabelColor"))
                               + QStringLiteral(";);}QCheckBox::indicator:checked {image: url(") + folder
                               + QStringLiteral("CheckBoxCheck.png);}QCheckBox::indicator:unchecked {image: url(")
                               + folder + QStringLiteral("CheckBox.png);}");
    for (QCheckBox* box : {ui->Shift, ui->Ctrl, ui->Alt, ui->Win})
        box->setStyleSheet(checkSheet);
    ui->lineEdit->setStyleSheet(DialogStyle::LineEditSheet());
    ApplyStoredLanguage();
}

GroupKey::~GroupKey()
{
    // Before the widgets go: no key event may reach them any more.
    m_hook.Release();
    delete ui;
}

void GroupKey::SetClock(keys::MonotonicClock clock)
{
    if (clock)
        m_clock = std::move(clock);
}

void GroupKey::UpdateCapslockTip(int virtualKey, bool down, bool repeated)
{
    Q_UNUSED(repeated);
    if (!down)
        return;
    const QString line = ui->lineEdit->text();
    const QString next = m_capture.KeyDown(virtualKey, keys::CombinationKeyName(virtualKey), line, m_clock());
    if (next != line)
        ui->lineEdit->setText(next);
}

void GroupKey::on_NewHong_clicked()
{
    const keys::Combination combination = keys::ComposeCombination(
        ui->Shift->isChecked(), ui->Ctrl->isChecked(), ui->Alt->isChecked(), ui->Win->isChecked(), ui->lineEdit->text());
    switch (combination.outcome) {
    case keys::Combination::Accepted:
        m_hook.UnHook();
        m_result = combination.text;
        m_accepted = true;
        close();
        return;
    case keys::Combination::Empty:
        EndWithout();
        return;
    case keys::Combination::TooMany: {
        GroupMaxThree notice;
        notice.move(mapToGlobal(QPoint(0, 0)));
        notice.exec();
        StartOver();
        return;
    }
    case keys::Combination::Unknown:
        StartOver();
        return;
    }
}

void GroupKey::on_NewHong_2_clicked()
{
    EndWithout();
}

void GroupKey::on_CloseButton_clicked()
{
    EndWithout();
}

void GroupKey::on_lineEdit_textEdited(const QString& text)
{
    // Only pasted or dropped text gets here: the field ignores typed keys.
    const QString upper = text.toUpper();
    if (upper != text)
        ui->lineEdit->setText(upper);
}

void GroupKey::FillLanguageTexts(LanguageTexts& texts)
{
    texts.label(QStringLiteral("label"), ui->label);
    texts.button(QStringLiteral("NewHong"), ui->NewHong);
    texts.button(QStringLiteral("NewHong_2"), ui->NewHong_2);
}

void GroupKey::keyPressEvent(QKeyEvent* event)
{
    // Escape is a key to capture here, not a way out; F12 likewise.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F12)
        return;
    FramelessDialog::keyPressEvent(event);
}

void GroupKey::done(int result)
{
    // Every way out of the dialog passes here.
    m_hook.UnHook();
    FramelessDialog::done(result);
}

void GroupKey::EndWithout()
{
    m_accepted = false;
    m_result.clear();
    m_hook.UnHook();
    close();
}

void GroupKey::StartOver()
{
    m_capture.Clear();
    ui->lineEdit->clear();
}
