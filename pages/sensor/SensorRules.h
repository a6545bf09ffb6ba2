// The sensor page's rules without widgets: the report rates (buttons, codes,
// which a receiver carries), the level file, and the option panels' values
// (lift-off codes, the DPI light's modes, brightness steps and rows).
#pragma once

#include <QString>

namespace SensorRules {

// ---- report rates ----------------------------------------------------------
// Rate index 0..6 = 125, 250, 500, 1000, 2000, 4000, 8000 Hz; the device
// stores the code 8, 4, 2, 1, 16, 32, 64 in image byte 0.
constexpr int RateCount = 7;
constexpr int Rate1000Hz = 3;

// The code of a rate index; 0 (no code) outside 0..6.
int RateCode(int index);
// The rate index of a code; -1 for a code that is no rate.
int RateIndexOfCode(int code);
// What the panel announces after a rate was set (SigHideModel): 1 above
// 1000 Hz, else 0.
int RateHubValue(int index);

// The rate index an image shows: the code's index, except that a mouse on
// its cable (it runs at 1000 Hz at most) shows 1000 Hz for the codes of
// 2000 Hz and up; -1 for a code that is no rate (nothing is shown).
int ShownRateIndex(int code, bool directMouse);

// The rate buttons a device offers (SensorRate::SetReceiverType):
//   0 up to 1000 Hz, 1 also 2000 and 4000 Hz, 2 also 2000 Hz, 3 all seven.
// From the device's type byte: the receiver kinds 0, 4, 1, 5 (1, 2, 4,
// 8 kHz), a mouse on its cable (2) as 1 kHz, 3 as 8 kHz; -1 for any other
// byte (the buttons stay as they are).
int RateButtonsOfType(int type);
constexpr int ReceiverClassCount = 4;
// Whether the buttons of receiver class 0..3 show rate index 0..6; 125 to
// 1000 Hz are always shown.
bool RateShown(int receiverClass, int index);

// ---- the level file (usersetting/SensorPage/Level.ini) --------------------
// Its first line: empty gives 1, a line that is no decimal number 0.
int LevelFromLine(const QString& line);

// ---- lift-off distance (image byte 5: 1 = 1 mm, 2 = 2 mm, 3 = 0.7 mm) ----
// SensorLOD's combo box holds "1mm", "2mm", or "0.7mm", "1mm", "2mm".
// The code of a combo index; -1 for an index without an item.
int LodCodeOfIndex(int index, int itemCount);
// The combo index of v = code - 1; -1 when the combo box has no such item.
int LodIndexOfValue(int value, int itemCount);
// SensorLODB's boxes MM0, MM1, MM2 send 3, 1, 2.
int LodCodeOfBox(int box);

// ---- the DPI indicator light (bytes 63 to 66) ----------------------------
// Modes 0 off, 1 steady, 2 breathing.
constexpr int EffectModeCount = 3;
inline bool ValidEffectMode(int mode) { return mode >= 0 && mode < EffectModeCount; }
constexpr int SpeedMin = 1;
constexpr int SpeedMax = 5;
constexpr int BrightnessMin = 1;
constexpr int BrightnessMax = 10;
inline bool ValidSpeed(int step) { return step >= SpeedMin && step <= SpeedMax; }
// Byte 64 of a brightness step 1..10; -1 for any other step.
int BrightnessByte(int step);
// The step whose byte 64 that is; -1 for a byte of no step.
int BrightnessStepOfByte(int byte);
// The mode an image's light holds: 0 while it is off (byte 66 = 0), else
// byte 63; -1 for a mode byte of no mode.
int EffectModeOf(int on, int mode);
// Which rows a mode shows (a hidden slider leaves its grey line).
struct EffectRows {
    bool speed;
    bool brightness;
};
// Breathing shows the speed, steady the brightness, off neither.
EffectRows RowsOfMode(int mode);

}  // namespace SensorRules
