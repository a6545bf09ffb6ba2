// The sensor's on/off panels: a caption and a two-state picture button for
// ripple control (image byte 10), straight-line correction (byte 9) and
// motion sync (byte 7), each in two layouts (button left of the caption, or
// right of it in the B layouts). No window places them.
//
// The button starts unchecked (nothing reads the device's value). A click
// writes 1 (checked) or 0 through the byte's writer while
// PageMaySend(Page::Sensor) (a click is the user's: it comes between the
// page's fills, also while another page is being filled); a refused write
// (offline: the writer asks for the notice) shows the stored byte again.
// Texts: the form's caption unless the host calls SetLabelText.
#pragma once

#include "DeviceImage.h"

#include <QFrame>

#include <cstdint>

class QLabel;
class QToolButton;

namespace Ui {
class RippeControl;
class StraightLine;
class MotionSync;
class RippeControlB;
class StraightLineB;
class MotionSyncB;
}  // namespace Ui

class SwitchPanel : public QFrame
{
    Q_OBJECT

public:
    void SetLabelText(const QString& text);
    void SetLabelToolTip(const QString& text);
    QToolButton* Button() const { return m_button; }
    QLabel* Label() const { return m_label; }

protected:
    using Writer = bool (*)(uint8_t on);
    // writer stores and sends the byte `field` of the image.
    SwitchPanel(QWidget* parent, Writer writer, uint8_t FlashDataMap::*field);
    // After the form is set up: styles the button (by its object name) and
    // the caption.
    void TakeWidgets(QToolButton* button, QLabel* label);
    void Clicked(bool checked);

private:
    Writer m_writer;
    uint8_t FlashDataMap::*m_field;
    QToolButton* m_button = nullptr;
    QLabel* m_label = nullptr;
};

class RippeControl : public SwitchPanel
{
    Q_OBJECT

public:
    explicit RippeControl(QWidget* parent = nullptr);
    ~RippeControl() override;

public slots:
    void on_RippeControl_2_clicked(bool checked) { Clicked(checked); }

private:
    Ui::RippeControl* ui;
};

class StraightLine : public SwitchPanel
{
    Q_OBJECT

public:
    explicit StraightLine(QWidget* parent = nullptr);
    ~StraightLine() override;

public slots:
    void on_StraightLine_2_clicked(bool checked) { Clicked(checked); }

private:
    Ui::StraightLine* ui;
};

class MotionSync : public SwitchPanel
{
    Q_OBJECT

public:
    explicit MotionSync(QWidget* parent = nullptr);
    ~MotionSync() override;

public slots:
    void on_MotionSync_2_clicked(bool checked) { Clicked(checked); }

private:
    Ui::MotionSync* ui;
};

class RippeControlB : public SwitchPanel
{
    Q_OBJECT

public:
    explicit RippeControlB(QWidget* parent = nullptr);
    ~RippeControlB() override;

public slots:
    void on_RippeControl_2_clicked(bool checked) { Clicked(checked); }

private:
    Ui::RippeControlB* ui;
};

class StraightLineB : public SwitchPanel
{
    Q_OBJECT

public:
    explicit StraightLineB(QWidget* parent = nullptr);
    ~StraightLineB() override;

public slots:
    void on_StraightLine_2_clicked(bool checked) { Clicked(checked); }

private:
    Ui::StraightLineB* ui;
};

class MotionSyncB : public SwitchPanel
{
    Q_OBJECT

public:
    explicit MotionSyncB(QWidget* parent = nullptr);
    ~MotionSyncB() override;

public slots:
    void on_MotionSync_2_clicked(bool checked) { Clicked(checked); }

private:
    Ui::MotionSyncB* ui;
};
