#include "PageStyle.h"

#include "ColorText.h"
#include "PanelStyle.h"

#include <QComboBox>
#include <QListView>
#include <QScreen>
#include <QScrollBar>

namespace {

// The open list of a styled combo box. The box opens it as wide as itself;
// where the entries exceed its rows the scroll bar is added to that width,
// so the entries keep the box's width and the bar covers none of their text.
class ComboListView : public QListView
{
public:
    using QListView::QListView;

protected:
    void showEvent(QShowEvent* event) override
    {
        QListView::showEvent(event);
        const QScrollBar* bar = verticalScrollBar();
        if (bar->maximum() <= bar->minimum())
            return;
        QWidget* popup = window();
        QRect area = popup->geometry();
        area.setWidth(area.width() + bar->sizeHint().width());
        if (const QScreen* screen = popup->screen())  // the bar stays on the screen
            area.moveRight(qMin(area.right(), screen->availableGeometry().right()));
        popup->setGeometry(area);
    }
};

}  // namespace

namespace PageStyle {

QString FrameSheet(const QString& frameName)
{
    const QString label = OptionColorText(QStringLiteral("LabelColor"));
    const QString button = OptionColorText(QStringLiteral("ButtonColor"));
    // Field and border shades of the dark theme; the Option colours are
    // text colours and would make the fields unreadable as grounds.
    const QString field = QStringLiteral("46,49,58");
    const QString raised = QStringLiteral("66,70,82");
    const QString accent = OptionColorText(QStringLiteral("SliderColor"));
    const QString select = OptionColorText(QStringLiteral("ComboxSelectColor"));
    return QStringLiteral("#") + frameName + QStringLiteral("{border:none;background:transparent;}")
           + QStringLiteral("QLabel,QCheckBox{color: rgb(") + label + QStringLiteral(");}")
           + QStringLiteral("QGroupBox{border:none;}QScrollArea{background:transparent;border:none;}"
                            "QScrollArea > QWidget > QWidget{background:transparent;}")
           + QStringLiteral("QListWidget{background-color: rgb(") + field + QStringLiteral(");color: rgb(") + label
           + QStringLiteral(");border:1px solid rgb(") + raised + QStringLiteral(");outline:0;}"
                                                                   "QListWidget::item:selected{background-color: rgb(")
           + select + QStringLiteral(");}")
           + QStringLiteral("QPushButton,QToolButton{color: rgb(") + button + QStringLiteral(");background-color: rgb(")
           + field + QStringLiteral(");border:1px solid rgb(") + raised
           + QStringLiteral(");border-radius:4px;padding:2px 6px;}QPushButton:hover,QToolButton:hover{border-color: rgb(")
           + accent + QStringLiteral(");}QPushButton:pressed,QToolButton:pressed,QToolButton:checked{border-color: rgb(")
           + accent + QStringLiteral(");color: rgb(") + accent + QStringLiteral(");}")
           + QStringLiteral("QScrollBar:vertical{width:10px;margin:2px 0px 2px 0px;border:none;background: rgb(28,28,28);}"
                            "QScrollBar::handle:vertical{background: rgb(63,63,63);border-radius:3px;min-height:30px;"
                            "margin:0px 2px 0px 2px;}"
                            "QScrollBar::add-line:vertical,QScrollBar::sub-line:vertical{height:0px;border:none;}"
                            "QScrollBar::add-page:vertical,QScrollBar::sub-page:vertical{background:transparent;}");
}

QString LinkButtonSheet(const QString& align)
{
    return QStringLiteral("QPushButton{border:none;background:transparent;color: rgb(")
           + OptionColorText(QStringLiteral("LabelColor")) + QStringLiteral(");text-align : ") + align
           + QStringLiteral(";padding-right:1px;}");
}

void StyleComboBox(QComboBox* combo, const QString& pictureFolder, int visibleItems)
{
    combo->setStyleSheet(PanelStyle::ComboBoxSheet(pictureFolder));
    auto* view = new ComboListView(combo);
    view->setStyleSheet(PanelStyle::ComboListViewSheet());
    combo->setView(view);
    // The box sets its list's scroll bar policy from its style's answer at
    // this moment. A box inside a page that has a style sheet of its own
    // answers with the page's rules until it is first polished (its own
    // sheet counts from then): it takes the style's menu-like popup and
    // switches the bar off for good, although its list opens below it with
    // its row limit. The bar shows whenever the entries exceed the rows.
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    combo->setMaxVisibleItems(visibleItems);
}

}  // namespace PageStyle
