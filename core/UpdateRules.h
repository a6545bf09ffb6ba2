// The firmware update's rules without widgets: which attached devices an
// update or a repair can go on with, what it tells the user otherwise, which
// receiver kind and which version texts the settings page works with, and
// the receiver id record of cable pairing. The update check (FirmwareCheck)
// and the repair dialog are built on these; the library calls and image
// lookups stay with them.
#pragma once

#include "DeviceDiscovery.h"
#include "DeviceRecords.h"
#include "FirmwareUpdate.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace UpdateRules {

// What a check tells the user; each window has its text for each.
enum class Message {
    None,         // nothing to tell: go on
    NoDevice,     // no device to update
    SameDevice,   // more than one device waits for the image
    VerNew,       // up to date
    NoReceive,    // the mouse's receiver is missing
    NoUsb,        // no mouse on its cable
    Error,        // the devices do not fit the update
    MultiDongle,  // two receivers, or a receiver of another model
    MultiMouse,   // two mice, or a mouse of another model
    FileError,    // no usable image for the device (none, or only damaged ones)
    WiredMode,    // a mouse update needs the mouse on its cable
};

// The receiver beside a mouse on its cable: in a list of exactly two, the
// first entry with an address and directMouse clear, and when kindNeeded a
// receiver kind byte (0, 1, 4, 5). -1 for none.
int ReceiverBesideMouse(const QList<DeviceAllInfo>& found, bool kindNeeded);

// The receiver kind an update of the receiver works with: the current
// device's own when it is a receiver, else (a mouse on its cable) that of the
// receiver beside it; 0 for none.
int CheckKind(const DeviceAllInfo& current, const QList<DeviceAllInfo>& found);

// The version texts the page shows (receiver, mouse) and the receiver kind.
// Offline only the receiver's; a mouse on its cable takes the receiver's
// from the receiver beside it.
struct VersionTexts {
    QString receiver;
    QString mouse;
    int kind = 0;
};
VersionTexts VersionTextsOf(const DeviceAllInfo& current, bool online, const QList<DeviceAllInfo>& found);

// The receivers an update of the receiver may write in normal mode: the
// current receiver (once per entry of found with its path), or beside a
// mouse on its cable every receiver found.
QStringList ReceiverPaths(const DeviceAllInfo& current, const QList<DeviceAllInfo>& found);
// Mice on their cable among found.
int CabledMice(const QList<DeviceAllInfo>& found);

// The settings page's resume decision before any image is looked up.
struct ResumePlan {
    enum Path {
        Stop,    // answer false with tip
        Resume,  // one device attached: the failed update of the record
        Fresh,   // a receiver and its model's mouse on its cable
    };
    Path path = Stop;
    Message tip = Message::None;
    int kind = 0;            // the receiver kind to update (0 none)
    bool mouseBoot = false;  // the record names the mouse (it waits in boot mode)
    int receiverIndex = -1;  // Fresh: the receiver's entry in found
};
ResumePlan PlanResume(const std::optional<UpdateFailRecord>& record, const QList<DeviceAllInfo>& found);

// The repair dialog's check of the listed devices against the record
// (without the image lookups). partnerTest: the failed device's partner must
// be listed first (a receiver repair needs its mouse on the cable, a mouse
// repair its receiver); the automatic repair skips it.
struct RepairPlan {
    Message tip = Message::None;
    int receiversByPid = 0;  // receivers of the record's kind listed (receiver repair only)
};
RepairPlan PlanRepair(const UpdateFailRecord& record, const QList<DeviceAllInfo>& list,
                      const QList<DeviceAllInfo>& listB, const DeviceDiscovery::PidLists& pids, bool partnerTest);
// The repair may start only with an image for the failed device and exactly
// one device to take it (boot devices plus listed receivers).
Message DecideRepair(bool imageFound, int devices);

// The receiver's id: bytes 9, 8, 7 of its 10-byte online-and-address reply.
QByteArray ReceiverIdBytes(const unsigned char* reply);
// The 5-byte receiver id record written to a mouse on its cable: the first
// three id bytes (zeros for missing ones), 0, and the kind code (0 for kind
// 1, 1 for 2 and 4, 4 for 8, 0 for any other).
QByteArray ReceiverIdRecord(const QByteArray& idBytes, int kind);

}  // namespace UpdateRules
