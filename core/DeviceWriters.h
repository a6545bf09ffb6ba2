// The device writers: the only way the pages change the device. Each writer
// changes one field of CurrentFlashData and sends the whole image.
//
// Common rule of every writer:
//  - indexes are checked first (key 0..15, DPI stage 0..7, stage count 1..8):
//    a bad index stores and sends nothing and returns false;
//  - the device is asked whether it is reachable; when it is not, nothing is
//    stored or sent, SigMouseOffLineo(0) is emitted unless a page is being
//    filled (ButtonUiLoading, LightUiLoading, SensorUiLoading) or an
//    UntoldWrites scope lives, and the result is false;
//  - while the image in memory was not read from the selected device
//    (ImageBelongsToDevice clear) nothing is stored or sent either: a re-read
//    is armed (ReadAgain, DeviceOffline) and the result is false;
//  - otherwise the value is stored under FlashDataMutex, a copy is taken and
//    the copy is sent; the result is whether the device took it. When it
//    did not (it refuses writes, went away meanwhile), the bytes the writer
//    changed are put back, so that CurrentFlashData keeps holding what the
//    device has, and the result is false; a byte that something else changed
//    in the meantime stays as that left it. The user is told so once per
//    burst of refusals (see RefusalBurst): SigMouseOffLineo(WriteRefusedReason),
//    under the same exceptions as the offline notice.
// Value bytes pass through unchanged. Call them on the GUI thread. A caller
// that drops a result on purpose says why: (void) and the reason.
#pragma once

#include "DeviceImage.h"

#include <cstdint>

#include <QtGlobal>

struct SensorDpi;

// Only the online check (steps 1 and 3 of the rule): no store, no send.
bool IsDeviceOnline();
// Only whether the current device answers: no notice, no log. For a page
// that tells the user in its own way.
bool CurrentDeviceAnswers();

// Whether a refused write is told. A control dragged or a macro sent to
// several keys makes a burst of refusals; only its first is told. A burst
// ends with a write the device took, or when QuietMs pass without a refusal.
class RefusalBurst
{
public:
    static constexpr qint64 QuietMs = 2000;

    // A refusal at nowMs (a steady clock): true when it is to be told.
    bool Refused(qint64 nowMs);
    // A write the device took.
    void Taken();

private:
    bool m_open = false;
    qint64 m_lastMs = 0;
};

// While one lives, the writers ask for no notice, neither the offline one
// nor a refusal's: for the program's own retries of a change it already
// told about. GUI thread only.
class UntoldWrites
{
public:
    UntoldWrites();
    ~UntoldWrites();
    UntoldWrites(const UntoldWrites&) = delete;
    UntoldWrites& operator=(const UntoldWrites&) = delete;
};

// While one lives, the notice of a refused write waits for its end, and is
// then told by the same rules (once per burst, not while a page is filled
// or an UntoldWrites scope lives) with the reason its holder chose: for a
// caller that learns only after the refusal what the notice must say. The
// offline notice is not held. GUI thread only; the innermost scope holds.
class HeldRefusalNotice
{
public:
    HeldRefusalNotice();
    ~HeldRefusalNotice();
    HeldRefusalNotice(const HeldRefusalNotice&) = delete;
    HeldRefusalNotice& operator=(const HeldRefusalNotice&) = delete;

    // WriteRefusedReason unless set (RefusedUnkeptReason).
    void SetReason(int reason) { m_reason = reason; }
    // Called for a refusal while the scope is the innermost.
    void Refused() { m_refused = true; }

private:
    HeldRefusalNotice* m_outer;
    int m_reason;
    bool m_refused = false;
};

// Sends a whole image to the linked device as it is (ProtocolDataUpdate):
// for the callers that replace the image whole (import, reset, the link's
// own write-back). True when the device took it; a refusal is logged.
[[nodiscard]] bool SendImage(const FlashDataMap& image);

[[nodiscard]] bool SetReportRate(uint8_t code);         // byte 0: 8, 4, 2, 1, 16, 32, 64
[[nodiscard]] bool SetDPILevelCount(uint8_t count);     // byte 1: 1..8
[[nodiscard]] bool SetDPILevel(uint8_t stage);          // byte 2: 0..7
[[nodiscard]] bool SetConfigByte3(uint8_t value);       // byte 3
[[nodiscard]] bool SetConfigByte4(uint8_t value);       // byte 4
[[nodiscard]] bool SetLOD(uint8_t code);                // byte 5: 1, 2, 3
[[nodiscard]] bool SetDebounceTime(uint8_t ms);         // byte 6
[[nodiscard]] bool SetMotionSync(uint8_t on);           // byte 7
[[nodiscard]] bool SetSleepTime(uint8_t units);         // byte 8: units of 10 s
[[nodiscard]] bool SetStraightLine(uint8_t on);         // byte 9
[[nodiscard]] bool SetRippleControl(uint8_t on);        // byte 10
[[nodiscard]] bool SetMoveLightOff(uint8_t on);         // byte 11
[[nodiscard]] bool SetPerformance(uint8_t on);          // byte 12
[[nodiscard]] bool SetPerformanceOpen(uint8_t index);   // byte 13
[[nodiscard]] bool SetSensorMode(uint8_t index);        // byte 14

// Stage record bytes 0..2 (x code, y code, flags) and 3..5 (colour).
[[nodiscard]] bool SetDPIValue(int stage, uint8_t a, uint8_t b, uint8_t c);
[[nodiscard]] bool SetDPIColor(int stage, uint8_t r, uint8_t g, uint8_t b);
// A DPI value of a stage: its register code (to x and y) and flags as
// sensor.Encode gives them for the stage's flag byte in CurrentFlashData.
// Stage -1 (no stage) sends nothing and gives false, as every bad index.
[[nodiscard]] bool SetSensorDPI(int stage, int dpi, const SensorDpi& sensor);
// Stage record stageA = a, stage record stageB = b, current stage = last,
// stage count = last + 1.
bool SwapDPILevels(const DpiStage& a, const DpiStage& b, int stageB, int stageA, uint8_t last);

// Mode != 0: byte 66 = 1, byte 63 = mode; mode 0: byte 66 = 0, byte 63 kept.
[[nodiscard]] bool SetDPILightMode(int mode);
[[nodiscard]] bool SetDPILightBrightness(uint8_t value);  // byte 64
[[nodiscard]] bool SetDPILightSpeed(uint8_t value);       // byte 65

// Mode != 0: byte 73 = 1, byte 67 = mode; mode 0: byte 73 = 0, byte 67 kept.
[[nodiscard]] bool SetLightMode(int mode);
[[nodiscard]] bool SetLightColor(uint8_t r, uint8_t g, uint8_t b);  // bytes 68..70
[[nodiscard]] bool SetLightSpeed(uint8_t value);                    // byte 71
[[nodiscard]] bool SetLightBrightness(uint8_t value);               // byte 72

// Key entry k (bytes 74 + 3k .. 76 + 3k).
[[nodiscard]] bool SetButtonKey(int key, uint8_t type, uint8_t value1, uint8_t value2);
// Key entry k and its 52-byte event record (from 124 + 52k).
[[nodiscard]] bool SetButtonCombo(int key, const KeyFunction& function, const KeyEventRecord& record);
// Key entry k and its 592-byte macro record (from 956 + 592k).
[[nodiscard]] bool SetButtonMacro(int key, const KeyFunction& function, const MacroRecord& record);

// ---- the receiver's own settings (not part of the image) ----------------
// Sent straight to the receiver of the current device, with the online check
// of the common rule; true when the receiver took it.

// Long-range mode on or off (UsbFinderC_SetLongRangeMode).
[[nodiscard]] bool SetReceiverLongRange(bool on);
// Light mode 1..3: byte 0 of the receiver light record (CurrentDongleRGB),
// sent whole (UsbFinderC_Set4KDongleRGB); the record keeps its mode when
// the receiver refuses.
// Any other mode sends nothing (false).
[[nodiscard]] bool SetReceiverLightMode(int mode);
// Byte 0 of the receiver light record: the mode the receiver has.
int ReceiverLightMode();

// ---- commands to the device (not part of the image) ---------------------
// Sent over the open link as they are, without the online check of the
// common rule (the caller asks first where it must).

// Makes stored profile index & 0xFF the device's current one
// (UsbServer_SetCurrentConfig); true when the device took the command.
[[nodiscard]] bool SwitchProfile(int index);
// The device's own factory reset (UsbServer_SetClearSetting); true when the
// device took it, a refusal is logged.
[[nodiscard]] bool ResetDeviceSettings();
