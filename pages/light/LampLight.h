// The lighting page: light mode, colour (spin boxes, step buttons, 14 preset
// colours, the colour board), brightness and speed, the lights-off-while-moving
// switch and the sleep-time panel. Bytes 8, 11 and 67..73 of the device image.
//
// Every change goes out through one device writer. When a writer refuses
// (the device is offline, or the image in memory is not the device's), the
// control goes back to what CurrentFlashData holds, so the page never shows
// a setting the device does not have. Nothing is sent unless
// PageMaySend(Page::Light): UiReady set and the page not being filled.
#pragma once

#include "DeviceImage.h"
#include "LightRules.h"

#include <QColor>
#include <QString>
#include <QWidget>

#include <optional>

class QSpinBox;
class QToolButton;

namespace Ui {
class LampLight;
}

class LampLight : public QWidget
{
    Q_OBJECT

public:
    explicit LampLight(QWidget* parent = nullptr);
    ~LampLight() override;

    Ui::LampLight* Form() const { return ui; }
    QString PictureDir() const { return pictureDir; }

    // The colour the board shows under a press at pagePos (page coordinates;
    // globalPos is the same point on the screen): the colour board's own
    // rendering first, the screen as a fallback; nothing when neither gives
    // a pixel.
    std::optional<QColor> ColorUnder(const QPoint& pagePos, const QPoint& globalPos) const;

public slots:
    void on_AddR_clicked();
    void on_AddG_clicked();
    void on_AddB_clicked();
    void on_ReduceR_clicked();
    void on_ReduceG_clicked();
    void on_ReduceB_clicked();
    void on_RSpinBox_valueChanged(int value);
    void on_GSpinBox_valueChanged(int value);
    void on_BSpinBox_valueChanged(int value);
    void on_toolButtonColorA_clicked();
    void on_toolButtonColorB_clicked();
    void on_toolButtonColorC_clicked();
    void on_toolButtonColorD_clicked();
    void on_toolButtonColorE_clicked();
    void on_toolButtonColorF_clicked();
    void on_toolButtonColorG_clicked();
    void on_toolButtonColorH_clicked();
    void on_toolButtonColorI_clicked();
    void on_toolButtonColorJ_clicked();
    void on_toolButtonColorK_clicked();
    void on_toolButtonColorL_clicked();
    void on_toolButtonColorM_clicked();
    void on_toolButtonColorN_clicked();
    void on_horizontalLight_valueChanged(int value);
    void on_horizontalSpeed_valueChanged(int value);
    void on_LightMod_currentIndexChanged(int index);
    void SlotUpDataLightUILight(FlashDataMap image);
    void SlotUpDataLightUIA(FlashDataMap image);
    void SlotFormResetLight();
    void on_RippeControl_clicked(bool checked);
    void on_horizontalLight_sliderMoved(int value);
    void on_horizontalSpeed_sliderMoved(int value);
    void SlotChangeLanguage(int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ApplyStyles();
    void Fill(const FlashDataMap& image);
    void ShowMode(int mode);
    void ShowPreview();
    LightRules::Rgb ShownColor() const;
    // Shows a colour in the three spin boxes without their handlers.
    void SetSpinBoxes(const LightRules::Rgb& color);
    // Sends the shown colour once; a refused write shows the device's colour.
    void SendShownColor();
    // Steps, presets and the board: false (after the offline notice) when the
    // device does not answer, so that nothing changes.
    bool MayChangeColor() const;
    void StepComponent(QSpinBox* box, int delta);
    void ChooseColor(const LightRules::Rgb& color);
    void ChoosePreset(int index);
    void ComponentChanged();
    void SliderChanged(bool brightness, int value);
    // Shows the mode an image holds (the combo's signals blocked).
    void ShowStoredMode(const FlashDataMap& stored);

    Ui::LampLight* ui;
    QString pictureDir;
};
