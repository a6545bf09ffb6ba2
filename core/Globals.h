// The state the whole program shares: the configuration image with its lock,
// the selected device, the device lists and the flags of the device link and
// the pages. This module is the one owner of these globals.
#pragma once

#include "DeviceRecords.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <atomic>

class Worker;
class QTimer;

// The application name: the single-instance key and the per-user folder name.
extern const QString AppName;
extern const QString AppDataName;
// The id of the installed menu entry ("<id>.desktop") and of the icon.
extern const QString DesktopId;

// Folder of the executable (where the installed data lies).
QString AppDir();
// Tests point the program at another installed-data folder.
void SetAppDirOverride(const QString& dir);

// The per-user folder: DataHomeUserDir(), unless the start-up had to keep
// the older folder for this run (SetUserDirOverride).
QString UserDir();
// "${XDG_DATA_HOME:-<home>/.local/share}/<AppDataName>", the Linux place of
// "<home>/AppData/Local/<AppDataName>", the tree inside unchanged.
QString DataHomeUserDir();
// Makes UserDir() give dir (the empty text: DataHomeUserDir() again).
void SetUserDirOverride(const QString& dir);

// The program's registry key: HKEY_CURRENT_USER\Software\<app>\<app>\Vozad Izuro Vuro.
QString ProgramRegistryKey();

// ---- The configuration image -------------------------------------------
// The one global image. Shared by the GUI thread and the device library's
// threads: every store and every snapshot happens under FlashDataMutex.
extern FlashDataMap CurrentFlashData;
extern QMutex FlashDataMutex;
FlashDataMap SnapshotFlashData();

// True only while CurrentFlashData was read from the selected device (or
// replaced on purpose by an import or a reset); writers send nothing else.
extern std::atomic<bool> ImageBelongsToDevice;

// ---- Devices ------------------------------------------------------------
extern DeviceAllInfo CurrentDeviceInfo;   // the device being configured
extern DeviceAllInfo SelectedDeviceInfo;  // the device last clicked in the list

// The HID path given to every library call: an owned copy, "a" until the
// first selection. Safe to read and write from any thread.
QByteArray CurrentDevicePath();
void SetCurrentDevicePath(const QByteArray& path);

extern QString CurrentConfigPath;  // cache file name of the last fully read device
extern QString DeviceInfoFile;     // cache file name of the selected device
extern QList<DeviceAllInfo> FoundDevices;
extern QList<DeviceAllInfo> DeviceList;
extern QList<DeviceAllInfo> DeviceListB;

// Product ids of Config.ini ([Option] USB_PID and the receivers of 1, 2, 4
// and 8 kHz) as the device list read them at its last search (GUI thread).
extern QStringList UsbPidList;
extern QStringList WirelessPidList;
extern QStringList Wireless2PidList;
extern QStringList Wireless4PidList;
extern QStringList Wireless8PidList;
// [Option] DeviceTotal as read when the device list was built: a driveIndex
// equal to it marks a device that matches no model group.
extern std::atomic<int> ModelCount;
// Index in DeviceList of the device last clicked in the list.
extern std::atomic<int> SelectedIndex;
// Receiver rate class (1, 2, 4, 8 kHz) of the device last opened from the
// list; 0 for a mouse on its cable (no receiver image applies).
extern std::atomic<int> rateClass;

// The receiver light block and the library's out-buffers (one each for the run).
extern DongleRGB CurrentDongleRGBBlock;
extern DongleRGB* const CurrentDongleRGB;
extern uint8_t BatteryStatus[16];       // [0] level %, [1] charging
extern uint8_t StatusChangedFlags[16];  // 7 flags of a status change report
extern uint8_t UsbAddressBuffer[16];    // [6] == 1 online, [7..9] address

// ---- Flags ----------------------------------------------------------------
extern std::atomic<bool> UiReady;
extern std::atomic<bool> SensorUiLoading;
extern std::atomic<bool> LightUiLoading;
extern std::atomic<bool> ButtonUiLoading;
extern std::atomic<bool> SensorUiUpdated;
extern std::atomic<bool> LightUiUpdated;
extern std::atomic<bool> ButtonUiUpdated;
extern std::atomic<bool> SettingsBusy;
extern std::atomic<bool> WorkerRun;
extern std::atomic<bool> DeviceOnline;
extern std::atomic<bool> LastOnline;
extern std::atomic<bool> OnlineAtEnd;
extern std::atomic<bool> DeviceOffline;
extern std::atomic<bool> ReadAgain;
extern std::atomic<bool> ReloadPending;
extern std::atomic<bool> KeyParamPassPending;
extern std::atomic<bool> SkipReceiverQuery;
extern std::atomic<bool> ReceiverUpdateAvailable;
extern std::atomic<bool> MouseUpdateAvailable;
extern std::atomic<bool> OnlinePollEnabled;   // true at start; false while a firmware update runs
extern std::atomic<bool> RecordingMacro;
extern std::atomic<bool> RepairUpgradeRunning;
extern std::atomic<bool> CheckTimersRunning;
// The settings page's firmware repair dialog is on screen (the dialog keeps
// it; the device link asks it for a new check after a USB change).
extern std::atomic<bool> RepairDialogShown;
extern std::atomic<bool> RePairFlag;
extern std::atomic<int> OnMainPage;
extern std::atomic<int> ShowBatteryValue;
// Why the main window's device notice (SigMouseOffLineo) was asked for:
// 0 the device is offline, 1 it did not answer in time, WriteRefusedReason
// it did not take a change (the device stays online then), RefusedUnkeptReason
// it did not take a change that waits to be sent again but cannot be kept
// past a restart (the list of such changes cannot be stored).
extern std::atomic<int> OfflineReason;
constexpr int WriteRefusedReason = 2;
constexpr int RefusedUnkeptReason = 3;
constexpr bool IsRefusalReason(int reason)
{
    return reason == WriteRefusedReason || reason == RefusedUnkeptReason;
}
extern std::atomic<int> LastImportResult;
extern std::atomic<int> ImportRunning;       // 1 while a settings import's apply dialog exists

extern QList<int> EventDefaultKeys;

// ---- Link objects -------------------------------------------------------
extern Worker* WorkerThread;           // created by the button page
extern QTimer* CheckTimer;             // the link's 1300 ms check timer
extern QElapsedTimer ReadThrottleTimer;

// ---- Texts shared between pages ----------------------------------------
// Names of the five mouse buttons in the key vocabulary; English until the
// macro page's language section overrides them.
extern QString MouseLeftText;
extern QString MouseRightText;
extern QString MouseMiddleText;
extern QString MouseBackText;
extern QString MouseForwardText;
extern QString WiredModeText;
// The device list's text "MouseIsNewTips" (asked before a receiver repair).
extern QString MouseIsNewText;
