#include "LightRules.h"

#include <cmath>

namespace LightRules {

namespace {

// Two rows of seven, left to right.
const Rgb presets[PresetCount] = {
    {255, 0, 0},   {0, 255, 255},  {0, 255, 0},   {255, 0, 255},   {255, 255, 0},   {255, 80, 0},  {0, 0, 255},
    {227, 0, 127}, {46, 166, 223}, {96, 25, 133}, {255, 255, 255}, {139, 178, 36}, {255, 155, 51}, {208, 113, 173},
};

const Visibility visibility[ModeCount] = {
    {false, false, false},  // 0 off
    {false, true, true},    // 1 colour flow
    {true, true, true},     // 2 single-colour breathing
    {true, true, false},    // 3 mixed colours, steady
    {false, true, true},    // 4 neon
    {false, true, true},    // 5 mixed-colour breathing
    {false, true, false},   // 6 dazzling colours, steady
};

}  // namespace

int ModeIndexOf(const FlashDataMap& image)
{
    if (image.lightOn == 0)
        return 0;
    return image.lightMode < ModeCount ? int(image.lightMode) : -1;
}

Visibility VisibilityOf(int mode)
{
    return mode >= 0 && mode < ModeCount ? visibility[mode] : visibility[0];
}

Rgb Preset(int i)
{
    return i >= 0 && i < PresetCount ? presets[i] : Rgb{0, 0, 0};
}

QString PresetButtonName(int i)
{
    return QStringLiteral("toolButtonColor") + QChar('A' + i);
}

QString PresetPictureName(int i)
{
    return QStringLiteral("Color") + QChar('A' + i) + QStringLiteral(".png");
}

QString PreviewSheet(int r, int g, int b)
{
    return QStringLiteral("QLabel{background-color: rgb(%1,%2,%3);border: 2px solid  rgb(220,220,220);}").arg(r).arg(g).arg(b);
}

std::optional<QRgb> OpaquePixelAt(const QImage& rendering, const QPointF& logicalPos)
{
    if (rendering.isNull())
        return std::nullopt;
    const qreal ratio = rendering.devicePixelRatio() > 0 ? rendering.devicePixelRatio() : 1.0;
    const int x = int(std::floor(logicalPos.x() * ratio));
    const int y = int(std::floor(logicalPos.y() * ratio));
    if (!rendering.valid(x, y))
        return std::nullopt;
    const QRgb pixel = rendering.pixel(x, y);
    if (qAlpha(pixel) != 255)
        return std::nullopt;
    return pixel;
}

}  // namespace LightRules
