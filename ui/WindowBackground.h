// The two full-window backgrounds (the device list's "MainBack.png" and the
// page container's "BackGround.png") are border images in three bands: the
// top and bottom bands are stored as shown, the middle band is stored with
// a few rows that the style sheet stretches (a smooth gradient) or repeats
// (identical rows) to the window's height. The picture generator writes the
// pictures with these bands and the windows name them in their style
// sheets, so both read them here. A picture of a third of the rows decodes
// in a third of the time and keeps a third of the memory.
#pragma once

#include <QString>

namespace WindowBackground {

struct Bands {
    int windowHeight;
    int top;     // rows kept as they are at the top
    int bottom;  // rows kept as they are at the bottom
    int middle;  // rows stored for the band between them
    bool repeat; // the middle rows are repeated (else stretched)

    constexpr int pictureHeight() const { return top + middle + bottom; }
    constexpr int shownMiddle() const { return windowHeight - top - bottom; }
};

// The device list: the title bar and its edge on top, the floor line under
// the cards and the light below it at the bottom; between them the glow, a
// smooth radial gradient.
constexpr Bands List{700, 52, 140, 32, false};
// The page container: the title bar and its edge on top; below it every row
// is the same (the rail and the page ground).
constexpr Bands Pages{700, 111, 0, 8, true};

// The style-sheet declarations that draw picture over a widget of the
// window's size in the bands above (no border is drawn: the widths only
// place the bands).
inline QString BorderImageSheet(const QString& picture, const Bands& bands)
{
    const QString top = QString::number(bands.top);
    const QString bottom = QString::number(bands.bottom);
    return QStringLiteral("border-width:") + top + QStringLiteral("px 0px ") + bottom
           + QStringLiteral("px 0px;border-style:none;border-image: url(") + picture + QStringLiteral(") ") + top
           + QStringLiteral(" 0 ") + bottom + QStringLiteral(" 0 stretch ")
           + (bands.repeat ? QStringLiteral("repeat;") : QStringLiteral("stretch;"));
}

}  // namespace WindowBackground
