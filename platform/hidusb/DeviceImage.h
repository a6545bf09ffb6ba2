// The device configuration image and the records inside it.
//
// This layout is a device format: the same bytes travel to and from the device
// library, fill the per-device cache file and the settings export file, so
// every offset below is binding. All multi-byte numbers are little-endian.
// Plain C++ without Qt: the device library and the application share it.
#pragma once

#include <cstddef>
#include <cstdint>

#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the device image is stored little-endian; this build assumes a little-endian host"
#endif

#pragma pack(push, 1)

// One DPI stage: codes as the sensor page converts them, then its colour.
struct DpiStage {
    uint8_t xCode;
    uint8_t yCode;
    uint8_t flags;
    uint8_t r;
    uint8_t g;
    uint8_t b;
};

// The 3-byte function entry of one key.
struct KeyFunction {
    uint8_t type;
    uint8_t value1;
    uint8_t value2;
};

// One event of a key event record or a macro record.
// state: 0 press, 1 release. kind: 0 modifier, 1 keyboard key, 2 consumer
// control (key records); macros use their own type codes.
struct KeyEvent {
    uint8_t state;
    uint8_t kind;
    uint16_t code;
    uint32_t delay;
};

constexpr int KeyEventRecordEvents = 6;
constexpr int MacroRecordEvents = 70;
constexpr int MacroNameBytes = 30;
constexpr int KeyCount = 16;
constexpr int DpiStageCount = 8;

// The 52-byte record of a key bound to keystrokes or a consumer key.
struct KeyEventRecord {
    uint8_t count;
    uint8_t reserved[3];
    KeyEvent events[KeyEventRecordEvents];
};

// The 592-byte macro record stored for one key.
struct MacroRecord {
    uint8_t nameLength;
    uint8_t name[MacroNameBytes];
    uint8_t eventCount;
    KeyEvent events[MacroRecordEvents];
};

// The whole configuration of a device: 10428 bytes, copied by value.
struct FlashDataMap {
    uint8_t reportRate;       // 0: 8=125 Hz, 4=250, 2=500, 1=1000, 16=2000, 32=4000, 64=8000
    uint8_t dpiStageCount;    // 1: 1..8
    uint8_t dpiStage;         // 2: 0..7
    uint8_t reserved3;        // 3
    uint8_t reserved4;        // 4
    uint8_t liftOff;          // 5: 1 = 1 mm, 2 = 2 mm, 3 = 0.7 mm
    uint8_t debounce;         // 6
    uint8_t motionSync;       // 7
    uint8_t sleepTime;        // 8: units of 10 s
    uint8_t straightLine;     // 9
    uint8_t rippleControl;    // 10
    uint8_t moveLightOff;     // 11
    uint8_t performance;      // 12
    uint8_t performanceMode;  // 13
    uint8_t sensorMode;       // 14
    DpiStage dpiStages[DpiStageCount];  // 15..62
    uint8_t dpiLightMode;        // 63
    uint8_t dpiLightBrightness;  // 64
    uint8_t dpiLightSpeed;       // 65
    uint8_t dpiLightOn;          // 66
    uint8_t lightMode;        // 67
    uint8_t lightR;           // 68
    uint8_t lightG;           // 69
    uint8_t lightB;           // 70
    uint8_t lightSpeed;       // 71
    uint8_t lightBrightness;  // 72
    uint8_t lightOn;          // 73
    KeyFunction keys[KeyCount];             // 74..121
    uint8_t reserved122[2];                 // 122..123
    KeyEventRecord keyEvents[KeyCount];     // 124..955
    MacroRecord macros[KeyCount];           // 956..10427
};

#pragma pack(pop)

constexpr std::size_t FlashDataMapSize = 10428;
constexpr std::size_t DeviceDumpSize = 6912;

static_assert(sizeof(DpiStage) == 6, "DPI stage record");
static_assert(sizeof(KeyFunction) == 3, "key function entry");
static_assert(sizeof(KeyEvent) == 8, "event");
static_assert(sizeof(KeyEventRecord) == 52, "key event record");
static_assert(sizeof(MacroRecord) == 592, "macro record");
static_assert(sizeof(FlashDataMap) == FlashDataMapSize, "configuration image");
static_assert(offsetof(FlashDataMap, reportRate) == 0, "layout");
static_assert(offsetof(FlashDataMap, dpiStageCount) == 1, "layout");
static_assert(offsetof(FlashDataMap, dpiStage) == 2, "layout");
static_assert(offsetof(FlashDataMap, reserved3) == 3, "layout");
static_assert(offsetof(FlashDataMap, reserved4) == 4, "layout");
static_assert(offsetof(FlashDataMap, liftOff) == 5, "layout");
static_assert(offsetof(FlashDataMap, debounce) == 6, "layout");
static_assert(offsetof(FlashDataMap, motionSync) == 7, "layout");
static_assert(offsetof(FlashDataMap, sleepTime) == 8, "layout");
static_assert(offsetof(FlashDataMap, straightLine) == 9, "layout");
static_assert(offsetof(FlashDataMap, rippleControl) == 10, "layout");
static_assert(offsetof(FlashDataMap, moveLightOff) == 11, "layout");
static_assert(offsetof(FlashDataMap, performance) == 12, "layout");
static_assert(offsetof(FlashDataMap, performanceMode) == 13, "layout");
static_assert(offsetof(FlashDataMap, sensorMode) == 14, "layout");
static_assert(offsetof(FlashDataMap, dpiStages) == 15, "layout");
static_assert(offsetof(FlashDataMap, dpiLightMode) == 63, "layout");
static_assert(offsetof(FlashDataMap, dpiLightBrightness) == 64, "layout");
static_assert(offsetof(FlashDataMap, dpiLightSpeed) == 65, "layout");
static_assert(offsetof(FlashDataMap, dpiLightOn) == 66, "layout");
static_assert(offsetof(FlashDataMap, lightMode) == 67, "layout");
static_assert(offsetof(FlashDataMap, lightR) == 68, "layout");
static_assert(offsetof(FlashDataMap, lightG) == 69, "layout");
static_assert(offsetof(FlashDataMap, lightB) == 70, "layout");
static_assert(offsetof(FlashDataMap, lightSpeed) == 71, "layout");
static_assert(offsetof(FlashDataMap, lightBrightness) == 72, "layout");
static_assert(offsetof(FlashDataMap, lightOn) == 73, "layout");
static_assert(offsetof(FlashDataMap, keys) == 74, "layout");
static_assert(offsetof(FlashDataMap, reserved122) == 122, "layout");
static_assert(offsetof(FlashDataMap, keyEvents) == 124, "layout");
static_assert(offsetof(FlashDataMap, macros) == 956, "layout");
static_assert(offsetof(FlashDataMap, macros) + 16 * sizeof(MacroRecord) == 10428, "last macro ends at 10427");

// Byte offsets for code that works on raw image bytes.
constexpr std::size_t KeyFunctionOffset(int key)
{
    return offsetof(FlashDataMap, keys) + sizeof(KeyFunction) * static_cast<std::size_t>(key);
}
constexpr std::size_t KeyEventRecordOffset(int key)
{
    return offsetof(FlashDataMap, keyEvents) + sizeof(KeyEventRecord) * static_cast<std::size_t>(key);
}
constexpr std::size_t MacroRecordOffset(int key)
{
    return offsetof(FlashDataMap, macros) + sizeof(MacroRecord) * static_cast<std::size_t>(key);
}
constexpr std::size_t DpiStageOffset(int stage)
{
    return offsetof(FlashDataMap, dpiStages) + sizeof(DpiStage) * static_cast<std::size_t>(stage);
}

inline uint8_t* FlashBytes(FlashDataMap& image) { return reinterpret_cast<uint8_t*>(&image); }
inline const uint8_t* FlashBytes(const FlashDataMap& image) { return reinterpret_cast<const uint8_t*>(&image); }

// The 10-byte receiver light block. Byte 0 is the light mode (1, 2 or 3;
// 0 = nothing to report); bytes 1..9 belong to the library.
struct DongleRGB {
    uint8_t data[10];
};
static_assert(sizeof(DongleRGB) == 10, "receiver light block");
