// The look of the pages' plain controls (labels, lists, buttons, scroll
// bars) on the program's dark background, from the Option colours of
// Config.ini. A page's own pictures, where it has them, replace it per
// widget.
#pragma once

#include <QString>

class QComboBox;

namespace PageStyle {
// The sheet of a page's frame (selected by its object name) and its children.
QString FrameSheet(const QString& frameName);
// A link-like push button: no frame, text in LabelColor, aligned by align
// ("left" or "right").
QString LinkButtonSheet(const QString& align);
// The combo box look of the setting panels, with its own list view (the
// entries read on the list's dark ground) of at most visibleItems rows.
void StyleComboBox(QComboBox* combo, const QString& pictureFolder, int visibleItems = 5);
}  // namespace PageStyle
