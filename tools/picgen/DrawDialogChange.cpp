// Pictures of the device list (Picture/DialogChange/): the page background,
// minimise and close, the paging arrows, the repair button, the language
// combo box, the device cards (online, offline, unknown), the offline,
// cable and wireless marks and the receivers' rate badges.
#include "ComboPictures.h"
#include "PicGen.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace {

const QString Folder = QStringLiteral("DialogChange");

QFont uiFont(int pixels, bool bold)
{
    QFont font(QStringLiteral("Noto Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QImage background()
{
    QImage image = Theme::Blank(1020, 700, Theme::Background);
    QPainter p(&image);
    Theme::Prepare(p);
    // Title bar with the product name, as on the pages.
    QLinearGradient title(0, 0, 0, 50);
    title.setColorAt(0, Theme::Panel.lighter(110));
    title.setColorAt(1, Theme::Panel);
    p.fillRect(QRectF(0, 0, 1020, 50), title);
    p.fillRect(QRectF(0, 50, 1020, 1), Theme::Border);
    p.setFont(uiFont(18, true));
    p.setPen(Theme::Text);
    p.drawText(QRectF(24, 0, 200, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("CORVANE"));
    p.setFont(uiFont(11, false));
    p.setPen(Theme::Accent);
    p.drawText(QRectF(122, 3, 200, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("DIZADI MOUSE"));

    // A soft light over the stage where the device cards stand.
    QRadialGradient glow(QPointF(510, 380), 520);
    glow.setColorAt(0, QColor(255, 128, 0, 26));
    glow.setColorAt(0.55, QColor(255, 128, 0, 8));
    glow.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillRect(QRectF(0, 51, 1020, 649), glow);
    // The floor line under the cards.
    QLinearGradient floor(60, 0, 960, 0);
    floor.setColorAt(0, QColor(0, 0, 0, 0));
    floor.setColorAt(0.5, Theme::Border.lighter(130));
    floor.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillRect(QRectF(60, 566, 900, 1), floor);
    return image;
}

QImage windowButton(bool close, int state)
{
    QImage image = Theme::Blank(20, 20);
    QPainter p(&image);
    Theme::Prepare(p);
    if (state > 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(state == 1 ? Theme::PanelLight : (close ? Theme::Danger : Theme::AccentDark));
        p.drawRoundedRect(QRectF(0, 0, 20, 20), 4, 4);
    }
    const QColor c = state == 0 ? Theme::TextDim : Theme::Text;
    if (close)
        Theme::DrawClose(p, QRectF(0, 0, 20, 20), c);
    else
        Theme::DrawMinimise(p, QRectF(0, 0, 20, 20), c);
    return image;
}

QImage arrow(int direction, bool hover)
{
    QImage image = Theme::Blank(46, 46);
    QPainter p(&image);
    Theme::Prepare(p);
    p.setPen(QPen(hover ? Theme::Accent : Theme::Border, 1.5));
    p.setBrush(hover ? Theme::PanelLight : Theme::Panel);
    p.drawEllipse(QRectF(1.5, 1.5, 43, 43));
    Theme::DrawArrow(p, QRectF(direction == 0 ? 2 : 5, 3, 40, 40), hover ? Theme::Accent : Theme::Text, direction);
    return image;
}

QImage repair()
{
    // A wrench with a warning dot: a firmware update did not finish.
    QImage image = Theme::Blank(36, 33);
    QPainter p(&image);
    Theme::Prepare(p);
    p.translate(17, 17);
    p.rotate(-45);
    QPainterPath wrench;
    wrench.addRoundedRect(QRectF(-2.6, -4, 5.2, 17), 2.4, 2.4);
    QPainterPath head;
    head.addEllipse(QPointF(0, -7), 7, 7);
    QPainterPath jaw;
    jaw.addRect(QRectF(-2.4, -15, 4.8, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::Text);
    p.drawPath(wrench.united(head).subtracted(jaw));
    p.resetTransform();
    p.setBrush(Theme::Accent);
    p.setPen(QPen(Theme::Background, 1.5));
    p.drawEllipse(QRectF(23, 2, 11, 11));
    p.setPen(QPen(Theme::Background, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(28.5, 4.8), QPointF(28.5, 8.2));
    p.drawPoint(QPointF(28.5, 10.4));
    return image;
}

// A 32 x 32 round mark: a dark disc in a coloured ring; the glyph comes on top.
QImage markBase(const QColor& ring)
{
    QImage image = Theme::Blank(32, 32);
    QPainter p(&image);
    Theme::Prepare(p);
    p.setPen(QPen(ring, 2));
    p.setBrush(Theme::Panel);
    p.drawEllipse(QRectF(2, 2, 28, 28));
    return image;
}

QImage offlineMark()
{
    QImage image = markBase(Theme::Danger);
    QPainter p(&image);
    Theme::Prepare(p);
    // Not in reach: an exclamation mark.
    p.setPen(QPen(Theme::Danger, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 9.5), QPointF(16, 18));
    p.drawPoint(QPointF(16, 22.5));
    return image;
}

QImage usbMark()
{
    QImage image = markBase(Theme::Good);
    QPainter p(&image);
    Theme::Prepare(p);
    // The USB trident.
    p.setPen(QPen(Theme::Good, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(16, 8), QPointF(16, 23));
    p.drawPolyline(QPolygonF() << QPointF(16, 19) << QPointF(11, 15.5) << QPointF(11, 13));
    p.drawPolyline(QPolygonF() << QPointF(16, 17) << QPointF(21, 13.5) << QPointF(21, 11.5));
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::Good);
    p.drawPolygon(QPolygonF() << QPointF(16, 6) << QPointF(13.5, 9.5) << QPointF(18.5, 9.5));
    p.drawEllipse(QPointF(11, 12), 1.8, 1.8);
    p.drawRect(QRectF(19.4, 9.4, 3.2, 3.2));
    p.drawEllipse(QPointF(16, 23.5), 2.2, 2.2);
    return image;
}

QImage wirelessMark()
{
    QImage image = markBase(Theme::Good);
    QPainter p(&image);
    Theme::Prepare(p);
    p.setPen(QPen(Theme::Good, 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const QPointF origin(16, 21);
    for (int i = 1; i <= 3; ++i) {
        const qreal r = 3.2 * i;
        p.drawArc(QRectF(origin.x() - r, origin.y() - r, 2 * r, 2 * r), 45 * 16, 90 * 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::Good);
    p.drawEllipse(origin, 1.8, 1.8);
    return image;
}

QImage rateBadge(const QString& rate)
{
    QImage image = Theme::Blank(42, 26);
    QPainter p(&image);
    Theme::Prepare(p);
    p.setPen(QPen(Theme::Accent, 1));
    p.setBrush(QColor(255, 128, 0, 40));
    p.drawRoundedRect(QRectF(1.5, 3.5, 39, 19), 9.5, 9.5);
    p.setPen(Theme::Accent.lighter(115));
    p.setFont(uiFont(11, true));
    p.drawText(QRectF(0, 3, 42, 20), Qt::AlignCenter, rate);
    return image;
}

enum class CardState { Online, Offline, Unknown };

// A device card of 284 x 360: a panel, the mouse with its receiver, the
// state in colour and light.
QImage deviceCard(CardState state)
{
    QImage image = Theme::Blank(284, 360);
    QPainter p(&image);
    Theme::Prepare(p);
    const QRectF card(4.5, 4.5, 275, 351);
    QLinearGradient fill(0, card.top(), 0, card.bottom());
    fill.setColorAt(0, Theme::Panel.lighter(state == CardState::Online ? 118 : 106));
    fill.setColorAt(1, Theme::Background.lighter(104));
    const QColor border = state == CardState::Online ? Theme::Accent : Theme::Border;
    p.setPen(QPen(border, state == CardState::Online ? 1.6 : 1.0));
    p.setBrush(fill);
    p.drawRoundedRect(card, 14, 14);

    if (state == CardState::Online) {
        QRadialGradient glow(QPointF(142, 170), 120);
        glow.setColorAt(0, QColor(255, 128, 0, 70));
        glow.setColorAt(1, QColor(255, 128, 0, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(QPointF(142, 170), 120, 120);
    }
    const bool dim = state != CardState::Online;
    const QColor body = dim ? Theme::PanelLight : Theme::PanelLight.lighter(125);
    const QColor line = dim ? Theme::TextDim : Theme::Text;
    p.setOpacity(state == CardState::Unknown ? 0.45 : 1.0);
    Theme::DrawMouse(p, QRectF(52, 48, 180, 250), body, line);
    Theme::DrawReceiver(p, QRectF(196, 218, 52, 70), body, line);
    p.setOpacity(1.0);

    if (state == CardState::Unknown) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(24, 26, 32, 210));
        p.drawEllipse(QPointF(142, 172), 40, 40);
        p.setPen(QPen(Theme::Accent, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(142, 172), 40, 40);
        p.setFont(uiFont(48, true));
        p.setPen(Theme::Accent);
        p.drawText(QRectF(102, 130, 80, 84), Qt::AlignCenter, QStringLiteral("?"));
    }

    // State bar at the foot of the card.
    const QColor lamp = state == CardState::Online ? Theme::Good : state == CardState::Offline ? Theme::Danger
                                                                                                 : Theme::TextDim;
    p.setPen(Qt::NoPen);
    p.setBrush(lamp);
    p.drawRoundedRect(QRectF(112, 326, 60, 4), 2, 2);
    return image;
}

void drawDialogChange(PicWriter& w)
{
    w.save(Folder, QStringLiteral("MainBack.png"), Theme::WindowBands(background(), WindowBackground::List));
    const char* states[] = {"", "Hover", "Click"};
    for (int s = 0; s < 3; ++s) {
        const QString suffix = QString::fromLatin1(states[s]) + QStringLiteral(".png");
        w.save(Folder, QStringLiteral("Min") + suffix, windowButton(false, s));
        w.save(Folder, QStringLiteral("Close") + suffix, windowButton(true, s));
    }
    w.save(Folder, QStringLiteral("Left.png"), arrow(0, false));
    w.save(Folder, QStringLiteral("LeftClick.png"), arrow(0, true));
    w.save(Folder, QStringLiteral("Right.png"), arrow(1, false));
    w.save(Folder, QStringLiteral("RightClick.png"), arrow(1, true));
    w.save(Folder, QStringLiteral("Repair.png"), repair());
    DrawComboPictures(w, Folder);

    w.save(Folder, QStringLiteral("OnLine0.png"), deviceCard(CardState::Online));
    w.save(Folder, QStringLiteral("DisOnlin0.png"), deviceCard(CardState::Offline));
    w.save(Folder, QStringLiteral("Unknow.png"), deviceCard(CardState::Unknown));
    w.save(Folder, QStringLiteral("DisOnline.png"), offlineMark());
    w.save(Folder, QStringLiteral("OnLineUsb.png"), usbMark());
    w.save(Folder, QStringLiteral("OnLineWifi.png"), wirelessMark());
    w.save(Folder, QStringLiteral("1KHz.png"), rateBadge(QStringLiteral("1KHz")));
    w.save(Folder, QStringLiteral("2KHz.png"), rateBadge(QStringLiteral("2KHz")));
    w.save(Folder, QStringLiteral("4KHz.png"), rateBadge(QStringLiteral("4KHz")));
    w.save(Folder, QStringLiteral("8KHz.png"), rateBadge(QStringLiteral("8KHz")));
}

}  // namespace

PICGEN_FOLDER("DialogChange", drawDialogChange);
