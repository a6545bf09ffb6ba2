// A line edit that ignores the keyboard: its text is set only by code (the
// key-combination dialog writes the captured keys into it). Selecting with
// the mouse still works.
#pragma once

#include <QLineEdit>

class MyLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit MyLineEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
};
