// What every fuzz target needs around the code it feeds: a private world
// (temporary HOME, XDG folders and device bench, unless the test runner gave
// one), the offscreen Qt application and small file helpers.
#pragma once

#include "DeviceImage.h"
#include "DeviceRecords.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstring>

class Dialog;
class QApplication;

namespace fuzz {

// Call first, from LLVMFuzzerInitialize: points HOME, XDG_* and HIDUSB_BENCH
// at a fresh temporary folder (kept when the test runner already made one),
// selects the offscreen platform and creates the per-user folders. Returns
// the application object (created once, never destroyed).
QApplication* SetUp(int* argc, char*** argv);

// The page container with its five pages, listening to the hub as in the
// program, and the device link that the button page makes, whose check
// timer is stopped: no pass may start behind the fuzzer's back. Built once
// by the caller, never destroyed.
Dialog* BuildPages();

// The temporary root of this run.
QString Root();

// Writes bytes to path (creating its folder); aborts when that fails, since
// a target that cannot write its input tests nothing.
void WriteFile(const QString& path, const QByteArray& bytes);

// The bytes of a file (empty when it cannot be read).
QByteArray ReadFile(const QString& path);

// A folder that looks like the installed data beside the executable (every
// entry a symbolic link to the real one) except for the entries named in
// own, which the target writes itself. Returns its path.
QString MakeAppDirCopy(const QString& name, const QStringList& own);

// A device record of model group driveIndex + 1 of the shipped model table
// (CID and MID from Config.ini), of the given kind byte, online, with a
// path no attached device has (the library answers nothing for it).
DeviceAllInfo ModelDevice(int driveIndex, uint8_t type);

// The state each input starts from: ModelDevice(driveIndex, type) selected,
// its image not read yet (the image in memory zero and not the device's, no
// key-defaults pass or receiver skip pending).
void SelectUnreadDevice(int driveIndex, uint8_t type);

// Runs the posted events (deferred deletes too) without waiting and
// without firing timers.
void FlushPostedEvents();

// Stops the run with a crash report: a property that must hold failed.
[[noreturn]] void Fail(const char* what);

inline QByteArray Bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), int(size));
}

// Whether two configuration images hold the same bytes.
inline bool SameImage(const FlashDataMap& a, const FlashDataMap& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace fuzz
