#include "Globals.h"

#include <QCoreApplication>
#include <QDir>
#include <QMutexLocker>

const QString AppName = QStringLiteral("Corvane Dizadi Mouse");
const QString AppDataName = QStringLiteral("Corvane Dizadi Mouse");
const QString DesktopId = QStringLiteral(DIZADI_DESKTOP_ID);

namespace {
QMutex& pathMutex()
{
    static QMutex mutex;
    return mutex;
}
QByteArray& devicePath()
{
    static QByteArray path("a");
    return path;
}
QString& appDirOverride()
{
    static QString dir;
    return dir;
}
QString& userDirOverride()
{
    static QString dir;
    return dir;
}
}  // namespace

QString AppDir()
{
    {
        QMutexLocker lock(&pathMutex());
        if (!appDirOverride().isEmpty())
            return appDirOverride();
    }
    return QCoreApplication::applicationDirPath();
}

QString UserDir()
{
    {
        QMutexLocker lock(&pathMutex());
        if (!userDirOverride().isEmpty())
            return userDirOverride();
    }
    return DataHomeUserDir();
}

QString DataHomeUserDir()
{
    // A relative XDG_DATA_HOME is invalid and ignored, like an empty one.
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(dataHome) + QLatin1Char('/') + AppDataName;
}

void SetUserDirOverride(const QString& dir)
{
    QMutexLocker lock(&pathMutex());
    userDirOverride() = dir;
}

void SetAppDirOverride(const QString& dir)
{
    QMutexLocker lock(&pathMutex());
    appDirOverride() = dir;
}

QString ProgramRegistryKey()
{
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\") + AppDataName + QLatin1Char('\\') + AppDataName
           + QStringLiteral("\\Vozad Izuro Vuro");
}

FlashDataMap CurrentFlashData{};
QMutex FlashDataMutex;
std::atomic<bool> ImageBelongsToDevice{false};

FlashDataMap SnapshotFlashData()
{
    QMutexLocker lock(&FlashDataMutex);
    return CurrentFlashData;
}

DeviceAllInfo CurrentDeviceInfo;
DeviceAllInfo SelectedDeviceInfo;

QByteArray CurrentDevicePath()
{
    QMutexLocker lock(&pathMutex());
    return devicePath();
}

void SetCurrentDevicePath(const QByteArray& path)
{
    QMutexLocker lock(&pathMutex());
    devicePath() = path;
    // QByteArray keeps its data NUL-terminated; detach so that no other
    // owner's buffer is shared across threads.
    devicePath().detach();
}

QString CurrentConfigPath;
QString DeviceInfoFile;
QList<DeviceAllInfo> FoundDevices;
QList<DeviceAllInfo> DeviceList;
QList<DeviceAllInfo> DeviceListB;
QStringList UsbPidList;
QStringList WirelessPidList;
QStringList Wireless2PidList;
QStringList Wireless4PidList;
QStringList Wireless8PidList;
std::atomic<int> ModelCount{0};
std::atomic<int> SelectedIndex{0};
std::atomic<int> rateClass{0};

DongleRGB CurrentDongleRGBBlock{};
DongleRGB* const CurrentDongleRGB = &CurrentDongleRGBBlock;
uint8_t BatteryStatus[16] = {};
uint8_t StatusChangedFlags[16] = {};
uint8_t UsbAddressBuffer[16] = {};

std::atomic<bool> UiReady{false};
std::atomic<bool> SensorUiLoading{false};
std::atomic<bool> LightUiLoading{false};
std::atomic<bool> ButtonUiLoading{false};
std::atomic<bool> SensorUiUpdated{false};
std::atomic<bool> LightUiUpdated{false};
std::atomic<bool> ButtonUiUpdated{false};
std::atomic<bool> SettingsBusy{false};
std::atomic<bool> WorkerRun{false};
std::atomic<bool> DeviceOnline{false};
std::atomic<bool> LastOnline{false};
std::atomic<bool> OnlineAtEnd{false};
std::atomic<bool> DeviceOffline{false};
std::atomic<bool> ReadAgain{false};
std::atomic<bool> ReloadPending{false};
std::atomic<bool> KeyParamPassPending{false};
std::atomic<bool> SkipReceiverQuery{false};
std::atomic<bool> ReceiverUpdateAvailable{false};
std::atomic<bool> MouseUpdateAvailable{false};
std::atomic<bool> OnlinePollEnabled{true};
std::atomic<bool> RecordingMacro{false};
std::atomic<bool> RepairUpgradeRunning{false};
std::atomic<bool> CheckTimersRunning{false};
std::atomic<bool> RepairDialogShown{false};
std::atomic<bool> RePairFlag{false};
std::atomic<int> OnMainPage{0};
std::atomic<int> ShowBatteryValue{0};
std::atomic<int> OfflineReason{0};
std::atomic<int> LastImportResult{0};
std::atomic<int> ImportRunning{0};

QList<int> EventDefaultKeys;

Worker* WorkerThread = nullptr;
QTimer* CheckTimer = nullptr;
QElapsedTimer ReadThrottleTimer;

QString MouseLeftText = QStringLiteral("Mouse Left");
QString MouseRightText = QStringLiteral("Mouse Right");
QString MouseMiddleText = QStringLiteral("Mouse Middle");
QString MouseBackText = QStringLiteral("Mouse Back");
QString MouseForwardText = QStringLiteral("Mouse Forward");
QString WiredModeText;
QString MouseIsNewText;
