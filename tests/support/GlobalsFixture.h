// The program's shared globals (core/Globals.h) as a test sets them up: one
// call puts the flags into the state of a named situation, a few setters
// give the states tests vary (the current device, the image), and a scope
// object puts every global back as it found them. Header only: the test
// links the domain (core) itself.
//
// For a whole test object, a member keeps the globals of the run and each
// test function starts from a situation:
//
//     class MyTest : public QObject {
//         Q_OBJECT
//         testsupport::GlobalsFixture m_globals;   // restores at the end of the run
//     private slots:
//         void init()
//         {
//             m_globals.Enter(testsupport::Situation::PagesOnline);
//             testsupport::SetDevice(5);           // an 8 kHz receiver of Drive1
//             testsupport::SetImage(m_base);       // the image in memory, under its lock
//         }
//     };
//
// Without the member the same calls (EnterSituation, SetDevice, SetImage)
// set up and nothing is put back. For one test function, or part of one:
//
//     {
//         const testsupport::GlobalsFixture globals(testsupport::Situation::DeviceList);
//         ...                                      // every global back at the closing brace
//     }
//
// Entering a situation sets every flag of the flags section but the
// options read from Config.ini (ShowBatteryValue), and whether the image is
// the device's; a test that needs one flag otherwise assigns it after the
// call, where the reader sees it, and a test whose point is that one flag
// (the send gate, a pending re-read) keeps assigning it by hand. The image
// itself, the texts and (but for the empty ones of DeviceList) the device
// records belong to no situation: the setters and the test set them. The
// scope object puts back all of these.
#pragma once

#include "Globals.h"

#include <QMutexLocker>

namespace testsupport {

enum class Situation {
    // The program as it starts: the device list on screen, no device
    // found nor chosen (the lists empty), no link pass, the pages not
    // ready, every flag at its start value.
    DeviceList,
    // The pages on screen with the current device online and its image
    // read from it: the pages ready, none filling, nothing to read again,
    // no link pass running (a test starts one itself).
    PagesOnline,
    // The pages on screen after the current device stopped answering: the
    // offline notice shown and a re-read due when it is back.
    PagesOffline,
};

// Sets the flags of the situation (and, for DeviceList, forgets the
// devices found and the current one).
inline void EnterSituation(Situation situation)
{
    const bool pages = situation != Situation::DeviceList;
    const bool online = situation == Situation::PagesOnline;
    OnMainPage = pages ? 1 : 0;
    UiReady = pages;
    DeviceOnline = online;
    LastOnline = online;
    OnlineAtEnd = online;
    DeviceOffline = situation == Situation::PagesOffline;
    ReadAgain = situation == Situation::PagesOffline;
    ImageBelongsToDevice = pages;
    for (std::atomic<bool>* flag : {&SensorUiLoading, &LightUiLoading, &ButtonUiLoading, &SensorUiUpdated,
                                    &LightUiUpdated, &ButtonUiUpdated, &SettingsBusy, &WorkerRun, &ReloadPending,
                                    &KeyParamPassPending, &SkipReceiverQuery, &ReceiverUpdateAvailable,
                                    &MouseUpdateAvailable, &RecordingMacro, &RepairUpgradeRunning,
                                    &CheckTimersRunning, &RepairDialogShown, &RePairFlag})
        *flag = false;
    OnlinePollEnabled = true;
    OfflineReason = 0;
    LastImportResult = 0;
    ImportRunning = 0;
    if (situation == Situation::DeviceList) {
        CurrentDeviceInfo = DeviceAllInfo();
        FoundDevices.clear();
        DeviceList.clear();
        DeviceListB.clear();
    }
}

// A device record of the model group Drive<driveIndex + 1> with the kind
// byte type (0, 1, 4, 5 the receivers of 1, 4, 2, 8 kHz; else a mouse on
// its cable).
inline DeviceAllInfo DeviceRecord(uint8_t type, int driveIndex = 0, const QString& path = QString())
{
    DeviceAllInfo info;
    info.type = type;
    info.directMouse = DirectMouseFromType(type);
    info.driveIndex = driveIndex;
    info.path = path;
    return info;
}

// The current device: a fresh record (DeviceRecord), or a given one.
inline void SetDevice(uint8_t type, int driveIndex = 0, const QString& path = QString())
{
    CurrentDeviceInfo = DeviceRecord(type, driveIndex, path);
}
inline void SetDevice(const DeviceAllInfo& info)
{
    CurrentDeviceInfo = info;
}

// The configuration image in memory (under its lock); with fromDevice,
// also whether it is the device's.
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

// Puts every global back, at its end, as it found them.
class GlobalsFixture
{
public:
    // Keeps every global as it is now; enters no situation.
    GlobalsFixture() = default;
    explicit GlobalsFixture(Situation situation) { Enter(situation); }
    ~GlobalsFixture() { m_saved.Restore(); }
    GlobalsFixture(const GlobalsFixture&) = delete;
    GlobalsFixture& operator=(const GlobalsFixture&) = delete;

    void Enter(Situation situation) { EnterSituation(situation); }

private:
    // Every global a test may change, copied when the fixture starts.
    struct Saved {
        template <typename T>
        struct Atom {
            std::atomic<T>* global;
            T value;
        };
        QList<Atom<bool>> flags;
        QList<Atom<int>> numbers;
        FlashDataMap image = SnapshotFlashData();
        DeviceAllInfo current = CurrentDeviceInfo;
        DeviceAllInfo selected = SelectedDeviceInfo;
        QByteArray devicePath = CurrentDevicePath();
        QString configPath = CurrentConfigPath;
        QString infoFile = DeviceInfoFile;
        QList<DeviceAllInfo> found = FoundDevices;
        QList<DeviceAllInfo> list = DeviceList;
        QList<DeviceAllInfo> listB = DeviceListB;
        DongleRGB dongle = CurrentDongleRGBBlock;
        QStringList mouseTexts{MouseLeftText, MouseRightText, MouseMiddleText, MouseBackText, MouseForwardText,
                               WiredModeText, MouseIsNewText};
        Worker* worker = WorkerThread;

        Saved()
        {
            for (std::atomic<bool>* flag :
                 {&ImageBelongsToDevice, &UiReady, &SensorUiLoading, &LightUiLoading, &ButtonUiLoading,
                  &SensorUiUpdated, &LightUiUpdated, &ButtonUiUpdated, &SettingsBusy, &WorkerRun, &DeviceOnline,
                  &LastOnline, &OnlineAtEnd, &DeviceOffline, &ReadAgain, &ReloadPending, &KeyParamPassPending,
                  &SkipReceiverQuery, &ReceiverUpdateAvailable, &MouseUpdateAvailable, &OnlinePollEnabled,
                  &RecordingMacro, &RepairUpgradeRunning, &CheckTimersRunning, &RepairDialogShown, &RePairFlag})
                flags.append({flag, flag->load()});
            for (std::atomic<int>* number : {&ModelCount, &SelectedIndex, &rateClass, &OnMainPage,
                                             &ShowBatteryValue, &OfflineReason, &LastImportResult, &ImportRunning})
                numbers.append({number, number->load()});
        }

        void Restore() const
        {
            for (const Atom<bool>& flag : flags)
                *flag.global = flag.value;
            for (const Atom<int>& number : numbers)
                *number.global = number.value;
            {
                QMutexLocker lock(&FlashDataMutex);
                CurrentFlashData = image;
            }
            CurrentDeviceInfo = current;
            SelectedDeviceInfo = selected;
            SetCurrentDevicePath(devicePath);
            CurrentConfigPath = configPath;
            DeviceInfoFile = infoFile;
            FoundDevices = found;
            DeviceList = list;
            DeviceListB = listB;
            CurrentDongleRGBBlock = dongle;
            QString* const texts[] = {&MouseLeftText, &MouseRightText, &MouseMiddleText, &MouseBackText,
                                      &MouseForwardText, &WiredModeText, &MouseIsNewText};
            for (int i = 0; i < mouseTexts.size(); ++i)
                *texts[i] = mouseTexts.at(i);
            WorkerThread = worker;
        }
    };
    Saved m_saved;
};

}  // namespace testsupport
