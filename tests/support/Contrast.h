// Whether a widget's text can be read on what it draws: the contrast ratio
// of two colours (1 for equal colours, 21 for black on white), the colour
// that covers most of a picture of the widget (its ground), and the check of
// a palette's text colour on that ground. Header only.
#pragma once

#include <QColor>
#include <QHash>
#include <QImage>
#include <QPalette>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace testsupport {

inline double RelativeLuminance(const QColor& colour)
{
    auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
}

inline double ContrastRatio(const QColor& a, const QColor& b)
{
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The most frequent colour of the widget as it is drawn now.
inline QColor GroundColour(QWidget* widget)
{
    const QImage image = widget->grab().toImage();
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y) | 0xff000000u];
    }
    QRgb best = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            best = it.key();
        }
    }
    return QColor::fromRgb(best);
}

// The ratio the texts of the program keep at least (normal-size text).
constexpr double ReadableContrast = 4.5;

// Whether the text colour of textOwner's palette reads on the ground of drawn
// as it is drawn now: empty when it does, else "<text> on <ground>" for the
// failure message.
inline QString UnreadableText(const QWidget* textOwner, QWidget* drawn)
{
    const QColor ground = GroundColour(drawn);
    const QColor text = textOwner->palette().color(QPalette::Text);
    if (ContrastRatio(text, ground) >= ReadableContrast)
        return QString();
    return text.name() + QStringLiteral(" on ") + ground.name();
}

}  // namespace testsupport
