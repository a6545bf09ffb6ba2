// Pictures of the lighting page's own controls (Picture/Light/, beside the
// combo box pictures of DrawLight.cpp): the colour board, the 14 preset
// swatches, the step buttons and the slider handle (ControlPictures.h), the
// preview placeholder and the two faces of the lights-off-while-moving switch.
//
// The colour board is opaque everywhere: the page reads the colour of a press
// from the board's own rendering, so every pixel it shows is a colour the
// pick can take.
#include "ControlPictures.h"

#include <QPainterPath>

namespace {

const char* const Folder = "Light";

// Must match the page's preset table (two rows of seven, A..N).
const QColor presetColors[14] = {
    {255, 0, 0},   {0, 255, 255},  {0, 255, 0},   {255, 0, 255},   {255, 255, 0},   {255, 80, 0},  {0, 0, 255},
    {227, 0, 127}, {46, 166, 223}, {96, 25, 133}, {255, 255, 255}, {139, 178, 36}, {255, 155, 51}, {208, 113, 173},
};

// 308 x 34: the hue runs left to right; the upper half fades from pale to
// the full colour, the lower half from the full colour to dark. A last
// strip on the right runs from white to black for the greys.
QImage colorBoard()
{
    const int w = 308;
    const int h = 34;
    const int greyStrip = 14;
    QImage image(w, h, QImage::Format_RGB32);
    const int hueWidth = w - greyStrip;
    const int middle = h / 2;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            QColor c;
            if (x >= hueWidth) {
                const int v = 255 - (y * 255) / (h - 1);
                c = QColor(v, v, v);
            } else {
                const qreal hue = qreal(x) / hueWidth;  // 0 .. <1
                if (y < middle) {
                    const qreal saturation = 0.15 + 0.85 * qreal(y) / (middle - 1);
                    c = QColor::fromHsvF(hue, qMin<qreal>(1.0, saturation), 1.0);
                } else {
                    const qreal value = 1.0 - 0.8 * qreal(y - middle) / (h - 1 - middle);
                    c = QColor::fromHsvF(hue, 1.0, value);
                }
            }
            image.setPixel(x, y, c.rgb());
        }
    }
    return image;
}

QImage swatch(const QColor& color)
{
    QImage image = Theme::Blank(28, 28);
    QPainter p(&image);
    Theme::Prepare(p);
    p.setPen(QPen(Theme::Border, 1));
    p.setBrush(color);
    p.drawRoundedRect(QRectF(1.5, 1.5, 25, 25), 5, 5);
    // A light rim so that dark colours stand out on the dark page.
    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(2.5, 2.5, 23, 23), 4, 4);
    return image;
}

// Shown until the page has a colour to preview: a checkerboard.
QImage previewPlaceholder()
{
    QImage image = Theme::Blank(60, 60, Theme::Panel);
    QPainter p(&image);
    for (int y = 0; y < 60; y += 10) {
        for (int x = 0; x < 60; x += 10) {
            if (((x + y) / 10) % 2 == 0)
                p.fillRect(x, y, 10, 10, Theme::PanelLight);
        }
    }
    p.setPen(QPen(QColor(220, 220, 220), 2));
    p.drawRect(QRectF(1, 1, 58, 58));
    return image;
}

void drawLightPage(PicWriter& out)
{
    const QString folder = QString::fromLatin1(Folder);
    out.save(folder, QStringLiteral("ColorBoard.png"), colorBoard());
    for (int i = 0; i < 14; ++i)
        out.save(folder, QStringLiteral("Color") + QChar('A' + i) + QStringLiteral(".png"), swatch(presetColors[i]));
    DrawStepPictures(out, folder);
    out.save(folder, QStringLiteral("PreviewColor.png"), previewPlaceholder());
    DrawSwitchPictures(out, folder);
}

}  // namespace

PICGEN_FOLDER("Light", drawLightPage);
