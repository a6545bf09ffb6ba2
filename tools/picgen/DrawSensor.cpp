// Pictures of the sensor page and its panels (Picture/Sensor/): the combo box,
// step and switch pictures the panels share, and the page's own: the stage
// buttons (small and selected), the colour chip overlays, the stage marker,
// the title marker, the report-rate buttons and the check-box indicators of
// the option panels.
//
// The chips show the stage's colour as their background: their pictures are
// see-through inside and only frame and light the colour.
#include "ComboPictures.h"
#include "ControlPictures.h"

namespace {

// A stage button: a raised field; the selected one larger with an accent rim.
QImage stageButton(bool selected)
{
    const int w = selected ? 68 : 54;
    const int h = selected ? 70 : 56;
    QImage image = Theme::Blank(w, h);
    QPainter p(&image);
    Theme::Prepare(p);
    const qreal rim = selected ? 2 : 1;
    p.setPen(QPen(selected ? Theme::Accent : Theme::Border, rim));
    p.setBrush(selected ? Theme::PanelLight.lighter(115) : Theme::PanelLight);
    p.drawRoundedRect(QRectF(rim / 2, rim / 2, w - rim, h - rim), 6, 6);
    return image;
}

// The overlay of a colour chip: a dark frame and a light upper half.
QImage chip(bool selected)
{
    const int w = selected ? 66 : 50;
    const int h = selected ? 14 : 12;
    QImage image = Theme::Blank(w, h);
    QPainter p(&image);
    Theme::Prepare(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 50));
    p.drawRoundedRect(QRectF(1, 1, w - 2, h / 2 - 1), 2, 2);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(selected ? QColor(255, 255, 255, 230) : QColor(0, 0, 0, 140), selected ? 2 : 1));
    const qreal inset = selected ? 1 : 0.5;
    p.drawRoundedRect(QRectF(inset, inset, w - 2 * inset, h - 2 * inset), 3, 3);
    return image;
}

// The stage marker under the current stage: a triangle pointing up at it.
QImage marker(bool hover)
{
    QImage image = Theme::Blank(30, 30);
    QPainter p(&image);
    Theme::Prepare(p);
    p.setPen(Qt::NoPen);
    p.setBrush(hover ? Theme::Accent : Theme::Text);
    const QPointF triangle[3] = {QPointF(15, 6), QPointF(24, 20), QPointF(6, 20)};
    p.drawPolygon(triangle, 3);
    p.drawRoundedRect(QRectF(8, 22, 14, 3), 1.5, 1.5);
    return image;
}

// The marker in front of a panel's title (16 x 10): an accent bar.
QImage title()
{
    QImage image = Theme::Blank(16, 10);
    QPainter p(&image);
    Theme::Prepare(p);
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::Accent);
    p.drawRoundedRect(QRectF(1, 2, 4, 6), 1, 1);
    p.setBrush(Theme::AccentDark);
    p.drawRoundedRect(QRectF(7, 3.5, 8, 3), 1.5, 1.5);
    return image;
}

// A report-rate button (74 x 26), the chosen one lit in the accent.
QImage rateButton(bool checked)
{
    return Theme::ButtonFace(74, 26, checked ? 2 : 0, 5);
}

// A check-box indicator (14 x 14): an empty rounded box, or one with a tick.
QImage indicator(bool checked)
{
    QImage image = Theme::Blank(14, 14);
    QPainter p(&image);
    Theme::Prepare(p);
    p.setPen(QPen(checked ? Theme::Accent : Theme::Border, 1));
    p.setBrush(checked ? Theme::Accent : Theme::PanelLight);
    p.drawRoundedRect(QRectF(0.5, 0.5, 13, 13), 3, 3);
    if (checked)
        Theme::DrawCheck(p, QRectF(1, 1, 12, 12), Qt::white);
    return image;
}

void drawSensor(PicWriter& out)
{
    const QString folder = QStringLiteral("Sensor");
    DrawComboPictures(out, folder);
    DrawStepPictures(out, folder);
    out.save(folder, QStringLiteral("MinA.png"), stageButton(false));
    out.save(folder, QStringLiteral("MaxA.png"), stageButton(true));
    out.save(folder, QStringLiteral("MinB.png"), chip(false));
    out.save(folder, QStringLiteral("MaxB.png"), chip(true));
    out.save(folder, QStringLiteral("Level.png"), marker(false));
    out.save(folder, QStringLiteral("LevelHover.png"), marker(true));
    out.save(folder, QStringLiteral("Title.png"), title());
    out.save(folder, QStringLiteral("ReportRate.png"), rateButton(false));
    out.save(folder, QStringLiteral("ReportRateClick.png"), rateButton(true));
    out.save(folder, QStringLiteral("LOD.png"), indicator(false));
    out.save(folder, QStringLiteral("LODCheck.png"), indicator(true));
    DrawSwitchPictures(out, folder);
}

}  // namespace

PICGEN_FOLDER("Sensor", drawSensor);
