// What a firmware upgrade leaves and reads besides the image: the one door to
// the device library's image calls, its events decoded, the progress of one
// or two stages, the failed-update record and the mouse version in the
// registry, and the update log.
//
// An upgrade, as the update check and the repair dialog run it:
//
//     LoadFirmwareImageAsync(file, this, [this](FirmwareLoadResult loaded) {
//         if (!loaded.image)
//             return ShowFileError();  // every match damaged: nothing to start, no record
//         const int boot = FirmwareBootDeviceCount(loaded.image);  // optional
//         StartFirmwareUpgrade(loaded.image, record, [](const UpgradeEvent& e, const FirmwareImageHandle& image) {
//             // a library thread: write atomics, reach windows through PostMsg
//             if (e.kind == UpgradeEvent::Progress)
//                 PostMsg::GetInstance()->PostProgress(UpgradeProgressValue(e.percent, stage, stages), 0);
//             ...
//         });
//     });
//
// StartFirmwareUpgrade keeps the image (the handle) until the upgrade's end
// event has been handed to the handler; no lookup of any caller can take it
// away. The handler of an end event may start the next stage at once.
#pragma once

#include "FirmwareFiles.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// ---- upgrade events -----------------------------------------------------

struct UpgradeEvent {
    enum Kind {
        Ignored,   // not an upgrade event (byte 0 not 7, byte 1 not 1 or 2)
        Progress,  // percent 0..100
        Finished,  // success or failure
    };
    Kind kind = Ignored;
    int percent = 0;
    bool success = false;
    // A failure the library did not report: no event for the upgrade
    // timeout (SetFirmwareUpgradeTimeout).
    bool timedOut = false;
};

// The library's event bytes: [0] 7, [1] 1 progress ([2] percent) or 2 end
// ([2] 1 success, anything else failure). Null gives Ignored.
UpgradeEvent DecodeUpgradeEvent(const unsigned char* event);

// The value a progress bar shows for percent of stage (0 the receiver, 1 the
// mouse) when stageCount stages run: one stage fills 0..100, two stages fill
// 0..50 (receiver) and 50..100 (mouse).
int UpgradeProgressValue(int percent, int stage, int stageCount);

// ---- the library's image calls ----------------------------------------

using UpgradeHandler = std::function<void(const UpgradeEvent& event, const FirmwareImageHandle& image)>;
struct UpdateFailRecord;

// Boot-mode devices that take image (UsbUpgradeC_FindBootDevices); -1
// without a whole image (the library is not asked).
int FirmwareBootDeviceCount(const FirmwareImageHandle& image);
// Starts writing image (UsbUpgrade_Start) with handler for its events. False
// without a whole image, while an upgrade started here runs, or when the
// library refuses (then the handler is never called: any end event the
// library sends for the refusal is dropped, and the caller alone takes the
// failure path). The handler runs on a library thread. An upgrade that sends
// no event for the upgrade timeout ends as a failure with timedOut set (on
// a thread of its own); whatever the library sends for it later is dropped.
//
// record names the device about to be written; the failed-update record
// is kept here alone, callers leave it be. It is stored before the library
// is asked, unless a record is there already (the device it names still
// waits for its image): whatever ends the program from then on (a crash, a
// kill, a power cut) leaves the record that offers the repair. A start the
// library refuses removes what it stored (nothing was written). At the end,
// before the handler hears of it, a failure (the library's or the timeout)
// stores record, and a success removes the record of the device written
// (for a mouse, whatever receiver kind it names); another device's record
// stays.
bool StartFirmwareUpgrade(const FirmwareImageHandle& image, const UpdateFailRecord& record, UpgradeHandler handler);
// The longest silence of a running upgrade before it counts as failed:
// 120 s; tests shorten it. Takes effect for the next start.
constexpr int FirmwareUpgradeTimeoutMs = 120000;
void SetFirmwareUpgradeTimeout(int ms);
// An upgrade started here has not reported its end yet.
bool FirmwareUpgradeRunning();

// ---- the failed-update record (registry value "UpdateFailInfo") ---------

// "<type>,<kind>,<cid>,<mid>": the device type (210, 211), receiver kind
// (0, 1, 2, 4, 8), maker id and model id of the upgrade that failed.
struct UpdateFailRecord {
    int type = 0;
    int kind = 0;
    int cid = 0;
    int mid = 0;

    bool operator==(const UpdateFailRecord& o) const
    {
        return type == o.type && kind == o.kind && cid == o.cid && mid == o.mid;
    }
};

// Exactly four fields, each a decimal number from 0; anything else is no
// record (a record that cannot be resumed).
std::optional<UpdateFailRecord> ParseUpdateFailInfo(const QString& text);
QString UpdateFailInfoText(const UpdateFailRecord& record);

// The record in the program's registry key (absent or not valid: none).
std::optional<UpdateFailRecord> ReadUpdateFailInfo();
[[nodiscard]] bool WriteUpdateFailInfo(const UpdateFailRecord& record);
// True when no record is left (also when there was none).
[[nodiscard]] bool RemoveUpdateFailInfo();

// Registry value "MouseVer" + cid text + mid text: the mouse's version after
// a successful upgrade, as stored by the model table's texts.
// Every read and write of the value goes through these two.
QString MouseVersionValueName(const QString& cidText, const QString& midText);
[[nodiscard]] bool WriteMouseVersion(const QString& cidText, const QString& midText, const QString& version);
// The stored version; empty when none is stored (no mouse of the model has
// answered yet).
QString ReadMouseVersion(const QString& cidText, const QString& midText);

// ---- the update log ("<user folder>/Exception/UpDateLog.txt") -------------

QString UpdateLogPath();
// Lines the library gives for an upgrade (UsbUpgradeC_GetLogs): eight
// texts; null entries count as empty lines.
QStringList UpgradeLogLines(char** logs);
// The log keeps the failed upgrades, oldest first, in at most this many bytes.
constexpr qint64 UpdateLogMaxBytes = 64 * 1024;
// The log's bytes with one more failed upgrade appended. An entry is eight
// lines, each ended by a line end: the first eight of lines (missing ones
// empty), a line end inside a line made a space, a line cut (by characters)
// to an eighth of maxBytes. While the result would be larger than maxBytes the
// oldest entries go, whole; the new one always stays. Entries of log are
// counted from its end; lines left before its oldest whole entry count as one
// entry older still.
QByteArray AppendUpdateLogEntry(const QByteArray& log, const QStringList& lines,
                                qint64 maxBytes = UpdateLogMaxBytes);
// Appends the lines of a failed upgrade to the log (AppendUpdateLogEntry),
// written whole and put in place (a crash leaves the old log or the new one;
// the old log stays when it cannot be read or the write fails). A link, a
// FIFO or a device in the log's place is no log and is not written: false,
// without waiting.
[[nodiscard]] bool WriteUpdateLog(const QStringList& lines);
