// The program's shared globals (core/Globals.h) as a test sets them up: one
// call puts the flags into a named situation, two setters give the states
// tests vary (the current device, the image in memory), and a scope object
// puts every global back as it found them. Header only.
//
//     class MyTest : public QObject {
//         Q_OBJECT
//         testsupport::GlobalsFixture m_globals;   // every global back when the run ends
//     private slots:
//         void init()
//         {
//             m_globals.Enter(testsupport::Situation::PagesOnline);
//             testsupport::SetDevice(5);           // an 8 kHz receiver of Drive1
//             testsupport::SetImage(m_base);       // under the image's lock
//         }
//     };
//
// Without the member the same calls set up and put nothing back; in a test
// function `const testsupport::GlobalsFixture globals(situation);` puts
// everything back at its closing brace. A situation sets every flag but
// ShowBatteryValue (read from Config.ini), so a test needing one flag
// otherwise assigns it after the call; a test whose point is one flag keeps
// assigning it by hand. The image and the texts belong to no situation.
#pragma once

#include "Globals.h"

#include <QMutexLocker>

#include <tuple>
#include <vector>

namespace testsupport {

enum class Situation {
    // The program as it starts: the device list on screen, no device found
    // nor chosen, no link pass, the pages not ready, the image not the device's.
    DeviceList,
    // The pages on screen, the current device online and its image read
    // from it: ready, none filling, nothing to read again, no link pass.
    PagesOnline,
    // The pages on screen after the device stopped answering: the offline
    // notice shown, a re-read due when it is back.
    PagesOffline,
};

// The flags every situation sets (all false but those it names).
inline const std::vector<std::atomic<bool>*>& SituationFlags()
{
    static const std::vector<std::atomic<bool>*> flags{
        &ImageBelongsToDevice, &UiReady, &SensorUiLoading, &LightUiLoading, &ButtonUiLoading, &SensorUiUpdated,
        &LightUiUpdated, &ButtonUiUpdated, &SettingsBusy, &WorkerRun, &DeviceOnline, &LastOnline, &OnlineAtEnd,
        &DeviceOffline, &ReadAgain, &ReloadPending, &KeyParamPassPending, &SkipReceiverQuery,
        &ReceiverUpdateAvailable, &MouseUpdateAvailable, &OnlinePollEnabled, &RecordingMacro,
        &RepairUpgradeRunning, &CheckTimersRunning, &RepairDialogShown, &RePairFlag};
    return flags;
}
inline const std::vector<std::atomic<int>*>& NumberGlobals()
{
    static const std::vector<std::atomic<int>*> numbers{&ModelCount,      &SelectedIndex, &rateClass,
                                                        &OnMainPage,      &ShowBatteryValue, &OfflineReason,
                                                        &LastImportResult, &ImportRunning};
    return numbers;
}
// The globals a test may change that are plain values.
inline auto PlainGlobals()
{
    return std::tie(CurrentDeviceInfo, SelectedDeviceInfo, CurrentConfigPath, DeviceInfoFile, FoundDevices,
                    DeviceList, DeviceListB, CurrentDongleRGBBlock, MouseLeftText, MouseRightText, MouseMiddleText,
                    MouseBackText, MouseForwardText, WiredModeText, MouseIsNewText, WorkerThread);
}

inline void EnterSituation(Situation situation)
{
    const bool pages = situation != Situation::DeviceList;
    const bool online = situation == Situation::PagesOnline;
    for (std::atomic<bool>* flag : SituationFlags())
        *flag = false;
    for (std::atomic<bool>* flag : {&DeviceOnline, &LastOnline, &OnlineAtEnd})
        *flag = online;
    DeviceOffline = ReadAgain = situation == Situation::PagesOffline;
    UiReady = ImageBelongsToDevice = pages;
    OnlinePollEnabled = true;
    OnMainPage = pages ? 1 : 0;
    OfflineReason = LastImportResult = ImportRunning = 0;
    if (situation == Situation::DeviceList) {
        CurrentDeviceInfo = DeviceAllInfo();
        FoundDevices.clear();
        DeviceList.clear();
        DeviceListB.clear();
    }
}

// The current device: a fresh record of the model group Drive<driveIndex + 1>
// with the kind byte type (0, 1, 4, 5 the receivers of 1, 4, 2, 8 kHz; else
// a cabled mouse).
inline void SetDevice(uint8_t type, int driveIndex = 0, const QString& path = QString())
{
    CurrentDeviceInfo = DeviceAllInfo();
    CurrentDeviceInfo.type = type;
    CurrentDeviceInfo.directMouse = DirectMouseFromType(type);
    CurrentDeviceInfo.driveIndex = driveIndex;
    CurrentDeviceInfo.path = path;
}

// The image in memory; with fromDevice, also whether it is the device's.
inline void SetImage(const FlashDataMap& image)
{
    QMutexLocker lock(&FlashDataMutex);
    CurrentFlashData = image;
}
inline void SetImage(const FlashDataMap& image, bool fromDevice)
{
    SetImage(image);
    ImageBelongsToDevice = fromDevice;
}

class GlobalsFixture
{
public:
    GlobalsFixture() = default;  // keeps every global as it is now
    explicit GlobalsFixture(Situation situation) { Enter(situation); }
    GlobalsFixture(const GlobalsFixture&) = delete;
    GlobalsFixture& operator=(const GlobalsFixture&) = delete;
    ~GlobalsFixture()
    {
        for (size_t i = 0; i < m_flags.size(); ++i)
            *SituationFlags()[i] = m_flags[i];
        for (size_t i = 0; i < m_numbers.size(); ++i)
            *NumberGlobals()[i] = m_numbers[i];
        PlainGlobals() = m_plain;
        SetImage(m_image);
        SetCurrentDevicePath(m_devicePath);
    }

    void Enter(Situation situation) { EnterSituation(situation); }

private:
    template <typename... T>
    static std::tuple<T...> Values(const std::tuple<T&...>&);

    std::vector<bool> m_flags = [] {
        std::vector<bool> values;
        for (std::atomic<bool>* flag : SituationFlags())
            values.push_back(flag->load());
        return values;
    }();
    std::vector<int> m_numbers = [] {
        std::vector<int> values;
        for (std::atomic<int>* number : NumberGlobals())
            values.push_back(number->load());
        return values;
    }();
    decltype(Values(PlainGlobals())) m_plain = PlainGlobals();
    FlashDataMap m_image = SnapshotFlashData();
    QByteArray m_devicePath = CurrentDevicePath();
};

}  // namespace testsupport
