// Pictures of the macro page (Picture/Macro/): the tool buttons
// ("Button.png", hover, pressed; 116 x 30), the record and stop buttons
// (190 x 32, with a hover picture each), the icons of the event list's rows
// (a press, a release, a delay; 16 x 16), the list scroll bar's arrows
// (15 x 15), and the check boxes and the event choice's combo box as the
// other pages draw them.
#include "ComboPictures.h"
#include "ControlPictures.h"

namespace {

// A record or stop button: the button face with its sign at the left.
QImage recordButton(bool stop, bool hover)
{
    const int w = 190, h = 32;
    QImage image = Theme::ButtonFace(w, h, hover ? 1 : 0, 6);
    QPainter p(&image);
    Theme::Prepare(p);
    const QPointF centre(20, h / 2.0);
    p.setPen(Qt::NoPen);
    p.setBrush(hover ? Theme::Danger.lighter(115) : Theme::Danger);
    if (stop)
        p.drawRoundedRect(QRectF(centre.x() - 5, centre.y() - 5, 10, 10), 2, 2);
    else
        p.drawEllipse(centre, 6, 6);
    return image;
}

// The row icons: a key going down (press), coming up (release), a clock (delay).
QImage rowIcon(int kind)
{
    const int size = 16;
    QImage image = Theme::Blank(size, size);
    QPainter p(&image);
    Theme::Prepare(p);
    const QRectF box(0, 0, size, size);
    if (kind == 2) {
        p.setPen(QPen(Theme::TextDim, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(box.center(), 6, 6);
        p.setPen(QPen(Theme::Text, 1.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(box.center(), QPointF(box.center().x(), 4));
        p.drawLine(box.center(), QPointF(11, box.center().y()));
        return image;
    }
    const bool press = kind == 0;
    const QColor colour = press ? Theme::Accent : Theme::Good;
    // The key cap: a bar at the bottom, the arrow above it.
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(3, 13, 10, 2), 1, 1);
    p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(8, 2), QPointF(8, 10));
    p.setBrush(Qt::NoBrush);
    QPolygonF head;
    if (press)
        head << QPointF(4.5, 7) << QPointF(8, 10.5) << QPointF(11.5, 7);
    else
        head << QPointF(4.5, 5.5) << QPointF(8, 2) << QPointF(11.5, 5.5);
    p.drawPolyline(head);
    return image;
}

QImage scrollArrow(bool up)
{
    QImage image = Theme::Blank(15, 15);
    QPainter p(&image);
    Theme::Prepare(p);
    Theme::DrawArrow(p, QRectF(0, 0, 15, 15), Theme::TextDim, up ? 2 : 3);
    return image;
}

void drawMacro(PicWriter& out)
{
    const QString folder = QStringLiteral("Macro");
    out.save(folder, QStringLiteral("Button.png"), Theme::ButtonFace(116, 30, 0, 6));
    out.save(folder, QStringLiteral("ButtonHover.png"), Theme::ButtonFace(116, 30, 1, 6));
    out.save(folder, QStringLiteral("ButtonClick.png"), Theme::ButtonFace(116, 30, 2, 6));
    out.save(folder, QStringLiteral("Record.png"), recordButton(false, false));
    out.save(folder, QStringLiteral("RecordHover.png"), recordButton(false, true));
    out.save(folder, QStringLiteral("Stop.png"), recordButton(true, false));
    out.save(folder, QStringLiteral("StopHover.png"), recordButton(true, true));
    out.save(folder, QStringLiteral("MacroDown.png"), rowIcon(0));
    out.save(folder, QStringLiteral("MacroUp.png"), rowIcon(1));
    out.save(folder, QStringLiteral("MacroTime.png"), rowIcon(2));
    out.save(folder, QStringLiteral("Up.png"), scrollArrow(true));
    out.save(folder, QStringLiteral("Down.png"), scrollArrow(false));
    DrawCheckBoxPictures(out, folder);
    DrawComboPictures(out, folder);
}

}  // namespace

PICGEN_FOLDER("Macro", drawMacro);
