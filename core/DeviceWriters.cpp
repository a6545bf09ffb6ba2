#include "DeviceWriters.h"

#include "DeviceChoreography.h"

#include "DpiModel.h"
#include "Globals.h"
#include "HIDUsb.h"
#include "Logging.h"
#include "PageKit.h"
#include "PostMsg.h"

#include <QByteArray>
#include <QMutexLocker>

#include <chrono>

namespace {

bool validKey(int key) { return key >= 0 && key < KeyCount; }
bool validStage(int stage) { return stage >= 0 && stage < DpiStageCount; }

int untoldDepth = 0;  // live UntoldWrites scopes
RefusalBurst refusals;
HeldRefusalNotice* heldNotice = nullptr;  // the innermost live scope

// A notice is asked for only where the user made the change.
bool mayTell()
{
    return untoldDepth == 0 && !AnyPageFilling();
}

qint64 steadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Every write the device took or refused passes here: the one place that
// decides whether the user hears of a refusal.
void writeTaken()
{
    refusals.Taken();
}

void tellRefusal(int reason)
{
    if (refusals.Refused(steadyMs()))
        PostMsg::GetInstance()->PostMouseOffLineo(reason);
}

void writeRefused()
{
    if (!mayTell())
        return;
    if (heldNotice)
        heldNotice->Refused();
    else
        tellRefusal(WriteRefusedReason);
}

// Steps 1 and 3 of the common rule: true when the device answers; otherwise
// the offline notice is asked for (see mayTell).
bool checkOnline()
{
    if (CurrentDeviceAnswers())
        return true;
    qCInfo(lcLink) << "write not sent: the device does not answer";
    if (mayTell())
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
        qCInfo(lcLink) << "write not sent: the image in memory was not read from the device";
        ReadAgain = true;
        DeviceOffline = true;
        return false;
    }
    FlashDataMap before;
    FlashDataMap sent;
    {
        QMutexLocker lock(&FlashDataMutex);
        before = CurrentFlashData;
        store(CurrentFlashData);
        sent = CurrentFlashData;
    }
    if (SendImage(sent)) {
        writeTaken();
        return true;
    }
    {
        // The device keeps what it had: so does the image in memory. Only
        // the bytes this write changed go back, and only where nothing else
        // (a report of the device) has changed them since.
        QMutexLocker lock(&FlashDataMutex);
        uint8_t* now = FlashBytes(CurrentFlashData);
        const uint8_t* old = FlashBytes(before);
        const uint8_t* mine = FlashBytes(sent);
        for (std::size_t i = 0; i < FlashDataMapSize; ++i) {
            if (mine[i] != old[i] && now[i] == mine[i])
                now[i] = old[i];
        }
    }
    // Told with the lock released: the notice waits for the user.
    writeRefused();
    return false;
}

bool setByte(uint8_t FlashDataMap::*field, uint8_t value)
{
    return writeImage([&](FlashDataMap& image) { image.*field = value; });
}

}  // namespace

bool IsDeviceOnline() { return checkOnline(); }

bool CurrentDeviceAnswers()
{
    return DeviceAnswers(QString::fromLocal8Bit(CurrentDevicePath()));
}

bool RefusalBurst::Refused(qint64 nowMs)
{
    const bool told = !m_open || nowMs - m_lastMs >= QuietMs;
    m_open = true;
    m_lastMs = nowMs;
    return told;
}

void RefusalBurst::Taken()
{
    m_open = false;
}

UntoldWrites::UntoldWrites() { ++untoldDepth; }
UntoldWrites::~UntoldWrites() { --untoldDepth; }

HeldRefusalNotice::HeldRefusalNotice() : m_outer(heldNotice), m_reason(WriteRefusedReason)
{
    heldNotice = this;
}

HeldRefusalNotice::~HeldRefusalNotice()
{
    heldNotice = m_outer;
    if (m_refused)
        tellRefusal(m_reason);
}

bool SendImage(const FlashDataMap& image)
{
    if (ProtocolDataUpdate(&image))
        return true;
    qCWarning(lcLibrary) << "the device did not take the configuration image (ProtocolDataUpdate)";
    return false;
}

bool SetReportRate(uint8_t code) { return setByte(&FlashDataMap::reportRate, code); }

bool SetDPILevelCount(uint8_t count)
{
    // The count decides which stage indexes are valid; a count the image
    // cannot hold would make every later full read of the device fail.
    if (count < 1 || count > DpiStageCount)
        return false;
    return setByte(&FlashDataMap::dpiStageCount, count);
}

bool SetDPILevel(uint8_t stage)
{
    if (!validStage(stage))
        return false;
    return setByte(&FlashDataMap::dpiStage, stage);
}

bool SetConfigByte3(uint8_t value) { return setByte(&FlashDataMap::reserved3, value); }
bool SetConfigByte4(uint8_t value) { return setByte(&FlashDataMap::reserved4, value); }
bool SetLOD(uint8_t code) { return setByte(&FlashDataMap::liftOff, code); }
bool SetDebounceTime(uint8_t ms) { return setByte(&FlashDataMap::debounce, ms); }
bool SetMotionSync(uint8_t on) { return setByte(&FlashDataMap::motionSync, on); }
bool SetSleepTime(uint8_t units) { return setByte(&FlashDataMap::sleepTime, units); }
bool SetStraightLine(uint8_t on) { return setByte(&FlashDataMap::straightLine, on); }
bool SetRippleControl(uint8_t on) { return setByte(&FlashDataMap::rippleControl, on); }
bool SetMoveLightOff(uint8_t on) { return setByte(&FlashDataMap::moveLightOff, on); }
bool SetPerformance(uint8_t on) { return setByte(&FlashDataMap::performance, on); }
bool SetPerformanceOpen(uint8_t index) { return setByte(&FlashDataMap::performanceMode, index); }
bool SetSensorMode(uint8_t index) { return setByte(&FlashDataMap::sensorMode, index); }

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

bool SetSensorDPI(int stage, int dpi, const SensorDpi& sensor)
{
    if (!validStage(stage))
        return false;
    return writeImage([&](FlashDataMap& image) {
        DpiStage& s = image.dpiStages[stage];
        // The fallback step of a table without the value follows the flags
        // the stage has now, read under the same lock as the store.
        const DpiRegister reg = sensor.Encode(dpi, s.flags);
        s.xCode = reg.code;
        s.yCode = reg.code;
        s.flags = reg.flags;
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

bool SetDPILightBrightness(uint8_t value) { return setByte(&FlashDataMap::dpiLightBrightness, value); }
bool SetDPILightSpeed(uint8_t value) { return setByte(&FlashDataMap::dpiLightSpeed, value); }

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

bool SetLightSpeed(uint8_t value) { return setByte(&FlashDataMap::lightSpeed, value); }
bool SetLightBrightness(uint8_t value) { return setByte(&FlashDataMap::lightBrightness, value); }

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

bool SetReceiverLongRange(bool on)
{
    if (!checkOnline())
        return false;
    const QByteArray path = CurrentDevicePath();
    if (UsbFinderC_SetLongRangeMode(path.constData(), on ? 1 : 0)) {
        writeTaken();
        return true;
    }
    qCWarning(lcLibrary) << "the receiver did not take long-range mode" << on;
    writeRefused();
    return false;
}

bool SetReceiverLightMode(int mode)
{
    if (mode < 1 || mode > 3 || !checkOnline())
        return false;
    // The record is sent as a copy: the shared one changes only once the
    // receiver took it, so nobody ever sees a mode it refused.
    DongleRGB record = *CurrentDongleRGB;
    record.data[0] = uint8_t(mode);
    const QByteArray path = CurrentDevicePath();
    if (!UsbFinderC_Set4KDongleRGB(path.constData(), &record)) {
        qCWarning(lcLibrary) << "the receiver did not take light mode" << mode;
        writeRefused();
        return false;
    }
    CurrentDongleRGB->data[0] = uint8_t(mode);
    writeTaken();
    return true;
}

int ReceiverLightMode()
{
    return CurrentDongleRGB->data[0];
}

bool SwitchProfile(int index)
{
    return UsbServer_SetCurrentConfig(static_cast<unsigned char>(index));
}

bool ResetDeviceSettings()
{
    if (UsbServer_SetClearSetting())
        return true;
    qCWarning(lcLibrary) << "the device did not take the factory reset (UsbServer_SetClearSetting)";
    return false;
}
