#include "PanelStyle.h"

#include "ColorText.h"

namespace PanelStyle {

QString ComboBoxSheet(const QString& folder)
{
    const QString text = OptionColorText(QStringLiteral("ComboxTextColor"));
    const QString back = OptionColorText(QStringLiteral("ComboxBackGroundColor"));
    const QString select = OptionColorText(QStringLiteral("ComboxSelectColor"));
    // combobox-popup 0: the list opens below the box with at most
    // maxVisibleItems rows; the style's own popup lists every entry and
    // ignores that limit. The arrow stands 8 px left of the drop-down button
    // (right: 8px); the right padding keeps the text's field clear of it.
    return QStringLiteral("QComboBox{combobox-popup: 0; border: 1px solid gray; padding-right: 14px; color: rgb(") + text
           + QStringLiteral("); border-image: url(") + folder + QStringLiteral("ComboboxBack.png")
           + QStringLiteral(");}QComboBox::drop-down:button{border-radius:5px; background:rgb(") + back
           + QStringLiteral(");} QComboBox::down-arrow{image: url(") + folder + QStringLiteral("Menu.png")
           + QStringLiteral("); right: 8px; }QComboBox::down-arrow:on{ image: url(") + folder
           + QStringLiteral("MenuClicked.png")
           + QStringLiteral(");}QComboBox QAbstractItemView::item{height:25px;}QComboBox QAbstractItemView "
                            "{outline: 0px solid gray; border: 1px  solid gray;color: rgb(")
           + text + QStringLiteral("); border-image: url(") + folder + QStringLiteral("ComboboxTextBack.png")
           + QStringLiteral(");selection-background-color: rgb(") + select + QStringLiteral("); }");
}

QString ComboListViewSheet()
{
    const QString select = OptionColorText(QStringLiteral("ComboxSelectColor"));
    return QStringLiteral("QListView::item:selected{background-color: rgb(") + select
           + QStringLiteral(");}QListView::item:hover{background-color: rgb(") + select
           // Every part of the scroll bar is set here: a page's own scroll
           // bar rules (margins for arrow buttons, a thinner handle) would
           // otherwise reach the list through its parents. The handle is the
           // pages' scroll bar grey, which stands out from the dark groove.
           + QStringLiteral(");}QScrollBar:vertical{width:10px;margin:0px;border:none;background: rgb(30,30,30);}"
                            "QScrollBar::handle:vertical{background: rgb(117,117,117);border:none;border-radius:3px;"
                            "min-height:20px;margin:0px 2px 0px 2px;}"
                            "QScrollBar::add-line:vertical,QScrollBar::sub-line:vertical{height:0px;margin:0px;"
                            "border:none;background:transparent;}"
                            "QScrollBar::add-page:vertical,QScrollBar::sub-page:vertical{background:transparent;}");
}

QString SliderSheet(const QString& folder)
{
    return QStringLiteral("QSlider:groove:horizontal{height:2px;left: 0px;right: 0px;border:0px;border-radius:6px;"
                          "background:rgba(0,0,0,50);}QSlider:handle:horizontal{ width:  5px;height: 50px;  "
                          "margin-top: -20px;margin-left: 0px; margin-bottom: -20px;margin-right: 0px; "
                          "border-image: url(")
           + folder + QStringLiteral("HuaKuai.png);} QSlider:sub-page:horizontal{background-color: rgb(")
           + OptionColorText(QStringLiteral("SliderColor"))
           + QStringLiteral(";);}QSlider:add-page:horizontal{background-color: rgb(255, 255, 255);}");
}

QString ValueBoxSheet()
{
    const QString color = OptionColorText(QStringLiteral("LinEditColorSecond"));
    return QStringLiteral("QSpinBox{background-color: transparent;color: rgb(") + color
           + QStringLiteral(";);border: 1px  solid gray;}QSpinBox:hover{background-color: transparent;color: rgb(")
           + color + QStringLiteral(";);border: 1px  solid gray;}");
}

QString PictureButtonSheet(const QString& objectName, const QString& folder, const QString& picture)
{
    return QLatin1Char('#') + objectName + QStringLiteral("{background-image: url(") + folder + picture
           + QStringLiteral(");border:0px;background-position:center;background-repeat:no-repeat;}");
}

QString CheckBoxSheet(const QString& folder)
{
    return QStringLiteral("QCheckBox{color: rgb(") + OptionColorText(QStringLiteral("LabelColor"))
           + QStringLiteral(";);}QCheckBox:indicator::checked {image: url(") + folder
           + QStringLiteral("LODCheck.png);}QCheckBox::indicator::unchecked {image: url(") + folder
           + QStringLiteral("LOD.png);}");
}

QString NumberBoxSheet()
{
    return QStringLiteral("QSpinBox{color: rgb(") + OptionColorText(QStringLiteral("LabelColor"))
           + QStringLiteral(";);background-color: transparent;border: 0px;}");
}

QString SwitchSheet(const QString& objectName, const QString& folder)
{
    const QString id = QLatin1Char('#') + objectName;
    return id + QStringLiteral("{color: rgb(255, 255, 255);border:0px;background-position:center;"
                               "background-repeat:no-repeat;background-image: url(")
           + folder + QStringLiteral("Close.png);}") + id + QStringLiteral(":checked {background-image: url(") + folder
           + QStringLiteral("Open.png);}");
}

}  // namespace PanelStyle
