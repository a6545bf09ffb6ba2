// The DPI indicator light panels: mode (off, steady, breathing), speed
// 1..5 and brightness 1..10, image bytes 63 to 66. SensorEffect chooses the
// mode in a combo box, SensorEffectB with three exclusive check boxes. Each
// shows only the row its mode uses: breathing the speed, steady the
// brightness (a hidden slider leaves a grey line). No window places them;
// texts are the forms' unless the host sets them.
//
// While UiReady is set and the sensor page is not being filled, a mode the
// user chooses goes out with SetDPILightMode (only 0..2), a slider's value
// when the drag ends (tracking is off) with SetDPILightSpeed (1..5) or
// SetDPILightBrightness (the byte of step 1..10); a refused write (offline:
// the writer asks for the notice) shows the stored value again.
#pragma once

#include <QFrame>

class QButtonGroup;
class QFrame;
class QLabel;
class QSlider;
class QSpinBox;

namespace Ui {
class SensorEffect;
class SensorEffectB;
}  // namespace Ui

// What both layouts share; its slots are bound by the forms' object names.
class EffectPanel : public QFrame
{
    Q_OBJECT

public:
    void SetSlidersEnabled(bool on);
    void SetLabelText(const QString& text);
    void SetSpeedText(const QString& text);
    void SetBrightnessText(const QString& text);

public slots:
    void on_SpeedH_sliderMoved(int value);
    void on_SpeedH_valueChanged(int value);
    void on_LightH_sliderMoved(int value);
    void on_LightH_valueChanged(int value);

protected:
    explicit EffectPanel(QWidget* parent);
    // After the form is set up: the widgets both forms name alike.
    template <class Form>
    void TakeForm(Form* form)
    {
        m_label = form->label;
        m_speedText = form->label_14;
        m_lightText = form->label_15;
        m_speed = form->SpeedH;
        m_light = form->LightH;
        m_speedBox = form->SpeedSpinBox;
        m_lightBox = form->LightSpinBox;
        m_speedLine = form->line;
        m_lightLine = form->line_2;
        ApplyStyles();
    }
    // Shows the rows of mode 0..2; another mode leaves them as they are.
    void ShowRows(int mode);
    // Writes a mode the user chose (0..2, guarded); a refusal shows the
    // stored mode through ShowStoredMode.
    void SendMode(int mode);
    virtual void ShowStoredMode(int mode) = 0;

    QString picturePath;

private:
    void ApplyStyles();

    QLabel* m_label = nullptr;
    QLabel* m_speedText = nullptr;
    QLabel* m_lightText = nullptr;
    QSlider* m_speed = nullptr;
    QSlider* m_light = nullptr;
    QSpinBox* m_speedBox = nullptr;
    QSpinBox* m_lightBox = nullptr;
    QFrame* m_speedLine = nullptr;
    QFrame* m_lightLine = nullptr;
};

class SensorEffect : public EffectPanel
{
    Q_OBJECT

public:
    explicit SensorEffect(QWidget* parent = nullptr);
    ~SensorEffect() override;

    // Selects mode 0..2 and shows its rows; a changed mode is sent as a user
    // choice is (guarded). Another mode changes nothing.
    void SetMode(int mode);
    // The text of mode 0..2's item.
    void SetItemText(int mode, const QString& text);
    Ui::SensorEffect* Form() const { return ui; }

public slots:
    void on_Model_currentIndexChanged(int index);

private:
    void ShowStoredMode(int mode) override;

    Ui::SensorEffect* ui;
};

class SensorEffectB : public EffectPanel
{
    Q_OBJECT

public:
    explicit SensorEffectB(QWidget* parent = nullptr);
    ~SensorEffectB() override;

    // Checks mode 0..2's box and shows its rows; never sends. Another mode
    // changes nothing.
    void SetMode(int mode);
    // The text of mode 0..2's box (MM3 off, MM1 steady, MM2 breathing).
    void SetItemText(int mode, const QString& text);
    Ui::SensorEffectB* Form() const { return ui; }

public slots:
    void on_MM1_clicked(bool checked);
    void on_MM2_clicked(bool checked);
    void on_MM3_clicked(bool checked);

private:
    void ShowStoredMode(int mode) override;
    void BoxClicked(int mode, bool checked);

    Ui::SensorEffectB* ui;
    QButtonGroup* buttonGroup = nullptr;
};
