// The DPI stage panels' rules without widgets: the eight stages (the count
// and stage an image shows, marker positions, default colours), the model's
// default stages of Config.ini and where a dragged stage marker lands.
#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVector>

namespace DpiPanelRules {

constexpr int StageCount = 8;

inline bool ValidStage(int stage) { return stage >= 0 && stage < StageCount; }

// The stage count an image shows: its count byte within 1..8, and no more
// than maxGrade (the model's DPIMaxGrade, taken as 0..8) when that is set.
int ShownStageCount(int imageCount, int maxGrade);

// The stage an image's current-stage byte shows within a stage count: -1
// outside 0..7 or beyond the count.
inline int ShownStage(int stage, int count) { return ValidStage(stage) && stage < count ? stage : -1; }

// Where the marker stands under a stage: x 27 + 91 * stage, except stage 5
// at 483 (one pixel right of the grid) and the stages after it; y 154.
QPoint MarkerPosition(int stage);

// A stage's colour before the model gives one ("r,g,b").
QString DefaultColor(int stage);

// Config.ini DPIColor: the colour of each stage that the list gives a whole
// triple of numbers 0..255 for ("r,g,b"); an empty entry for a stage the
// list gives none or a broken one (that stage keeps its colour). Eight
// entries; items past the 24th are not read.
QVector<QString> ModelStageColors(const QStringList& dpiColor);

// Config.ini DPIGrade: the eight stage texts when the list has at least
// eight items, else none (the stages keep their texts). An item that is no
// positive number gives an empty entry (that stage keeps its text).
QVector<QString> ModelStageTexts(const QStringList& dpiGrade);

// A drop of the dragged marker: back home, home with the current stage
// sent again (dropped beyond the last stage shown), or moved by `stages`.
struct MarkerDrop {
    enum Action { Home, Resend, Move };
    Action action = Home;
    int stages = 0;
    bool operator==(const MarkerDrop& o) const { return action == o.action && stages == o.stages; }
};

// x: where the marker was dropped (panel coordinates; the drop lies on the
// marker); homeX: the marker's place under the current stage; countIndex:
// the stage count - 1 the combo box shows. The panel is 728 wide: a drop
// left of 15 or right of 706 goes home. With fewer than eight stages a drop
// right of the last stage shown (69, 160, 251, 342, 433, 524, 612 for 1..7
// stages) re-sends the current stage. Otherwise the distance from home
// picks one of fourteen windows of +/-1 .. +/-7 stages; none: home.
MarkerDrop DropMarker(int x, int homeX, int countIndex);

}  // namespace DpiPanelRules
