#include "DeviceWriters.h"

#include "Globals.h"
#include "HIDUsb.h"
#include "PostMsg.h"

#include <QByteArray>
#include <QMutexLocker>


namespace {

bool validKey(int key) { return key >= 0 && key < KeyCount; }
bool validStage(int stage) { return stage >= 0 && stage < DpiStageCount; }

bool anyPageLoading()
{
    return ButtonUiLoading.load() || LightUiLoading.load() || SensorUiLoading.load();
}

// Steps 1 and 3 of the common rule: true when the device answers; otherwise
// the offline notice is asked for (unless a page is being filled).
bool checkOnline()
{
    const QByteArray path = CurrentDevicePath();
    if (UsbFinderC_GetDeviceOnLine(path.constData()) != 0)
        return true;
    if (!anyPageLoading())
        PostMsg::GetInstance()->PostMouseOffLineo(0);
    return false;
}

// The whole rule around one change of the image.
template <typename Store>
bool writeImage(Store&& store)
{
    if (!checkOnline())
        return false;
    if (!ImageBelongsToDevice.load()) {
        // The image in memory is not this device's (the selection changed, or
        // the full read has not come yet): sending it would overwrite the
        // device with another configuration. Read the device first.
        ReadAgain = true;
        DeviceOffline = true;
        return false;
    }
    FlashDataMap copy;
    {
        QMutexLocker lock(&FlashDataMutex);
        store(CurrentFlashData);
        copy = CurrentFlashData;
    }
    ProtocolDataUpdate(&copy);
    return true;
}

bool setByte(std::size_t offset, uint8_t value)
{
    return writeImage([&](FlashDataMap& image) { FlashBytes(image)[offset] = value; });
}

}  // namespace

bool IsDeviceOnline() { return checkOnline(); }

bool SetReportRate(uint8_t code) { return setByte(0, code); }

bool SetDPILevelCount(uint8_t count)
{
    // The count decides which stage indexes are valid; a count the image
    // cannot hold would make every later full read of the device fail.
    if (count < 1 || count > DpiStageCount)
        return false;
    return setByte(1, count);
}

bool SetDPILevel(uint8_t stage)
{
    if (!validStage(stage))
        return false;
    return setByte(2, stage);
}

bool SetConfigByte3(uint8_t value) { return setByte(3, value); }
bool SetConfigByte4(uint8_t value) { return setByte(4, value); }
bool SetLOD(uint8_t code) { return setByte(5, code); }
bool SetDebounceTime(uint8_t ms) { return setByte(6, ms); }
bool SetMotionSync(uint8_t on) { return setByte(7, on); }
bool SetSleepTime(uint8_t units) { return setByte(8, units); }
bool SetStraightLine(uint8_t on) { return setByte(9, on); }
bool SetRippleControl(uint8_t on) { return setByte(10, on); }
bool SetMoveLightOff(uint8_t on) { return setByte(11, on); }
bool SetPerformance(uint8_t on) { return setByte(12, on); }
bool SetPerformanceOpen(uint8_t index) { return setByte(13, index); }
bool SetSensorMode(uint8_t index) { return setByte(14, index); }

bool SetDPIValue(int stage, uint8_t a, uint8_t b, uint8_t c)
{
    if (!validStage(stage))
        return false;
    return writeImage([&](FlashDataMap& image) {
        DpiStage& s = image.dpiStages[stage];
        s.xCode = a;
        s.yCode = b;
        s.flags = c;
    });
}

bool SetDPIColor(int stage, uint8_t r, uint8_t g, uint8_t b)
{
    if (!validStage(stage))
        return false;
    return writeImage([&](FlashDataMap& image) {
        DpiStage& s = image.dpiStages[stage];
        s.r = r;
        s.g = g;
        s.b = b;
    });
}

bool SwapDPILevels(const DpiStage& a, const DpiStage& b, int stageB, int stageA, uint8_t last)
{
    if (!validStage(stageA) || !validStage(stageB) || !validStage(last))
        return false;
    return writeImage([&](FlashDataMap& image) {
        image.dpiStages[stageA] = a;
        image.dpiStages[stageB] = b;
        image.dpiStage = last;
        image.dpiStageCount = static_cast<uint8_t>(last + 1);
    });
}

bool SetDPILightMode(int mode)
{
    return writeImage([&](FlashDataMap& image) {
        if (mode != 0) {
            image.dpiLightOn = 1;
            image.dpiLightMode = static_cast<uint8_t>(mode);
        } else {
            image.dpiLightOn = 0;  // the mode stays for the next switch-on
        }
    });
}

bool SetDPILightBrightness(uint8_t value) { return setByte(64, value); }
bool SetDPILightSpeed(uint8_t value) { return setByte(65, value); }

bool SetLightMode(int mode)
{
    return writeImage([&](FlashDataMap& image) {
        if (mode != 0) {
            image.lightOn = 1;
            image.lightMode = static_cast<uint8_t>(mode);
        } else {
            image.lightOn = 0;  // the mode stays for the next switch-on
        }
    });
}

bool SetLightColor(uint8_t r, uint8_t g, uint8_t b)
{
    return writeImage([&](FlashDataMap& image) {
        image.lightR = r;
        image.lightG = g;
        image.lightB = b;
    });
}

bool SetLightSpeed(uint8_t value) { return setByte(71, value); }
bool SetLightBrightness(uint8_t value) { return setByte(72, value); }

bool SetButtonKey(int key, uint8_t type, uint8_t value1, uint8_t value2)
{
    if (!validKey(key))
        return false;
    return writeImage([&](FlashDataMap& image) { image.keys[key] = KeyFunction{type, value1, value2}; });
}

bool SetButtonCombo(int key, const KeyFunction& function, const KeyEventRecord& record)
{
    if (!validKey(key))
        return false;
    return writeImage([&](FlashDataMap& image) {
        image.keys[key] = function;
        image.keyEvents[key] = record;
    });
}

bool SetButtonMacro(int key, const KeyFunction& function, const MacroRecord& record)
{
    if (!validKey(key))
        return false;
    return writeImage([&](FlashDataMap& image) {
        image.keys[key] = function;
        image.macros[key] = record;
    });
}
