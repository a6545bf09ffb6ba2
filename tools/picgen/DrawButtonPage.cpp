// Pictures of the button page (Picture/Buttoninterface/): the mouse, the key
// buttons and their row numbers, the entries of the main list (plain, and
// with an arrow for those that open a sub-menu) and the entries of the
// sub-menus, each in a normal and a checked form.
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
}

}  // namespace

PICGEN_FOLDER("Buttoninterface", drawButtonPage);
