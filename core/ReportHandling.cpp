// The report callback of the device link: answers to read requests, the full
// configuration dump and the device's own notices. Runs on the library's
// thread; page signals go out through the hub's blocking Post* functions.
#include "ReportHandling.h"

#include "ConfigSettings.h"
#include "DeviceCache.h"
#include "DeviceWriters.h"
#include "FirmwareUpdate.h"
#include "Globals.h"
#include "HIDUsb.h"
#include "LinkSupport.h"
#include "Logging.h"
#include "PageKit.h"
#include "PostMsg.h"
#include "RegistryStore.h"
#include "Worker.h"

#include <QMutexLocker>

#include <cstring>
#include <optional>

namespace {

// The library's decoders take no length: hand them a zero-padded copy so
// that a short report can never make them read past its end.
struct PaddedReport {
    unsigned char bytes[64] = {};
    PaddedReport(const unsigned char* data, unsigned int length)
    {
        if (data)
            std::memcpy(bytes, data, qMin<size_t>(length, sizeof bytes));
    }
};

// A report's value goes into the image only while the image was read from
// the linked device (another device's image must not take this one's
// values, nor be sent to it); the pages are told either way. Returns the
// image to show.
template <typename Change>
FlashDataMap applyReport(Change&& change, bool* stored)
{
    FlashDataMap copy;
    QMutexLocker lock(&FlashDataMutex);
    *stored = ImageBelongsToDevice.load();
    if (*stored) {
        change(CurrentFlashData);
        copy = CurrentFlashData;
    } else {
        copy = CurrentFlashData;
        change(copy);
    }
    return copy;
}

// ---- re-read throttle ----------------------------------------------------
QMutex throttleMutex;
bool rereadDeferred = false;
constexpr qint64 RereadWindowMs = 3000;

// Called with throttleMutex held.
bool windowOpen()
{
    return !ReadThrottleTimer.isValid() || ReadThrottleTimer.elapsed() > RereadWindowMs;
}

void honourLocked()
{
    ReadThrottleTimer.restart();
    rereadDeferred = false;
    ReadAgain = true;
    ReloadPending = true;
}

// ---- the receiver's own settings -------------------------------------------
// They live in the receiver, not in the image: what the receiver holds is read
// and shown, when the link opens and whenever the receiver reports a change
// (made by this program or at the receiver itself). A receiver that cannot be
// asked (gone, or a mouse on its cable) shows nothing.

// The light of a 4 kHz receiver; mode 0 is nothing to show.
void postReceiverLight(const DeviceAllInfo& device)
{
    if (device.directMouse == 1 || device.type != 1)
        return;
    const QByteArray path = device.path.toLatin1();
    DongleRGB light{};
    if (!UsbFinderC_Get4KDongleRGBValue(path.constData(), &light)) {
        qCWarning(lcLibrary) << "the receiver light of" << device.path << "could not be read";
        return;
    }
    // The block belongs to the GUI thread, where the light is also changed.
    RunOnGuiThread([&light] { *CurrentDongleRGB = light; });
    if (light.data[0] != 0)
        PostMsg::GetInstance()->PostRGBValue(CurrentDongleRGB);
}

// The long-range mode (the reply 's', the library's preset, or 0 is off);
// nothing when it cannot be read.
std::optional<bool> receiverLongRange(const DeviceAllInfo& device)
{
    if (device.directMouse == 1)
        return std::nullopt;
    const QByteArray path = device.path.toLatin1();
    unsigned char reply = 's';
    if (!UsbFinderC_GetLongRangeMode(path.constData(), &reply)) {
        qCWarning(lcLibrary) << "the long-range mode of" << device.path << "could not be read";
        return std::nullopt;
    }
    return reply != 's' && reply != 0;
}

// ---- report handlers -----------------------------------------------------

void handleBattery(const unsigned char* data, unsigned int length)
{
    PaddedReport report(data, length);
    GetDeviceBatteryStatus(report.bytes, BatteryStatus);
    PostMsg::GetInstance()->PostBattery(BatteryStatus[1] > 0, BatteryStatus[0], ShowBatteryValue.load() == 1);
}

void fullRead(const unsigned char* data)
{
    // Parse into a local image: the pages and the writers never see a half
    // parsed image, and a dump that makes no sense leaves everything as it was.
    FlashDataMap parsed{};
    if (!ProtocolDataParser(data, &parsed)) {
        qCWarning(lcLibrary) << "full read: the device's dump could not be parsed; the image stays as it was";
        return;
    }
    const DeviceAllInfo device = CurrentDeviceSnapshot();
    // Whatever the device holds is shown: refusing it would leave the pages
    // waiting for a read that comes out the same every time. What a page
    // indexes by is made safe first; the write-back below gives the device
    // the mended values too.
    const ImageProblems mended = MendImage(parsed, ModelImageLimits(device.driveIndex));
    if (mended)
        qCWarning(lcLink) << "full read: the device's image held an impossible" << ImageProblemText(mended)
                          << "; shown and sent back made safe";
    // What the device holds (made safe), before the key-defaults pass below
    // changes it.
    const FlashDataMap asRead = parsed;

    const QString configPath = DeviceFileName(device.cid, device.mid);

    UsbServer_ReadDPILed();
    UsbServer_ReadBatteryLevel();
    UsbServer_ReadVersion();
    UsbServer_ReadConfig();

    if (!SkipReceiverQuery.load()) {
        postReceiverLight(device);
        // A receiver found in long-range mode is news; off is how the page starts.
        if (receiverLongRange(device).value_or(false))
            PostMsg::GetInstance()->PostLongRangeMode(true);
    }
    SkipReceiverQuery = false;

    if (KeyParamPassPending.load()) {
        ClearKeyRecords(parsed, EventDefaultKeysOfModel(device.driveIndex));
        KeyParamPassPending = false;
    }

    // The image and its cache name change together as seen from the GUI
    // thread, where the writers run and the pages save the cache.
    FlashDataMap copy;
    RunOnGuiThread([&] {
        {
            QMutexLocker lock(&FlashDataMutex);
            CurrentFlashData = parsed;
            copy = CurrentFlashData;
        }
        CurrentConfigPath = configPath;
        ImageBelongsToDevice = true;
    });
    if (!SendImage(copy) && std::memcmp(&copy, &asRead, sizeof copy) != 0) {
        // The device keeps what it sent: so does memory, unless something
        // has changed the image since it was put there.
        RunOnGuiThread([&] {
            QMutexLocker lock(&FlashDataMutex);
            if (std::memcmp(&CurrentFlashData, &copy, sizeof copy) == 0)
                CurrentFlashData = asRead;
            copy = CurrentFlashData;
        });
    }
    // The latest settings stay visible while the device is unplugged.
    if (!WriteDeviceInfoFile(configPath, copy))
        qCWarning(lcFiles) << "full read: the cache keeps its older image, if any; unplugged, the pages show that";

    ClearPagesUpdated();

    PostMsg* hub = PostMsg::GetInstance();
    hub->PostUpDataLightUIButton(copy);
    hub->PostUpDataLightLight(copy);
    hub->PostUpDataLightSensor(copy);
    hub->PostForm();

    OnlineAtEnd = true;
    WorkerRun = false;
}

void handleReportRate(uint8_t code)
{
    if (!IsValidReportRateCode(code))
        return;
    if (CurrentDeviceSnapshot().directMouse && code >= 16)
        return;  // a mouse on its cable does not run at 2000 Hz and up
    bool stored = false;
    const FlashDataMap copy = applyReport([code](FlashDataMap& image) { image.reportRate = code; }, &stored);
    PostMsg::GetInstance()->PostUpDataReportRate(code);
    if (stored)
        (void)SendImage(copy);  // the device runs at the rate it reported either way
}

void handleDpiStage(uint8_t stage)
{
    // A stage the image has no record for is never shown nor stored: the
    // pages index their stages by it.
    bool stored = false;
    bool known = false;
    const FlashDataMap copy = applyReport(
        [stage, &known](FlashDataMap& image) {
            known = stage < image.dpiStageCount && stage < DpiStageCount;
            if (known)
                image.dpiStage = stage;
        },
        &stored);
    if (!known) {
        qCWarning(lcLink) << "DPI stage report: stage" << stage << "of" << copy.dpiStageCount << "ignored";
        return;
    }
    PostMsg::GetInstance()->PostUpDataDPI(stage);
    if (stored)
        (void)SendImage(copy);  // the device is at the stage it reported either way
}

void handleFlash(const unsigned char* header, int headerLength, const unsigned char* data,
                 unsigned int length)
{
    const int subA = headerLength > 3 ? header[3] : 0;
    const int subB = headerLength > 4 ? header[4] : 0;
    if (subA != 0 || !data)
        return;
    if (subB == HidFlashWhole && length == DeviceDumpSize) {
        fullRead(data);
    } else if (subB == HidFlashWhole && length == 1) {
        handleReportRate(data[0]);
    } else if (subB == HidFlashDpiStage && length == 1) {
        handleDpiStage(data[0]);
    } else if (subB == HidFlashDpiLed && length == 8) {
        bool stored = false;
        const FlashDataMap copy =
            applyReport([data](FlashDataMap& image) { BufferToDPILed(data, &image.dpiLightMode); }, &stored);
        PostMsg::GetInstance()->PostUpDataDPILed(copy);
    } else if (subB == HidFlashLedBar && length == 9) {
        bool stored = false;
        const FlashDataMap copy =
            applyReport([data](FlashDataMap& image) { BufferToLedBar(data, &image.lightMode); }, &stored);
        PostMsg::GetInstance()->PostUpDataLightLight(copy);
    }
}

// After a reset the device sends its model defaults: apply the receiver
// settings of the model and read the whole image again, clearing the key
// records that the model does not preset.
void handleModelDefaults()
{
    const DeviceAllInfo device = CurrentDeviceSnapshot();
    const QByteArray path = CurrentDevicePath();
    const QStringList advanced =
        ConfigSettings::GetInstance()->ModelValueList(device.driveIndex, QStringLiteral("Adveanced"));
    bool ok = false;
    const int light = advanced.size() > 1 ? advanced.at(1).trimmed().toInt(&ok) : 0;
    if (ok && light >= 1 && device.directMouse != 1 && device.type == 1) {
        CurrentDongleRGB->data[0] = static_cast<uint8_t>(light);
        UsbFinderC_Set4KDongleRGB(path.constData(), CurrentDongleRGB);
        if (CurrentDongleRGB->data[0] != 0)
            PostMsg::GetInstance()->PostRGBValue(CurrentDongleRGB);
    }
    ok = false;
    const int longRange = advanced.size() > 0 ? advanced.at(0).trimmed().toInt(&ok) : -1;
    if (ok && longRange == 1) {
        UsbFinderC_SetLongRangeMode(path.constData(), 1);
        PostMsg::GetInstance()->PostLongRangeMode(true);
    } else if (ok && longRange == 0) {
        UsbFinderC_SetLongRangeMode(path.constData(), 0);
        PostMsg::GetInstance()->PostLongRangeMode(false);
    }
    // Set before asking: the answer may come before the request returns.
    KeyParamPassPending = true;
    SkipReceiverQuery = true;
    UsbServer_ReadAllFlashData();
}

void handleVersion()
{
    const QByteArray path = CurrentDevicePath();
    const int version = UsbFinderC_GetVersion(path.constData());
    const QString text = VersionText(static_cast<unsigned int>(version) & 0xFFFFu);
    DeviceAllInfo device;
    RunOnGuiThread([&] {
        CurrentDeviceInfo.firmwareVersion = text;
        device = CurrentDeviceInfo;
    });
    // Stored before the settings page is told, so that it reads the new text.
    // A device of no configured model has no record of its own.
    const std::optional<ModelRecord> model = ModelRecordOf(device.driveIndex);
    if (model && !model->midText.isEmpty() && !WriteMouseVersion(model->cidText, model->midText, text))
        qCWarning(lcFiles) << "the settings page shows the stored mouse version, not" << text;
    PostMsg::GetInstance()->PostSetver(0);
}

}  // namespace

// ---- pure helpers --------------------------------------------------------

void ClearKeyRecords(FlashDataMap& image, const QList<int>& keep)
{
    for (int k = 0; k < KeyCount; ++k) {
        if (keep.contains(k))
            continue;
        std::memset(&image.keyEvents[k], 0, sizeof image.keyEvents[k]);
        std::memset(&image.macros[k], 0, sizeof image.macros[k]);
    }
}

QList<int> EventDefaultKeysOfModel(int driveIndex)
{
    QList<int> keys;
    ConfigSettings* config = ConfigSettings::GetInstance();
    for (int i = 1; i <= 6; ++i) {
        const QStringList param = config->ModelValueList(driveIndex, QStringLiteral("KeyParam") + QString::number(i));
        if (!param.isEmpty() && param.first().trimmed().compare(QLatin1String("0x05"), Qt::CaseInsensitive) == 0)
            keys.append(i - 1);
    }
    return keys;
}

// ---- link support --------------------------------------------------------

DeviceAllInfo CurrentDeviceSnapshot()
{
    DeviceAllInfo copy;
    RunOnGuiThread([&] { copy = CurrentDeviceInfo; });
    return copy;
}

void RequestFullReread()
{
    QMutexLocker lock(&throttleMutex);
    if (windowOpen())
        honourLocked();
    else
        rereadDeferred = true;
}

void HonourDeferredReread()
{
    QMutexLocker lock(&throttleMutex);
    if (rereadDeferred && windowOpen())
        honourLocked();
}

void RestartReadThrottle()
{
    QMutexLocker lock(&throttleMutex);
    ReadThrottleTimer.restart();
    rereadDeferred = false;
}

// ---- the callback --------------------------------------------------------

void Worker::OnProtocolData(unsigned char* header, int headerLength, unsigned char* data, unsigned int dataLength)
{
    const int type = (header && headerLength >= 2) ? header[1] : 0;
    if (!data)
        dataLength = 0;
    switch (type) {
    case HidReportBattery:
        handleBattery(data, dataLength);
        break;
    case HidReportFlash:
        handleFlash(header, headerLength, data, dataLength);
        break;
    case HidReportModelDefaults:
        handleModelDefaults();
        break;
    case HidReportStatusChanged: {
        PaddedReport report(data, dataLength);
        GetDeviceStatusChanged(report.bytes, StatusChangedFlags);
        ReadChangedStatus();
        break;
    }
    case HidReportConfig:
        if (dataLength == 1)
            PostMsg::GetInstance()->PostUpDataConfigUI(4, data[0], true);
        else
            PostMsg::GetInstance()->PostUpDataConfigUI(0, 0, false);
        break;
    case HidReportVersion:
        handleVersion();
        break;
    case HidReportDongleRGB:
        postReceiverLight(CurrentDeviceSnapshot());
        break;
    case HidReportLongRange:
        if (const std::optional<bool> on = receiverLongRange(CurrentDeviceSnapshot()))
            PostMsg::GetInstance()->PostLongRangeMode(*on);
        break;
    default:
        break;
    }
}

void Worker::ReadChangedStatus()
{
    if (StatusChangedFlags[HidStatusDpiStage])
        UsbServer_ReadCurrentDPI();
    if (StatusChangedFlags[HidStatusReportRate])
        UsbServer_ReadReportRate();
    if (StatusChangedFlags[HidStatusBattery])
        UsbServer_ReadBatteryLevel();
    if (StatusChangedFlags[HidStatusLight])
        UsbServer_ReadLedBar();
    if (StatusChangedFlags[HidStatusDpiLight])
        UsbServer_ReadDPILed();
    if (StatusChangedFlags[HidStatusReread])
        RequestFullReread();
}
