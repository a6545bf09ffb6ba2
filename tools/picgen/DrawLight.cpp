// Pictures of the lighting page (Picture/Light/). The sleep-time panel's
// combo box takes its pictures from here; the page adds its own below.
#include "ComboPictures.h"

namespace {

void drawLight(PicWriter& out)
{
    DrawComboPictures(out, QStringLiteral("Light"));
}

}  // namespace

PICGEN_FOLDER("Light", drawLight);
