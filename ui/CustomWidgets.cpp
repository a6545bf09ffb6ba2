// The small widget subclasses the forms use in place of the plain widgets.
#include "MyButton.h"
#include "MyConmboBox.h"
#include "MyLineEdit.h"
#include "MySlider.h"
#include "MyToolButton.h"
#include "mytoolButtonEnter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

// ---- MySlider ---------------------------------------------------------------

MySlider::MySlider(QWidget* parent) : QSlider(parent) {}

int MySlider::ValueAt(int x, int w, int min, int max)
{
    if (w <= 0)
        return min;
    const double f = double(x) / double(w);
    const double v = double(min) + (double(max) - double(min)) * f;
    return int(v);  // truncation toward zero
}

void MySlider::mousePressEvent(QMouseEvent* event)
{
    if (width() <= 0) {
        QSlider::mousePressEvent(event);
        return;
    }
    // The base press may first step a page toward the pointer; the value
    // goes to the pointer right after, so that step is no value of its own:
    // one press changes the value (and emits valueChanged) at most once.
    const int before = value();
    {
        const QSignalBlocker quiet(this);
        QSlider::mousePressEvent(event);
        setValue(before);
    }
    if (isSliderDown())
        emit sliderPressed();  // the press on the handle, held back above
    // The press lands on the point under the pointer; no page steps follow
    // while the button is held.
    setRepeatAction(SliderNoAction);
    setValue(ValueAt(event->pos().x(), width(), minimum(), maximum()));
    if (QWidget* parent = parentWidget()) {
        QEvent pressed{static_cast<QEvent::Type>(PressEventType)};
        QCoreApplication::sendEvent(parent, &pressed);
    }
}

// ---- MyConmboBox ----------------------------------------------------------

MyConmboBox::MyConmboBox(QWidget* parent) : QComboBox(parent) {}

void MyConmboBox::mousePressEvent(QMouseEvent* event)
{
    pressIndex = currentIndex();
    QComboBox::mousePressEvent(event);
}

void MyConmboBox::paintEvent(QPaintEvent*)
{
    QStyleOptionComboBox option;
    {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Text));
        initStyleOption(&option);
        style()->drawComplexControl(QStyle::CC_ComboBox, &option, &painter, this);
        if (isEditable()) {
            style()->drawControl(QStyle::CE_ComboBoxLabel, &option, &painter, this);
            return;
        }
    }
    // The text centred the way a push button centres it.
    QStyleOptionButton label;
    label.initFrom(this);
    label.rect = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    label.text = option.currentText;
    label.icon = option.currentIcon;
    label.iconSize = option.iconSize;
    QPainter painter(this);
    style()->drawControl(QStyle::CE_PushButtonLabel, &label, &painter, this);
}

// ---- MyToolButton ---------------------------------------------------------

MyToolButton::MyToolButton(QWidget* parent) : QToolButton(parent) {}

void MyToolButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setChecked(true);
    emit clicked(false);
}

void MyToolButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setChecked(true);
    emit clicked(true);
}

// ---- mytoolButtonEnter ----------------------------------------------------

mytoolButtonEnter::mytoolButtonEnter(QWidget* parent) : QToolButton(parent) {}

int mytoolButtonEnter::DeviceIndexFromName(const QString& objectName)
{
    QString rest = objectName;
    rest.remove(QStringLiteral("btn"), Qt::CaseSensitive);
    bool ok = false;
    const int index = rest.toInt(&ok, 10);
    return ok ? index : 0;
}

void mytoolButtonEnter::enterEvent(QEvent*)
{
    const int index = DeviceIndexFromName(objectName());
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        const QMetaObject* meta = w->metaObject();
        const int method = meta->indexOfMethod("RefreshOnlineState(int)");
        if (method >= 0) {
            meta->method(method).invoke(w, Qt::DirectConnection, Q_ARG(int, index));
            return;
        }
    }
}

void mytoolButtonEnter::leaveEvent(QEvent*) {}

// ---- MyLineEdit -------------------------------------------------------------

MyLineEdit::MyLineEdit(QWidget* parent) : QLineEdit(parent) {}

void MyLineEdit::keyPressEvent(QKeyEvent*) {}

void MyLineEdit::keyReleaseEvent(QKeyEvent*) {}

// ---- MyButton -----------------------------------------------------------------

MyButton::MyButton(QWidget* parent) : QPushButton(parent) {}

void MyButton::enterEvent(QEvent*)
{
    setCursor(Qt::PointingHandCursor);
}

void MyButton::leaveEvent(QEvent*)
{
    setCursor(Qt::ArrowCursor);
}
