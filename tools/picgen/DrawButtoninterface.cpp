// Pictures of the button mapping page (Picture/Buttoninterface/). The
// debounce panel's combo box takes its pictures from here; the page adds
// its own below.
#include "ComboPictures.h"

void DrawComboPictures(PicWriter& out, const QString& folder)
{
    // The closed box: a raised field (the arrow's button is drawn over its
    // right end by the style sheet).
    out.save(folder, QStringLiteral("ComboboxBack.png"), Theme::RoundedPanel(141, 34, Theme::PanelLight, Theme::Border, 5));
    // The open list.
    {
        QImage image = Theme::Blank(141, 160, Theme::Panel);
        QPainter p(&image);
        p.setPen(Theme::Border);
        p.drawRect(0, 0, image.width() - 1, image.height() - 1);
        out.save(folder, QStringLiteral("ComboboxTextBack.png"), image);
    }
    // The arrow: down while closed, up in the accent colour while open.
    for (int open = 0; open < 2; ++open) {
        QImage image = Theme::Blank(14, 14);
        QPainter p(&image);
        Theme::Prepare(p);
        Theme::DrawArrow(p, QRectF(0, 0, 14, 14), open ? Theme::Accent : Theme::Text, open ? 2 : 3);
        out.save(folder, open ? QStringLiteral("MenuClicked.png") : QStringLiteral("Menu.png"), image);
    }
}

namespace {

void drawButtoninterface(PicWriter& out)
{
    DrawComboPictures(out, QStringLiteral("Buttoninterface"));
}

}  // namespace

PICGEN_FOLDER("Buttoninterface", drawButtoninterface);
