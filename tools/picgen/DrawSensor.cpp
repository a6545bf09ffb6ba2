// Pictures of the sensor page and its panels (Picture/Sensor/): the combo box
// and step pictures the panels share, and the DPI stage panel's own: the
// stage buttons (small and selected), the colour chip overlays and the stage
// marker.
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
}

}  // namespace

PICGEN_FOLDER("Sensor", drawSensor);
