#include "DpiPanelRules.h"

#include "ColorText.h"

namespace DpiPanelRules {

int ShownStageCount(int imageCount, int maxGrade)
{
    const int grade = qBound(0, maxGrade, StageCount);
    const int count = qBound(1, imageCount, StageCount);
    return grade > 0 ? qMin(count, grade) : count;
}

QPoint MarkerPosition(int stage)
{
    static const int x[StageCount] = {27, 118, 209, 300, 391, 483, 573, 664};
    return ValidStage(stage) ? QPoint(x[stage], 154) : QPoint();
}

QString DefaultColor(int stage)
{
    static const char* const colors[StageCount] = {"255,0,0",   "0,0,255",   "0,255,0", "255,170,0",
                                                   "255,0,255", "255,255,0", "159,0,0", "0,212,252"};
    return ValidStage(stage) ? QLatin1String(colors[stage]) : QString();
}

QVector<QString> ModelStageColors(const QStringList& dpiColor)
{
    QVector<QString> colors(StageCount);
    for (int stage = 0; stage < StageCount && 3 * stage + 2 < dpiColor.size(); ++stage)
        colors[stage] = ColorTextFromList(dpiColor.mid(3 * stage, 3), QString());
    return colors;
}

QVector<QString> ModelStageTexts(const QStringList& dpiGrade)
{
    if (dpiGrade.size() < StageCount)
        return {};
    QVector<QString> texts(StageCount);
    for (int stage = 0; stage < StageCount; ++stage) {
        bool ok = false;
        const int dpi = dpiGrade.at(stage).trimmed().toInt(&ok, 10);
        if (ok && dpi > 0)
            texts[stage] = QString::number(dpi);
    }
    return texts;
}

MarkerDrop DropMarker(int x, int homeX, int countIndex)
{
    if (x < 15 || x > 706)
        return {};
    // The right edge of the last stage button shown, by stage count - 1
    // (the last one 3 pixels short of it).
    static const int limits[StageCount - 1] = {69, 160, 251, 342, 433, 524, 612};
    if (countIndex >= 0 && countIndex < StageCount - 1 && x > limits[countIndex])
        return {MarkerDrop::Resend, 0};
    struct Window {
        int from;
        int to;
        int stages;
    };
    // Tried in this order; each includes both ends.
    static const Window windows[] = {
        {78, 129, 1},    {-102, -51, -1}, {168, 214, 2},   {-192, -144, -2}, {264, 317, 3},
        {-284, -236, -3}, {361, 389, 4},   {-369, -327, -4}, {443, 495, 5},    {-465, -411, -5},
        {538, 591, 6},   {-556, -504, -6}, {623, 669, 7},   {-646, -599, -7},
    };
    const int d = x - homeX;
    for (const Window& w : windows) {
        if (d >= w.from && d <= w.to)
            return {MarkerDrop::Move, w.stages};
    }
    return {};
}

}  // namespace DpiPanelRules
