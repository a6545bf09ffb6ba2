// The event list: its rows and the editing controls (event choice, Amend,
// Delete, the default delay and the repeat count).
#include "Macro.h"
#include "ui_Macro.h"

#include "AddDelayTime.h"
#include "MacroListItems.h"
#include "addKey.h"

#include <QSignalBlocker>

using keys::MacroRow;
using keys::MacroRows;

namespace {
// Where the key and delay dialogs stand: centred on the page, shifted left and up.
constexpr int ValueDialogShiftX = 50;
constexpr int ValueDialogShiftY = 70;
}  // namespace

MacroRows Macro::EventRows() const
{
    return MacroItems::RowsOf(ui->listWidgetKey);
}

void Macro::ShowRows(const MacroRows& rows)
{
    const QSignalBlocker block(ui->listWidgetKey);
    ui->listWidgetKey->clear();
    for (const MacroRow& row : rows)
        ui->listWidgetKey->addItem(MacroItems::NewItem(row, rowIcons));
}

void Macro::ApplySplice(const MacroEdit::RowSplice& splice)
{
    QListWidget* list = ui->listWidgetKey;
    {
        const QSignalBlocker block(list);
        for (int i = 0; i < splice.remove && splice.at < list->count(); ++i)
            delete list->takeItem(splice.at);
        const int at = qMin(splice.at, list->count());
        for (int i = 0; i < splice.insert.size(); ++i)
            list->insertItem(at + i, MacroItems::NewItem(splice.insert.at(i), rowIcons));
    }
    if (splice.current != MacroEdit::KeepCurrent)
        list->setCurrentRow(splice.current);
}

void Macro::MarkEventsChanged()
{
    eventsChanged = true;
    shownEdited = true;
    SetSaveReady(true);
}

void Macro::AddKeyRow(const MacroRow& row)
{
    if (SelectedMacro().isEmpty())
        return;
    auto* item = MacroItems::NewItem(row, rowIcons);
    ui->listWidgetKey->addItem(item);
    ui->listWidgetKey->setCurrentItem(item);
    ui->listWidgetKey->scrollToItem(item);
}

void Macro::AddDelayRow(quint32 ms)
{
    if (SelectedMacro().isEmpty())
        return;
    const int before = ui->listWidgetKey->count() - 1;
    ui->listWidgetKey->addItem(MacroItems::NewItem(MacroRow::Delay(ms), rowIcons));
    ui->listWidgetKey->setCurrentRow(before);
}

std::optional<QString> Macro::AskKey()
{
    addKey dialog;
    dialog.MoveOver(this, ValueDialogShiftX, ValueDialogShiftY);
    if (dialog.exec() != QDialog::Accepted || !dialog.IsAccepted())
        return std::nullopt;
    return dialog.ResultText();
}

std::optional<quint32> Macro::AskDelay()
{
    AddDelayTime dialog;
    dialog.MoveOver(this, ValueDialogShiftX, ValueDialogShiftY);
    dialog.exec();
    if (!dialog.IsAccepted())
        return std::nullopt;
    return quint32(dialog.DelayValue());
}

void Macro::on_ChooseEvent_activated(int index)
{
    // Each insertion takes the list as it is after its dialog.
    if (index == 1 || index == 2) {
        const std::optional<QString> key = AskKey();
        if (!key || SelectedMacro().isEmpty())
            return;
        ApplySplice(MacroEdit::InsertKey(EventRows(), ui->listWidgetKey->currentRow(), MacroRow::Named(*key, index == 1)));
        MarkEventsChanged();
    } else if (index == 3) {
        const std::optional<quint32> delay = AskDelay();
        if (!delay || SelectedMacro().isEmpty() || ui->listWidgetKey->currentRow() < 0)
            return;
        ApplySplice(MacroEdit::InsertDelay(EventRows(), ui->listWidgetKey->currentRow(), *delay));
        MarkEventsChanged();
    } else if (const int code = MacroEdit::MouseCodeOfChoice(index)) {
        if (SelectedMacro().isEmpty())
            return;
        ApplySplice(MacroEdit::InsertMouseButton(EventRows(), ui->listWidgetKey->currentRow(), code));
        MarkEventsChanged();
    }
}

void Macro::on_Amend_clicked()
{
    if (RefusedWhileRecording())
        return;
    QListWidgetItem* item = ui->listWidgetKey->currentItem();
    if (!item)
        return;
    const MacroRow row = MacroItems::RowOf(item);
    MacroRow changed;
    if (row.IsDelay()) {
        const std::optional<quint32> delay = AskDelay();
        if (!delay)
            return;
        changed = MacroRow::Delay(*delay);
    } else {
        const std::optional<QString> key = AskKey();
        if (!key)
            return;
        changed = MacroRow::Named(*key, row.down);
    }
    // The row may have gone while the dialog was open.
    if (ui->listWidgetKey->row(item) < 0)
        return;
    MacroItems::SetRow(item, changed);  // item changed: the list is marked changed
    SetSaveReady(true);
}

void Macro::on_DeleteKey_clicked()
{
    if (RefusedWhileRecording() || SelectedMacro().isEmpty())
        return;
    const MacroEdit::RowSplice splice = MacroEdit::DeleteAt(EventRows(), ui->listWidgetKey->currentRow());
    if (splice.IsNone() && ui->listWidgetKey->count() >= 4)
        return;
    ApplySplice(splice);
    MarkEventsChanged();
}

void Macro::on_DelayTime_valueChanged(int value)
{
    if (value > MacroEdit::MaxDefaultDelay)
        ui->DelayTime->setValue(MacroEdit::MaxDefaultDelay);
}

void Macro::on_NumberEdit_valueChanged(int)
{
    MarkRepeatChanged();
}

void Macro::on_listWidgetKey_itemChanged(QListWidgetItem*)
{
    eventsChanged = true;
    shownEdited = true;
}
