// The report-rate panels: seven rate buttons (125 to 8000 Hz) under a
// title. SensorRate (tool buttons) is the sensor page's frameRate;
// SensorRateB (check boxes) is a second layout that no window places.
//
// How to use one: the host shows a rate with SetRate (SensorRate) and the
// device's receiver with SetReceiverType; both send nothing. A click by the
// user on a rate writes its code to image byte 0 (SetReportRate) while
// PageMaySend(Page::Sensor); a write the device took announces whether the rate is
// above 1000 Hz (PostHideModel 1, else 0); a refused one (offline: the
// writer asks for the notice) shows the rate CurrentFlashData holds again.
#pragma once

#include <QFrame>
#include <QString>
#include <QVector>

class QAbstractButton;
class QButtonGroup;
class QLabel;

namespace Ui {
class SensorRate;
class SensorRateB;
}  // namespace Ui

// What both layouts share; its slots are bound by the forms' object names.
class RatePanel : public QFrame
{
    Q_OBJECT

public:
    // Shows or hides the 2000, 4000 and 8000 Hz buttons for receiver class
    // 0..3 (SensorRules::RateButtonsOfType); other classes change nothing.
    // A hidden button keeps its check.
    void SetReceiverType(int receiverClass);
    void SetLabelText(const QString& text);

    // The checked rate index; -1 when none is.
    int CheckedRate() const;
    QAbstractButton* RateButton(int index) const { return m_buttons.value(index); }
    QLabel* TitleLabel() const { return m_label; }

public slots:
    void on_Button125HZ_clicked(bool checked);
    void on_Button250HZ_clicked(bool checked);
    void on_Button500HZ_clicked(bool checked);
    void on_Button1000HZ_clicked(bool checked);
    void on_Button2000HZ_clicked(bool checked);
    void on_Button4000HZ_clicked(bool checked);
    void on_Button8000HZ_clicked(bool checked);

protected:
    explicit RatePanel(QWidget* parent);
    // After the form is set up: the title, the seven buttons in rate order,
    // and how many of them (from the first) form the exclusive group.
    void TakeButtons(QLabel* label, const QVector<QAbstractButton*>& buttons, int grouped);
    // Checks the rate's button (none for -1), sending nothing.
    void ShowRate(int index);

    QString picturePath;

private:
    void RateClicked(int index, bool checked);

    QLabel* m_label = nullptr;
    QVector<QAbstractButton*> m_buttons;
    QButtonGroup* buttonGroup = nullptr;
};

class SensorRate : public RatePanel
{
    Q_OBJECT

public:
    explicit SensorRate(QWidget* parent = nullptr);
    ~SensorRate() override;

    // Checks the button of rate index 0..6; other indexes change nothing.
    void SetRate(int index);
    // No rate checked (an image whose rate is no known code).
    void ShowNoRate();

private:
    Ui::SensorRate* ui;
};

// The check-box layout: only 125 to 4000 Hz are exclusive (8000 Hz can be
// checked beside another box).
class SensorRateB : public RatePanel
{
    Q_OBJECT

public:
    explicit SensorRateB(QWidget* parent = nullptr);
    ~SensorRateB() override;

private:
    Ui::SensorRateB* ui;
};
