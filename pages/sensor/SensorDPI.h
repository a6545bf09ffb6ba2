// The DPI stage panel of the sensor page: up to eight stages side by side,
// each a stage button (its DPI as text) with a colour chip under it; one
// slider with a read-only value box and -/+ buttons edits the checked
// stage's DPI; a combo box sets the stage count; a marker under the current
// stage can be dragged to another stage.
//
// What it sends, one image per user action, only while UiReady is set and
// the page is not filling (PageFillScope of Page::Sensor):
//   - a stage button or chip click: the current stage (SetDPILevel);
//   - a slider change by the user (a press, a drag when it ends, -/+): the
//     checked stage's DPI, snapped into the model's ranges (SetSensorDPI;
//     not while SettingsBusy);
//   - a colour chosen in the colour dialog: that of the stage whose chip
//     opened it (SetDPIColor);
//   - a stage count: SetDPILevelCount, or, when the current stage falls
//     outside the new count, SwapDPILevels (the current stage and the new
//     last one exchange records; the last one becomes current);
//   - a marker drop on another stage: SetDPILevel.
// Every write goes through WriteOrRevert (PageKit.h): when the writer
// refuses (offline: it asks for the one offline notice; the image in memory
// is not the device's; the device did not take it), the control shows what
// CurrentFlashData holds again and nothing else changes.
//
// Changes the panel makes itself (the accessors below, a stage's DPI put on
// the slider when the stage is selected, a revert) are never sent: they run
// inside the panel's own-change scope. The page's fill, reset and mirror go
// through the accessors, so nothing they show is sent back either.
#pragma once

#include "DeviceImage.h"
#include "DpiModel.h"
#include "DpiPanelRules.h"
#include "SensorPanelKit.h"

#include <QFrame>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QVector>

class QButtonGroup;
class QColorDialog;
class QToolButton;

namespace Ui {
class SensorDPI;
}

class SensorDPI : public QFrame
{
    Q_OBJECT

public:
    static constexpr int StageCount = DpiPanelRules::StageCount;

    explicit SensorDPI(QWidget* parent = nullptr);
    ~SensorDPI() override;

    // ---- What the sensor page calls ---------------------------------------
    // Whole steps, each of them made of the accessors further down. Call them
    // inside the page's PageFillScope (the mirror inside a DeviceMirrorScope).

    // Shows an image: stage count (byte 1, 1..8, at most maxGrade when that
    // is set), current stage (byte 2; outside 0..7 or beyond the count: no
    // stage), each stage's DPI decoded with `sensor` and its colour, the
    // slider bounds of the sensor's ranges and the current stage's DPI.
    // maxGrade is the model's DPIMaxGrade (combo items 1..maxGrade; clamped
    // to 0..8). The panel keeps `sensor` for snapping and sending.
    void ShowImage(const FlashDataMap& image, const SensorDpi& sensor, int maxGrade);
    // The page's reset (no device image): the model's default stages and
    // colours (LoadDPIConfig), six stages, the second one current with its
    // DPI (1600 when it has none) on a slider of 200..10000.
    void ShowDefaults();
    // The stage the mouse reported it switched to; outside 0..7 no stage.
    void ShowReportedStage(int stage);
    // The sensor, definitions and ranges used for snapping and sending.
    void SetSensor(const SensorDpi& sensor);
    const SensorDpi& DpiSettings() const { return m_sensor; }

    // ---- Accessors (a stage is 0..7; other stages are ignored unless said) --
    void BlockComboSignals(bool on);
    void ClearCombo();                                   // signals blocked while it clears
    void InsertComboItem(int position, const QString& text);
    void SetComboIndex(int index);                       // stage count - 1
    void ShowLevels(int last);                           // stages 0..last shown, 0..7
    void SetLevelCount(int count);                       // 1..8
    void SetCurrentLevel(int stage);                     // outside 0..7: no current stage
    void SetLevelChecked(int stage);                     // outside 0..7: none checked
    void MoveLevelMark(int n);                           // under stage n - 1; other n hide it
    void SetLevelText(int stage, const QString& text);   // no number: a stage without a DPI
    void SetLevelColor(int stage, const QString& hex);   // "#rrggbb"; the chip is restyled later
    void HighlightLevelColor(int stage);                 // restyles every chip
    void RefreshLevelColorStyle(int stage);              // restyles one chip
    void SetSliderMinimum(int value);
    void SetSliderMaximum(int value);
    void SetSliderValue(int value);
    void BlockSliderSignals(bool on);
    void SetSliderEnabled(bool on);
    void SetSpinValue(int value);
    void SetTitleText(const QString& text);
    void LoadDPIConfig();                                // the model's DPIColor and DPIGrade
    void SelectLevel(int stage);                         // checks the stage; sends nothing

    // ---- What it shows ------------------------------------------------------
    Ui::SensorDPI* Form() const { return ui; }
    int CurrentLevel() const { return currentLevel; }  // -1: none
    int LevelCount() const { return levelCount; }
    QString LevelColor(int stage) const;                 // "r,g,b"
    QToolButton* StageButton(int stage) const;
    QToolButton* StageChip(int stage) const;
    QColorDialog* ColorDialog() const { return colorDialog; }

public slots:
    void SetColor(const QColor& color);
    void on_BlueButton_toggled(bool on);
    void on_BrightRedButton_toggled(bool on);
    void on_RedButton_toggled(bool on);
    void on_YellowButton_toggled(bool on);
    void on_GreenButton_toggled(bool on);
    void on_PurpleButton_toggled(bool on);
    void on_LightBlueButton_toggled(bool on);
    void on_LightYellowButton_toggled(bool on);
    void on_BlueButton_clicked();
    void on_BrightRedButton_clicked();
    void on_RedButton_clicked();
    void on_YellowButton_clicked();
    void on_GreenButton_clicked();
    void on_PurpleButton_clicked();
    void on_LightBlueButton_clicked();
    void on_LightYellowButton_clicked();
    void on_BlueButtonA_toggled(bool on);
    void on_BrightRedButtonA_toggled(bool on);
    void on_RedButtonA_toggled(bool on);
    void on_YellowButtonA_toggled(bool on);
    void on_GreenButtonA_toggled(bool on);
    void on_PurpleButtonA_toggled(bool on);
    void on_LightBlueButtonA_toggled(bool on);
    void on_LightYellowButtonA_toggled(bool on);
    void on_BlueButtonA_clicked();
    void on_BrightRedButtonA_clicked();
    void on_RedButtonA_clicked();
    void on_YellowButtonA_clicked();
    void on_GreenButtonA_clicked();
    void on_PurpleButtonA_clicked();
    void on_LightBlueButtonA_clicked();
    void on_LightYellowButtonA_clicked();
    void on_ChooseEvent_currentIndexChanged(int index);
    void on_horizontalSliderC_valueChanged(int value);
    void on_horizontalSliderC_sliderMoved(int value);
    void on_AddLevelA_clicked();
    void on_ReduceLevelA_clicked();

protected:
    // The marker drag (panel coordinates).
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool OwnChanging() const { return m_ownChanges > 0; }
    void ApplyStyles();
    QString StageSheet(bool large) const;
    QString ChipSheet(int stage, const QString& picture) const;
    void StageToggled(int stage, bool on);
    void StageClicked(int stage);
    void ChipToggled(int stage, bool on);
    void ChipClicked(int stage);
    // The stage's DPI (its text as a number); none for a stage without one.
    std::optional<int> StageDpi(int stage) const;
    int CheckedStage() const;  // -1: none
    // Checks a stage (or none for -1) as the panel's own change.
    void CheckStage(int stage);
    void PlaceMarker(int stage);  // hidden for -1
    void ShowCountIndex(int index);
    void ExchangeStages(int current, int last);

    // A DPI on the slider and in the value box, as the panel's own change.
    void ShowDpi(int dpi);
    // Slider: the snapped value in the value box, the page step of its range.
    DpiSnap ShowSnapped(int value);
    void SliderReleased();
    void SendDpi(int stage, int dpi);
    void ShowStoredDpi(int stage, const FlashDataMap& stored);
    void ShowStoredStage(const FlashDataMap& stored);
    void StepValue(bool up);
    void DropMarker(const QPoint& pos);

    Ui::SensorDPI* ui;
    QString picturePath;
    QString buttonColor;
    QButtonGroup* stageGroup = nullptr;
    QButtonGroup* chipGroup = nullptr;
    QColorDialog* colorDialog = nullptr;
    QVector<QToolButton*> m_stages;
    QVector<QToolButton*> m_chips;
    QVector<QRect> stageRects;
    QVector<QRect> chipRects;
    QVector<QString> levelColors;
    QRect dragArea{0, 0, 728, 194};
    bool dragging = false;
    QPoint dragOffset;
    int currentLevel = 1;
    int levelCount = 1;
    int m_countIndex = -1;       // the stage count - 1 the combo box settled on
    int m_colorStage = -1;       // the stage whose chip opened the colour dialog
    int m_ownChanges = 0;
    int m_titleWidth = 0;        // the form's title width and its gap to the count
    int m_titleGap = 0;
    bool m_sendPending = false;  // a value the user moved the slider to while pressed
    SensorDpi m_sensor;
};
