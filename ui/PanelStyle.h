// Style sheets shared by the setting panels and the pages' combo boxes.
#pragma once

#include <QString>

namespace PanelStyle {
// The combo box of a setting panel: text in ComboxTextColor, the drop-down
// button in ComboxBackGroundColor, the selected entry in ComboxSelectColor,
// pictures "ComboboxBack.png", "Menu.png", "MenuClicked.png" and
// "ComboboxTextBack.png" from folder; its list opens below it with at most
// the box's maxVisibleItems rows.
QString ComboBoxSheet(const QString& folder);
// The combo box's own list view: selected and hovered entries look alike; a
// narrow dark scroll bar with a grey handle where the list has more entries
// than rows.
QString ComboListViewSheet();
// A horizontal slider: 2 px groove, handle picture "HuaKuai.png" from
// folder, the part left of the handle in SliderColor.
QString SliderSheet(const QString& folder);
// A read-only value box: transparent, text in LinEditColorSecond, gray border.
QString ValueBoxSheet();
// A small picture button selected by object name (e.g. "Add.png").
QString PictureButtonSheet(const QString& objectName, const QString& folder, const QString& picture);
// A check box of the sensor panels: text in LabelColor, indicator pictures
// "LODCheck.png" (checked) and "LOD.png" from folder.
QString CheckBoxSheet(const QString& folder);
// A read-only number beside a slider: text in LabelColor, no frame.
QString NumberBoxSheet();
// An on/off button selected by object name: "Close.png" from folder while
// off, "Open.png" while checked.
QString SwitchSheet(const QString& objectName, const QString& folder);
}  // namespace PanelStyle
