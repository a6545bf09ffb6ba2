// The rows of the macro page's event list as list items. An item carries its
// row whole: the kind, code and delay as item data, the direction as the
// item type (0 press or delay, 1 release), the name or "<ms>ms" as its text
// and the row's icon. Every conversion reads the data, never the text, so a
// row keeps its event whatever its text shows (a mouse button named in
// another language, a code without a name).
#pragma once

#include "MacroRows.h"

class QListWidget;
class QListWidgetItem;

namespace MacroItems {

enum ItemType { PressType = 0, ReleaseType = 1 };

// A new item for row (not yet in a list).
QListWidgetItem* NewItem(const keys::MacroRow& row, const keys::RowIcons& icons);
// The row an item holds; an item without row data is the empty key.
keys::MacroRow RowOf(const QListWidgetItem* item);
// Gives an item another row of the same direction (its type cannot change).
void SetRow(QListWidgetItem* item, const keys::MacroRow& row);
// The rows of a list, top to bottom.
keys::MacroRows RowsOf(const QListWidget* list);

}  // namespace MacroItems
