#include "StyleWhenShown.h"

#include <QEvent>
#include <QString>
#include <QWidget>

namespace {

// Watches its parent widget for the first show, sets the sheet, then goes.
class SheetOnShow : public QObject
{
public:
    SheetOnShow(QWidget* widget, const QString& sheet) : QObject(widget), m_widget(widget), m_sheet(sheet)
    {
        setObjectName(QStringLiteral("SheetOnShow"));
        widget->installEventFilter(this);
    }

    void SetSheet(const QString& sheet) { m_sheet = sheet; }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The show event comes before the widget is first painted.
        if (watched == m_widget && event->type() == QEvent::Show) {
            m_widget->removeEventFilter(this);
            setObjectName(QString());  // a later call no longer finds it
            m_widget->setStyleSheet(m_sheet);
            deleteLater();
        }
        return false;
    }

private:
    QWidget* m_widget;
    QString m_sheet;
};

}  // namespace

void SetStyleSheetWhenShown(QWidget* widget, const QString& sheet)
{
    auto* waiting = widget->findChild<SheetOnShow*>(QStringLiteral("SheetOnShow"), Qt::FindDirectChildrenOnly);
    if (widget->isVisible()) {
        delete waiting;
        widget->setStyleSheet(sheet);
    } else if (waiting) {
        waiting->SetSheet(sheet);
    } else {
        new SheetOnShow(widget, sheet);
    }
}
