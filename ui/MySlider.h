// A slider that jumps to the pressed point: after the usual press handling
// the value becomes the one under the pointer (horizontal position only),
// and an event of type QEvent::User + 1 is sent to the parent widget.
#pragma once

#include <QSlider>

class MySlider : public QSlider
{
    Q_OBJECT

public:
    static constexpr int PressEventType = 1001;  // QEvent::User + 1

    explicit MySlider(QWidget* parent = nullptr);

    // The value a press at x gives on a slider of width w with the range
    // min..max (truncated toward zero); min when w is not positive.
    static int ValueAt(int x, int w, int min, int max);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
