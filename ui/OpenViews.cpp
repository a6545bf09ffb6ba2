#include "OpenViews.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QWidget>

namespace {

bool belongsTo(const QWidget* widget, const QWidget* owner)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (w == owner)
            return true;
    }
    return false;
}

}  // namespace

void CloseOpenViews(const QWidget* owner)
{
    // Closing one window may close or delete another (a sub-menu and its
    // menu): each is looked at through a guard.
    QList<QPointer<QWidget>> windows;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window != owner && belongsTo(window->parentWidget(), owner))
            windows.append(window);
    }
    for (const QPointer<QWidget>& window : windows) {
        if (!window || !window->isVisible())
            continue;
        if (window->windowType() == Qt::Popup) {
            window->close();
        } else if (auto* dialog = qobject_cast<QDialog*>(window.data())) {
            if (!dialog->isModal())
                dialog->reject();
        }
    }
}
