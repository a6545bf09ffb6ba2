// The device button of the device list, named "btn" + the device's index.
// When the pointer enters it, it asks the device list to refresh that
// device: the nearest ancestor widget that has a slot or Q_INVOKABLE
// "RefreshOnlineState(int)" (the device list) is called with the index.
// Nothing happens on leave.
#pragma once

#include <QToolButton>

class mytoolButtonEnter : public QToolButton
{
    Q_OBJECT

public:
    explicit mytoolButtonEnter(QWidget* parent = nullptr);

    // The device index of an object name: "btn" removed, the rest as a
    // decimal number, 0 when it is not one.
    static int DeviceIndexFromName(const QString& objectName);

protected:
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
};
