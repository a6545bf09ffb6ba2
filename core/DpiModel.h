// The DPI rules of the sensor page without widgets: the DPI ranges of a
// device model, the snapping and stepping of a DPI value within them, and
// the conversion between a DPI value and the sensor register code plus flag
// byte that a stage record of the device image holds.
//
// DPI values are not free integers. A model has up to four ranges (Config.ini
// "DPIRange": min 1, max 1, step 1, ..., min n, max n, step n, mode), each with
// its own step; values between two ranges do not exist. The device stores no
// DPI values, only register codes: through the sensor's table in
// driver_sensor.h when it has one, else by the formula code = dpi / 50 - 1.
//
// Flag byte of a stage record, as the conversion uses it:
//   0x22 (bits 1, 5)  one code step is 100 DPI instead of 50
//   0x11 (bits 0, 4)  the value is doubled
//   0xC0 and 0x0C     bits 8-9 of a 10-bit code (sensors "3395" and "3950"
//                     without a table), once in bits 6-7, once in bits 2-3
#pragma once

#include "SensorDefines.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <cstdint>
#include <optional>

// The DPI ranges of one model, parsed once per fill and held by the page as
// one value. A list that cannot be used as a whole (fewer than one or more
// than four ranges, a part that is not a number, a step below 1, a minimum
// below 1 or above its maximum) gives count 0: no snapping, no stepping, the
// encoder's flags stay 0, and the slider keeps the form's bounds.
struct DpiRanges {
    static constexpr int MaxRanges = 4;
    static constexpr int DefaultMinimum = 50;
    static constexpr int DefaultMaximum = 32000;

    int mode = 0;    // the list's last item, hexadecimal ("0x22" or "22"); 0 when no number
    int count = 0;   // ranges in use, 1..4; 0 when the list is unusable
    QVector<int> mins;   // count entries each, in the list's order
    QVector<int> maxs;
    QVector<int> steps;
    QStringList texts;   // min, max, step of each range as the list spells them
    int xIn1 = 0;        // "XIn1" of the model, read with the ranges; no rule here depends on it

    // The slider's bounds: the first range's minimum and the last range's
    // maximum; DefaultMinimum..DefaultMaximum when the list is unusable.
    int Minimum() const;
    int Maximum() const;
};

// items: Config.ini "DPIRange" as a list (an empty list is allowed);
// xIn1Text: "XIn1" (decimal; 0 when it is no number).
DpiRanges ParseDpiRanges(const QStringList& items, const QString& xIn1Text = QString());

// A value snapped into the ranges. Range k holds min k <= v <= max k: v goes
// down to the grid of step k counted from min k (never below min k); the gap
// after range k (max k < v < min k+1) moves v up to min k+1. pageStep is the
// step of the range that took v (the slider's page step follows it); 0 when
// no range took it (no ranges, or v below the first or above the last range):
// then v is left as it is.
struct DpiSnap {
    int value;
    int pageStep;
};
DpiSnap SnapDpi(const DpiRanges& ranges, int value);

// The +/- buttons: the value one step up or down, first match in range order.
// Up: inside range k before its maximum, + step k; at the maximum or in the
// gap after it, min k+1; in the last range, + step n. Down: inside range k
// (bounds included), - step k; in a gap, min k+1 (the next existing value).
// Anything else, or no ranges, leaves the value. The result may leave the
// ranges; the slider clamps it and the snapping puts it on a grid.
int StepDpi(const DpiRanges& ranges, int value, bool up);

// What a stage record holds for a DPI value.
struct DpiRegister {
    uint8_t code;   // the same code goes to X and Y
    uint8_t flags;
};

// Everything the conversion reads: the model's sensor, the definition file
// and the model's ranges. Copies are cheap (implicitly shared containers).
struct SensorDpi {
    QString sensorName;
    SensorDefines defines;
    DpiRanges ranges;

    // True for the sensors whose formula codes have 10 bits ("3395", "3950").
    static bool TenBitSensor(const QString& sensorName);

    // DPI value -> register code and flags. presentFlags is the stage's flag
    // byte before the change: with a table that lacks the value, the code
    // falls back to dpi / 50 (dpi / 100 when presentFlags has a bit of 0x22).
    // Flags by the ranges' mode, above a range's maximum:
    //   0x33: above max 4 -> 0x33 (dpi / 4), above max 3 -> 0x11 (dpi / 2),
    //         above max 2 -> 0x22 (dpi / 2);
    //   0x22 or 0x11: above max 1 -> the mode (dpi / 2);
    //   otherwise, or without usable ranges, 0 (dpi / 1).
    // The code never leaves 0..255 (0..1023 for a 10-bit sensor, bits 8-9
    // going to the flags), so no value wraps into a flag bit and a DPI below
    // the lowest code gives code 0.
    DpiRegister Encode(int dpi, uint8_t presentFlags) const;

    // Register code and flags -> DPI. With a table: the DPI of the first name
    // of the sensor whose value is the code (doubled for 0x22); without one:
    // (code + 1) * 50, or * 100 for 0x22, the 10-bit code where it applies.
    // Doubled for 0x11. Nothing ("not defined") for a code the table lacks.
    std::optional<int> Decode(uint8_t code, uint8_t flags) const;
};
