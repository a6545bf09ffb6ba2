// A device left in boot mode without a failed-update record: a firmware
// write that ended unseen before the record could be stored, or whose record
// went while the device still waits. Such a device leaves the normal device
// list and answers only the library's question whether it takes a given
// image (UsbUpgradeC_FindBootDevices). The images of the known models are
// asked in turn; the first one a waiting device takes gives the record its
// repair works from, as a failed upgrade would have left it.
#pragma once

#include "FirmwareUpdate.h"

#include <functional>
#include <optional>

class QObject;

// The record of a device that waits in boot mode for an image of a model of
// the table (Option/CID; each Drive<N> with a MID: its mouse image MM, then
// its receiver images DM, D2M, D4M, D8M): type 210 or 211, the receiver
// kind (1, 2, 4, 8; 0 for the mouse), CID and MID. Reads the images it asks
// about whole: never on the GUI thread.
std::optional<UpdateFailRecord> FindWaitingBootDevice();

// Runs FindWaitingBootDevice off the GUI thread and, when it finds a device
// while still no record is there and no upgrade runs, stores its record.
// done(true) when it stored one, done(false) otherwise, on the GUI thread;
// nothing when context is gone by then.
void RecordWaitingBootDevice(QObject* context, std::function<void(bool recorded)> done);
