// Pictures of the page container and the main window (Picture/Dialog/):
// the background, the five page buttons, minimise, close, back, the
// battery outline with its charging mark, and the tray icon.
#include "PicGen.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QtMath>

namespace {

QColor stateColor(int state)
{
    return state == 0 ? Theme::TextDim : state == 1 ? Theme::Text : Theme::Accent;
}

void drawHome(QPainter& p, const QRectF& r, const QColor& c)
{
    p.setPen(QPen(c, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPolygonF roof;
    roof << QPointF(r.left() + 3, r.center().y() - 1) << QPointF(r.center().x(), r.top() + 4)
         << QPointF(r.right() - 3, r.center().y() - 1);
    p.drawPolyline(roof);
    const QRectF body(r.left() + 7, r.center().y() - 3, r.width() - 14, r.bottom() - 4 - (r.center().y() - 3));
    p.drawPolyline(QPolygonF() << body.topLeft() << body.bottomLeft() << body.bottomRight() << body.topRight());
    p.drawRect(QRectF(r.center().x() - 2.5, body.bottom() - 7, 5, 7));
}

void drawSensor(QPainter& p, const QRectF& r, const QColor& c)
{
    p.setPen(QPen(c, 2));
    p.setBrush(Qt::NoBrush);
    const QPointF m = r.center();
    p.drawEllipse(m, r.width() * 0.3, r.width() * 0.3);
    p.setBrush(c);
    p.drawEllipse(m, 2.5, 2.5);
    p.setBrush(Qt::NoBrush);
    const qreal a = r.width() * 0.42, b = r.width() * 0.22;
    p.drawLine(QPointF(m.x(), m.y() - a), QPointF(m.x(), m.y() - b));
    p.drawLine(QPointF(m.x(), m.y() + a), QPointF(m.x(), m.y() + b));
    p.drawLine(QPointF(m.x() - a, m.y()), QPointF(m.x() - b, m.y()));
    p.drawLine(QPointF(m.x() + a, m.y()), QPointF(m.x() + b, m.y()));
}

void drawMacro(QPainter& p, const QRectF& r, const QColor& c)
{
    // A keycap with a small record dot: recorded key sequences.
    p.setPen(QPen(c, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(4, 6, -4, -6), 3, 3);
    for (int i = 0; i < 3; ++i)
        p.drawPoint(QPointF(r.left() + 9 + i * 6, r.center().y() - 2));
    p.drawLine(QPointF(r.left() + 10, r.center().y() + 4), QPointF(r.right() - 10, r.center().y() + 4));
}

void drawLight(QPainter& p, const QRectF& r, const QColor& c)
{
    p.setPen(QPen(c, 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const QPointF m = r.center();
    p.drawEllipse(m, 5, 5);
    for (int i = 0; i < 8; ++i) {
        const qreal angle = i * M_PI / 4;
        p.drawLine(QPointF(m.x() + 8.5 * qCos(angle), m.y() + 8.5 * qSin(angle)),
                   QPointF(m.x() + 12 * qCos(angle), m.y() + 12 * qSin(angle)));
    }
}

void drawGear(QPainter& p, const QRectF& r, const QColor& c)
{
    const QPointF m = r.center();
    QPainterPath gear;
    const int teeth = 8;
    const qreal outer = r.width() * 0.4, inner = r.width() * 0.3;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal a0 = (i - 0.5) * M_PI / teeth, a1 = (i + 0.5) * M_PI / teeth;
        const qreal rad = (i % 2 == 0) ? outer : inner;
        const QPointF p0(m.x() + rad * qCos(a0), m.y() + rad * qSin(a0));
        const QPointF p1(m.x() + rad * qCos(a1), m.y() + rad * qSin(a1));
        if (i == 0)
            gear.moveTo(p0);
        else
            gear.lineTo(p0);
        gear.lineTo(p1);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(m, r.width() * 0.13, r.width() * 0.13);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(gear.subtracted(hole));
}

using Glyph = void (*)(QPainter&, const QRectF&, const QColor&);

QImage glyphImage(int w, int h, Glyph glyph, const QColor& c)
{
    QImage image = Theme::Blank(w, h);
    QPainter p(&image);
    Theme::Prepare(p);
    glyph(p, QRectF(0, 0, w, h), c);
    return image;
}

// A page button: the glyph, and a bar under it when checked.
QImage pageButton(Glyph glyph, int state)
{
    QImage image = glyphImage(30, 30, glyph, stateColor(state));
    if (state == 2) {
        QPainter p(&image);
        Theme::Prepare(p);
        p.setPen(Qt::NoPen);
        p.setBrush(Theme::Accent);
        p.drawRoundedRect(QRectF(6, 28, 18, 2), 1, 1);
    }
    return image;
}

QImage windowButton(int w, int h, Glyph glyph, int state)
{
    QImage image = Theme::Blank(w, h);
    QPainter p(&image);
    Theme::Prepare(p);
    if (state > 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(state == 1 ? Theme::PanelLight : Theme::AccentDark);
        p.drawRoundedRect(QRectF(0, 0, w, h), 4, 4);
    }
    glyph(p, QRectF(0, 0, w, h), state == 0 ? Theme::TextDim : Theme::Text);
    return image;
}

void drawMinGlyph(QPainter& p, const QRectF& r, const QColor& c) { Theme::DrawMinimise(p, r, c); }
void drawCloseGlyph(QPainter& p, const QRectF& r, const QColor& c) { Theme::DrawClose(p, r, c); }
void drawBackGlyph(QPainter& p, const QRectF& r, const QColor& c) { Theme::DrawArrow(p, r, c, 0); }

QImage background()
{
    QImage image = Theme::Blank(1020, 700, Theme::Background);
    QPainter p(&image);
    Theme::Prepare(p);
    // Title bar.
    QLinearGradient title(0, 0, 0, 111);
    title.setColorAt(0, Theme::Panel.lighter(110));
    title.setColorAt(1, Theme::Panel);
    p.fillRect(QRectF(0, 0, 1020, 111), title);
    p.fillRect(QRectF(0, 110, 1020, 1), Theme::Border);
    // Left rail that holds the back arrow.
    p.fillRect(QRectF(0, 111, 134, 589), Theme::Panel.darker(110));
    p.fillRect(QRectF(134, 111, 1, 589), Theme::Border);
    // The product name in the corner.
    QFont font(QStringLiteral("Noto Sans"));
    font.setPixelSize(20);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Theme::Text);
    p.drawText(QRectF(24, 20, 200, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("CORVANE"));
    font.setPixelSize(12);
    font.setBold(false);
    p.setFont(font);
    p.setPen(Theme::Accent);
    p.drawText(QRectF(24, 48, 200, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("DIZADI MOUSE"));
    p.setPen(QPen(Theme::Accent, 2));
    p.drawLine(QPointF(24, 74), QPointF(60, 74));
    return image;
}

QImage battery()
{
    QImage image = Theme::Blank(43, 20);
    QPainter p(&image);
    Theme::Prepare(p);
    p.setPen(QPen(Theme::Text, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(0.75, 0.75, 39.5, 18.5), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::Text);
    p.drawRoundedRect(QRectF(40.5, 6, 2.5, 8), 1, 1);
    return image;
}

QImage chargingMark()
{
    QImage image = Theme::Blank(17, 7);
    QPainter p(&image);
    Theme::Prepare(p);
    QPolygonF bolt;
    bolt << QPointF(10, 0) << QPointF(3, 4) << QPointF(8, 4) << QPointF(6, 7) << QPointF(14, 2.5) << QPointF(9, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::Background);
    p.drawPolygon(bolt);
    return image;
}

}  // namespace

QImage DrawLogo(int size)
{
    QImage image = Theme::Blank(size, size);
    QPainter p(&image);
    Theme::Prepare(p);
    p.scale(size / 64.0, size / 64.0);  // drawn on a 64-pixel grid at every size
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::Accent);
    p.drawEllipse(QRectF(2, 2, 60, 60));
    Theme::DrawMouse(p, QRectF(8, 6, 48, 52), Theme::Panel, Theme::Text);
    return image;
}

namespace {

void drawDialog(PicWriter& w)
{
    const QString folder = QStringLiteral("Dialog");
    w.save(folder, QStringLiteral("BackGround.png"), Theme::WindowBands(background(), WindowBackground::Pages));
    w.save(folder, QStringLiteral("Battery.png"), battery());
    w.save(folder, QStringLiteral("Charg.png"), chargingMark());
    w.save(folder, QStringLiteral("Logo.png"), DrawLogo(64));

    struct Page {
        const char* name;
        const char* checked;
        Glyph glyph;
    };
    const Page pages[] = {{"Home", "HomeChecked", drawHome},
                          {"Sensor", "SensorChecked", drawSensor},
                          {"Macro", "MacroChecked", drawMacro},
                          {"Light", "LightChecked", drawLight}};
    for (const Page& page : pages) {
        const QString base = QString::fromLatin1(page.name);
        w.save(folder, base + QStringLiteral(".png"), pageButton(page.glyph, 0));
        w.save(folder, base + QStringLiteral("Hover.png"), pageButton(page.glyph, 1));
        w.save(folder, QString::fromLatin1(page.checked) + QStringLiteral(".png"), pageButton(page.glyph, 2));
    }
    // The settings button is both a page button (checked) and a window
    // button (pressed): one set of pictures serves both.
    w.save(folder, QStringLiteral("Setting.png"), pageButton(drawGear, 0));
    w.save(folder, QStringLiteral("SettingHover.png"), pageButton(drawGear, 1));
    w.save(folder, QStringLiteral("SettingClick.png"), pageButton(drawGear, 2));

    const char* states[] = {"", "Hover", "Click"};
    for (int s = 0; s < 3; ++s) {
        const QString suffix = QString::fromLatin1(states[s]) + QStringLiteral(".png");
        w.save(folder, QStringLiteral("Min") + suffix, windowButton(20, 20, drawMinGlyph, s));
        w.save(folder, QStringLiteral("Close") + suffix, windowButton(20, 20, drawCloseGlyph, s));
        w.save(folder, QStringLiteral("PageChange") + suffix, windowButton(34, 30, drawBackGlyph, s));
    }
}

}  // namespace

PICGEN_FOLDER("Dialog", drawDialog);
