// A tool button that acts on the press: a left press checks it and emits
// clicked(false) at once, a left double click checks it and emits
// clicked(true). Other buttons do nothing; the button never shows a pressed
// state and never clicks on release.
#pragma once

#include <QToolButton>

class MyToolButton : public QToolButton
{
    Q_OBJECT

public:
    explicit MyToolButton(QWidget* parent = nullptr);

signals:
    void doubleClicked();  // declared for the forms; never emitted

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
