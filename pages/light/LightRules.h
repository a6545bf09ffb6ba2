// The lighting page's rules without widgets: which mode the list shows for
// an image, which controls each mode shows, the preset colours, the preview
// style and the colour under a press on the colour board.
#pragma once

#include "DeviceImage.h"

#include <QImage>
#include <QPointF>
#include <QRgb>
#include <QString>

#include <cstdint>
#include <optional>

namespace LightRules {

constexpr int ModeCount = 7;     // 0 off, 1..6 light effects
constexpr int PresetCount = 14;  // toolButtonColorA .. toolButtonColorN
constexpr int SliderMin = 1;     // sliders show byte + 1
constexpr int SliderMax = 10;

// The list entry an image selects: 0 while the light is off (byte 73 = 0),
// else the mode byte 67; -1 (no entry) for a mode byte the list does not hold.
int ModeIndexOf(const FlashDataMap& image);

// What a mode shows. The flat lines stand where a hidden slider would be.
struct Visibility {
    bool colour;      // colour board, spin boxes, step buttons, presets, preview
    bool brightness;  // horizontalLight with LightSpinBox_2 (else `line`)
    bool speed;       // horizontalSpeed with SpeedSpinBox_2 (else `line_2`)
};
// A mode outside 0..6 (an entry the list does not hold) shows what mode 0 shows.
Visibility VisibilityOf(int mode);

struct Rgb {
    uint8_t r;
    uint8_t g;
    uint8_t b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};
// Preset i (0 = A .. 13 = N); black for an index outside 0..13.
Rgb Preset(int i);
// The object name of preset i's button ("toolButtonColorA" ..).
QString PresetButtonName(int i);
// The picture of preset i's button ("ColorA.png" ..).
QString PresetPictureName(int i);

// The preview swatch's style sheet for a colour.
QString PreviewSheet(int r, int g, int b);

// The colour of the pixel under logicalPos (in the widget's own logical
// coordinates) of a rendering of that widget; the rendering's device pixel
// ratio turns the point into a pixel. Nothing when the rendering is null, the
// point lies outside it, or the pixel is not fully opaque (no picture there).
std::optional<QRgb> OpaquePixelAt(const QImage& rendering, const QPointF& logicalPos);

}  // namespace LightRules
