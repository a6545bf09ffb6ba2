#include "MacroListItems.h"

#include "KeyNames.h"

#include <QListWidget>

namespace MacroItems {

namespace {

enum Role { KindRole = Qt::UserRole, CodeRole, DelayRole };

void setData(QListWidgetItem* item, const keys::MacroRow& row)
{
    item->setData(KindRole, row.kind);
    item->setData(CodeRole, row.code);
    item->setData(DelayRole, row.delay);
    item->setText(row.text);
}

}  // namespace

QListWidgetItem* NewItem(const keys::MacroRow& row, const keys::RowIcons& icons)
{
    const bool release = !row.IsDelay() && !row.down;
    auto* item = new QListWidgetItem(nullptr, release ? ReleaseType : PressType);
    item->setIcon(row.IsDelay() ? icons.delay : (release ? icons.up : icons.down));
    setData(item, row);
    return item;
}

keys::MacroRow RowOf(const QListWidgetItem* item)
{
    const bool down = item->type() != ReleaseType;
    const QVariant kind = item->data(KindRole);
    if (!kind.isValid())
        return keys::MacroRow::Key(keys::KindKeyboard, 0, down);
    keys::MacroRow row;
    row.kind = kind.toInt();
    row.code = item->data(CodeRole).toInt();
    row.delay = item->data(DelayRole).toUInt();
    row.down = row.IsDelay() || down;
    row.text = item->text();
    return row;
}

void SetRow(QListWidgetItem* item, const keys::MacroRow& row)
{
    setData(item, row);
}

keys::MacroRows RowsOf(const QListWidget* list)
{
    keys::MacroRows rows;
    rows.reserve(list->count());
    for (int i = 0; i < list->count(); ++i)
        rows.append(RowOf(list->item(i)));
    return rows;
}

}  // namespace MacroItems
