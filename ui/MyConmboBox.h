// The program's combo box: remembers the index it showed at the last mouse
// press (pressIndex, read by pages that undo a choice the device did not
// take) and draws its text centred like a push button.
#pragma once

#include <QComboBox>

class MyConmboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit MyConmboBox(QWidget* parent = nullptr);

    int pressIndex = 0;  // currentIndex() at the last mouse press

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
