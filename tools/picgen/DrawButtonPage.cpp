// Pictures of the button page (Picture/Buttoninterface/): the mouse, the key
// buttons and their row numbers, the entries of the main list (plain, and
// with an arrow for those that open a sub-menu) and the entries of the
// sub-menus, each in a normal and a checked form; the number badges on the
// mouse, the profile icon, the settings buttons and the lower band.
#include "PicGen.h"

namespace {

const QString Folder = QStringLiteral("Buttoninterface");

// A flat bar with a 1-pixel border; checked bars have an accent edge on the
// left and an accent border.
QImage menuBar(int w, int h, bool checked, int radius)
{
    QImage image = Theme::RoundedPanel(w, h, checked ? Theme::PanelLight : Theme::Panel,
                                       checked ? Theme::Accent : Theme::Border, radius);
    if (checked) {
        QPainter p(&image);
        Theme::Prepare(p);
        p.setPen(Qt::NoPen);
        p.setBrush(Theme::Accent);
        p.drawRoundedRect(QRectF(1.5, 3, 3, h - 6), 1.5, 1.5);
    }
    return image;
}

// A main-list entry; `opens` draws the arrow of an entry that shows a
// sub-menu.
QImage mainEntry(bool checked, bool opens)
{
    QImage image = menuBar(164, 22, checked, 4);
    if (opens) {
        QPainter p(&image);
        Theme::Prepare(p);
        Theme::DrawArrow(p, QRectF(146, 5, 12, 12), checked ? Theme::Accent : Theme::TextDim, 1);
    }
    return image;
}

// A round badge (38 x 38) under a black key number: light at rest, warmer
// under the pointer, the accent while pressed.
QImage numberBadge(int state)
{
    static const QColor fills[] = {QColor(205, 209, 218), QColor(255, 186, 112), Theme::Accent};
    QImage image = Theme::Blank(38, 38);
    QPainter p(&image);
    Theme::Prepare(p);
    p.setPen(QPen(state == 0 ? Theme::Border : Theme::AccentDark, 1.5));
    p.setBrush(fills[state]);
    p.drawEllipse(QRectF(5, 5, 28, 28));
    return image;
}

void drawButtonPage(PicWriter& out)
{
    // The mouse seen from above, in the middle of the page's picture area.
    {
        QImage image = Theme::Blank(432, 356);
        QPainter p(&image);
        Theme::Prepare(p);
        Theme::DrawMouse(p, QRectF(56, 10, 320, 336), Theme::Panel, Theme::Border);
        out.save(Folder, QStringLiteral("mouse0.png"), image);
    }
    // Key buttons (262 x 26) and the row number beside each (24 x 24).
    out.save(Folder, QStringLiteral("AMenuTitle.png"), menuBar(262, 26, false, 5));
    out.save(Folder, QStringLiteral("AMenuTitleChecked.png"), menuBar(262, 26, true, 5));
    {
        QImage image = Theme::Blank(24, 24);
        QPainter p(&image);
        Theme::Prepare(p);
        p.setPen(QPen(Theme::Border, 1));
        p.setBrush(Theme::PanelLight);
        p.drawEllipse(QRectF(0.5, 0.5, 23, 23));
        out.save(Folder, QStringLiteral("LabelNumber.png"), image);
    }
    // Main list entries (164 x 22).
    out.save(Folder, QStringLiteral("BMenuTitle.png"), mainEntry(false, false));
    out.save(Folder, QStringLiteral("BMenuTitleChecked.png"), mainEntry(true, false));
    out.save(Folder, QStringLiteral("BMenuTitleB.png"), mainEntry(false, true));
    out.save(Folder, QStringLiteral("BMenuTitleCheckedB.png"), mainEntry(true, true));
    // Sub-menu entries (174 x 22), drawn as border images.
    out.save(Folder, QStringLiteral("CMenuTitle.png"), menuBar(174, 22, false, 4));
    out.save(Folder, QStringLiteral("CMenuTitleChecked.png"), menuBar(174, 22, true, 4));
    // The number badges over the mouse picture.
    out.save(Folder, QStringLiteral("NumberOrigin.png"), numberBadge(0));
    out.save(Folder, QStringLiteral("NumberHover.png"), numberBadge(1));
    out.save(Folder, QStringLiteral("NumberClick.png"), numberBadge(2));
    // The profile icon left of the profile box (20 x 14): three stacked
    // layers, the middle one in the accent colour.
    {
        QImage image = Theme::Blank(20, 14);
        QPainter p(&image);
        Theme::Prepare(p);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 3; ++i) {
            p.setBrush(i == 1 ? Theme::Accent : Theme::Text);
            p.drawRoundedRect(QRectF(1 + i, 1 + 4.5 * i, 18 - 2 * i, 3), 1.5, 1.5);
        }
        out.save(Folder, QStringLiteral("Config.png"), image);
    }
    // Reset, import and export (90 x 26, border images).
    out.save(Folder, QStringLiteral("Reset.png"), Theme::ButtonFace(90, 26, 0, 5));
    out.save(Folder, QStringLiteral("ResetHover.png"), Theme::ButtonFace(90, 26, 1, 5));
    out.save(Folder, QStringLiteral("ResetClick.png"), Theme::ButtonFace(90, 26, 2, 5));
    // The lower band behind the key list and the menu (862 x 216).
    out.save(Folder, QStringLiteral("TiltleBack.png"), Theme::RoundedPanel(862, 216, Theme::Panel, Theme::Border, 8));
}

}  // namespace

PICGEN_FOLDER("Buttoninterface", drawButtonPage);
