#include "DpiModel.h"

#include <QtGlobal>

#include <limits>

namespace {

constexpr uint8_t StepFlags = 0x22;    // one code step is 100 DPI
constexpr uint8_t DoubleFlags = 0x11;  // the value is doubled

// v + step without leaving int (a range may end near the largest int).
int stepUp(int v, int step)
{
    return int(qMin<qint64>(qint64(v) + step, std::numeric_limits<int>::max()));
}

std::optional<int> decimal(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

}  // namespace

// ---- ranges ------------------------------------------------------------------

int DpiRanges::Minimum() const
{
    return count > 0 ? mins.first() : DefaultMinimum;
}

int DpiRanges::Maximum() const
{
    return count > 0 ? maxs.last() : DefaultMaximum;
}

DpiRanges ParseDpiRanges(const QStringList& items, const QString& xIn1Text)
{
    DpiRanges r;
    r.xIn1 = decimal(xIn1Text).value_or(0);
    if (items.isEmpty())
        return r;
    bool ok = false;
    // Base 16 takes an optional "0x" in front of the digits.
    const int mode = items.last().trimmed().toInt(&ok, 16);
    r.mode = ok ? mode : 0;

    const int count = (items.size() - 1) / 3;
    if (count < 1 || count > DpiRanges::MaxRanges)
        return r;
    DpiRanges parsed = r;
    for (int k = 0; k < count; ++k) {
        const std::optional<int> min = decimal(items.at(3 * k));
        const std::optional<int> max = decimal(items.at(3 * k + 1));
        const std::optional<int> step = decimal(items.at(3 * k + 2));
        if (!min || !max || !step || *step < 1 || *min < 1 || *min > *max)
            return r;  // one broken range makes the whole list unusable
        parsed.mins.append(*min);
        parsed.maxs.append(*max);
        parsed.steps.append(*step);
        for (int i = 0; i < 3; ++i)
            parsed.texts.append(items.at(3 * k + i).trimmed());
    }
    parsed.count = count;
    return parsed;
}

// ---- snapping and stepping -------------------------------------------------------

DpiSnap SnapDpi(const DpiRanges& r, int v)
{
    for (int k = 0; k < r.count; ++k) {
        if (v >= r.mins[k] && v <= r.maxs[k])
            return {v - (v - r.mins[k]) % r.steps[k], r.steps[k]};
        if (k + 1 < r.count && v > r.maxs[k] && v < r.mins[k + 1])
            return {r.mins[k + 1], r.steps[k + 1]};
    }
    return {v, 0};
}

int StepDpi(const DpiRanges& r, int v, bool up)
{
    for (int k = 0; k < r.count; ++k) {
        const bool last = k + 1 == r.count;
        if (up) {
            if (!last && v >= r.mins[k] && v < r.maxs[k])
                return stepUp(v, r.steps[k]);
            if (!last && v >= r.maxs[k] && v < r.mins[k + 1])
                return r.mins[k + 1];
            if (last && v >= r.mins[k] && v <= r.maxs[k])
                return stepUp(v, r.steps[k]);
        } else {
            if (v >= r.mins[k] && v <= r.maxs[k])
                return v - r.steps[k];
            if (!last && v > r.maxs[k] && v < r.mins[k + 1])
                return r.mins[k + 1];
        }
    }
    return v;
}

// ---- register codes ------------------------------------------------------------------

bool SensorDpi::TenBitSensor(const QString& name)
{
    return name == QLatin1String("3395") || name == QLatin1String("3950");
}

DpiRegister SensorDpi::Encode(int dpi, uint8_t presentFlags) const
{
    dpi = qMax(0, dpi);
    uint8_t flags = 0;
    int multiplier = 1;
    // Only ranges that exist are looked at: without usable ranges the value
    // goes out undoubled.
    if (ranges.count > 0) {
        if (ranges.mode == 0x33) {
            for (int k = ranges.count - 1; k >= 0; --k) {
                if (dpi <= ranges.maxs[k])
                    continue;
                if (k == 3) {
                    flags = 0x33;
                    multiplier = 4;
                } else if (k == 2) {
                    flags = DoubleFlags;
                    multiplier = 2;
                } else if (k == 1) {
                    flags = StepFlags;
                    multiplier = 2;
                }
                break;
            }
        } else if ((ranges.mode == StepFlags || ranges.mode == DoubleFlags) && dpi > ranges.maxs.first()) {
            flags = uint8_t(ranges.mode);
            multiplier = 2;
        }
    }

    if (defines.HasDpiTable(sensorName)) {
        int code = defines.DpiCode(sensorName, dpi / multiplier);
        if (code < 0)
            code = dpi / ((presentFlags & StepFlags) ? 100 : 50);
        return {uint8_t(qBound(0, code, 255)), flags};
    }

    int code = dpi / (multiplier * 50) - 1;
    if (TenBitSensor(sensorName)) {
        code = qBound(0, code, 1023);
        const int high = code >> 8;  // 0..3
        flags = uint8_t(flags | (((high << 4) | high) << 2));
        return {uint8_t(code & 0xFF), flags};
    }
    return {uint8_t(qBound(0, code, 255)), flags};
}

std::optional<int> SensorDpi::Decode(uint8_t code, uint8_t flags) const
{
    qint64 dpi = 0;
    if (defines.HasDpiTable(sensorName)) {
        dpi = defines.DpiFromCode(sensorName, code);
        if (dpi <= 0)
            return std::nullopt;
        if (flags & StepFlags)
            dpi *= 2;
    } else {
        int full = code;
        if (TenBitSensor(sensorName))
            full += ((flags >> 6) & 0x3) << 8;
        dpi = qint64(full + 1) * ((flags & StepFlags) ? 100 : 50);
    }
    if (flags & DoubleFlags)
        dpi *= 2;
    // A table name may carry any number; one no int holds is no DPI either.
    if (dpi > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(dpi);
}
