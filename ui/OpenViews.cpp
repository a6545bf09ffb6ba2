#include "OpenViews.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QVariant>
#include <QWidget>

namespace {

constexpr char TiedOwner[] = "dizadiTiedOwner";

bool belongsTo(const QWidget* widget, const QWidget* owner)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (w == owner)
            return true;
    }
    return false;
}

// The widget a modal dialog was tied to, or none.
const QWidget* tiedOwner(const QWidget* window)
{
    return qobject_cast<const QWidget*>(window->property(TiedOwner).value<QObject*>());
}

}  // namespace

void TieToOwner(QDialog* dialog, QWidget* owner)
{
    dialog->setProperty(TiedOwner, QVariant::fromValue<QObject*>(owner));
}

void CloseOpenViews(const QWidget* owner)
{
    // Closing one window may close or delete another (a sub-menu and its
    // menu): each is looked at through a guard.
    QList<QPointer<QWidget>> windows;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window != owner
            && (belongsTo(window->parentWidget(), owner) || belongsTo(tiedOwner(window), owner)))
            windows.append(window);
    }
    for (const QPointer<QWidget>& window : windows) {
        if (!window || !window->isVisible())
            continue;
        if (window->windowType() == Qt::Popup) {
            window->close();
        } else if (auto* dialog = qobject_cast<QDialog*>(window.data())) {
            if (!dialog->isModal() || tiedOwner(dialog))
                dialog->reject();
        }
    }
}
