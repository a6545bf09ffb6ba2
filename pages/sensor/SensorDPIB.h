// The eight-row DPI panel: one row per stage (a check box that makes it
// current, a colour button, a DPI slider and a read-only value box) and a
// combo box for the stage count. It edits what the sensor page's SensorDPI
// edits (image bytes 1 and 2 and the stage records from byte 15). No window
// places it.
//
// A host fills it inside its PageFillScope, best with ShowImage (the slider
// range first, then the values, so no value is clamped to the form's
// 10000), or with the accessors below. Whatever the accessors show is the
// panel's own change and is never sent, so a fill never writes back (and
// never flattens a stage's distinct X and Y codes into one).
//
// What the user's actions send, one image each, while UiReady is set and the
// sensor page is not being filled; a refused write (offline: the writer asks
// for the one notice) shows what CurrentFlashData holds again:
//   - a stage's check box: the current stage (SetDPILevel);
//   - a slider (on release; a press jumps): the stage's DPI snapped into the
//     model's ranges (SetSensorDPI; not while SettingsBusy);
//   - a colour from the colour dialog a colour button opened: that stage's
//     colour (SetDPIColor);
//   - a stage count: the count, or, when the current stage falls outside
//     it, the exchange of its record with the new last one's.
#pragma once

#include "DeviceImage.h"
#include "DpiModel.h"
#include "DpiPanelRules.h"

#include <QFrame>
#include <QString>
#include <QVector>

class QButtonGroup;
class QCheckBox;
class QColorDialog;
class QSlider;
class QSpinBox;
class QToolButton;

namespace Ui {
class SensorDPIB;
}

class SensorDPIB : public QFrame
{
    Q_OBJECT

public:
    static constexpr int StageCount = DpiPanelRules::StageCount;

    explicit SensorDPIB(QWidget* parent = nullptr);
    ~SensorDPIB() override;

    // The host's whole fill: stage count (byte 1, 1..8, at most maxGrade when
    // that is set), combo items 1..maxGrade, each stage's DPI (decoded with
    // `sensor`; a code it does not define leaves the row's value) and colour,
    // the current stage (byte 2; none outside 0..7 or beyond the count).
    void ShowImage(const FlashDataMap& image, const SensorDpi& sensor, int maxGrade);
    // The sensor, definitions and ranges used for snapping and sending.
    void SetSensor(const SensorDpi& sensor);

    // ---- accessors (a stage is 0..7; other stages are ignored) -------------
    void ClearCombo();                                    // signals blocked
    void InsertComboItem(int index, const QString& text); // signals blocked
    void SetComboIndex(int index);                        // signals blocked
    void BlockSliderSignals(bool on);
    void SetSlidersEnabled(bool on);
    void SetSliderMinimum(int value);
    void SetSliderMaximum(int value);
    void RefreshLevelColorStyle(int stage);
    void RefreshAllLevelColorStyles();
    // The colour buttons in the fixed default colours; the stored colours stay.
    void SetDefaultLevelColorStyles();
    void SetLevelValue(int stage, const QString& text);   // slider, then value box
    void SetLevelColor(int stage, const QString& colour); // "#rrggbb", restyled later
    void SetCurrentLevel(int stage);                      // outside 0..7: none
    void SetLevelCount(int count);                        // 1..8
    void ShowLevels(int last);                            // rows 0..last shown, 0..7
    void SelectLevel(int stage);                          // checks the stage's box
    void SetTitleText(const QString& text);

    // ---- what it shows -----------------------------------------------------
    Ui::SensorDPIB* Form() const { return ui; }
    int CurrentLevel() const { return m_currentLevel; }
    int LevelCount() const { return m_levelCount; }
    QString LevelColor(int stage) const { return m_levelColors.value(stage); }
    QSlider* Slider(int stage) const { return m_sliders.value(stage); }
    QSpinBox* ValueBox(int stage) const { return m_boxes.value(stage); }
    QCheckBox* StageBox(int stage) const { return m_checks.value(stage); }
    QToolButton* ColorButton(int stage) const { return m_colorButtons.value(stage); }
    QColorDialog* ColorDialog() const { return m_colorDialog; }

public slots:
    void SetColor(const QColor& color);
    void on_ChooseEvent_currentIndexChanged(int index);
    void on_horizontalSliderA_valueChanged(int value);
    void on_horizontalSliderB_valueChanged(int value);
    void on_horizontalSliderC_valueChanged(int value);
    void on_horizontalSliderD_valueChanged(int value);
    void on_horizontalSliderE_valueChanged(int value);
    void on_horizontalSliderF_valueChanged(int value);
    void on_horizontalSliderG_valueChanged(int value);
    void on_horizontalSliderH_valueChanged(int value);
    void on_MA_toggled(bool checked);
    void on_MB_toggled(bool checked);
    void on_MC_toggled(bool checked);
    void on_MD_toggled(bool checked);
    void on_ME_toggled(bool checked);
    void on_MF_toggled(bool checked);
    void on_MG_toggled(bool checked);
    void on_MH_toggled(bool checked);
    void on_BlueButtonA_clicked();
    void on_BrightRedButtonA_clicked();
    void on_RedButtonA_clicked();
    void on_YellowButtonA_clicked();
    void on_GreenButtonA_clicked();
    void on_PurpleButtonA_clicked();
    void on_LightBlueButtonA_clicked();
    void on_LightYellowButtonA_clicked();

private:
    // The kit's PageMaySend(Page::Sensor) while none of the panel's own
    // changes is under way.
    bool MaySend() const;
    void ApplyStyles();
    void SliderChanged(int stage, int value);
    void StageToggled(int stage, bool checked);
    void ColorClicked(int stage);
    void ShowStoredStage(const FlashDataMap& stored);
    void ShowStoredDpi(int stage, const FlashDataMap& stored);
    void ExchangeStages(int current, int last);
    QString ColorSheet(const QString& colour) const;

    Ui::SensorDPIB* ui;
    QString m_picturePath;
    QButtonGroup* m_group = nullptr;
    QColorDialog* m_colorDialog = nullptr;
    QVector<QCheckBox*> m_checks;
    QVector<QToolButton*> m_colorButtons;
    QVector<QSlider*> m_sliders;
    QVector<QSpinBox*> m_boxes;
    QVector<QString> m_levelColors;
    int m_currentLevel = 1;
    int m_levelCount = 1;
    int m_colorStage = 0;
    int m_ownChanges = 0;
    SensorDpi m_sensor;
};
