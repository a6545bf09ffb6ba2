// The model behind the device list: searching the attached devices of the
// configured ids, identifying each against the model table of Config.ini,
// asking a device for its link state, and the rules by which the list shows
// them (duplicates, a receiver beside its model's cabled mouse, rate
// badges, places on the pages). No widgets here; the list page is thin over
// it. Everything runs on the GUI thread.
#pragma once

#include "DeviceRecords.h"

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

namespace DeviceDiscovery {

// The product id lists of [Option] (each element decoded as Config.ini says).
struct PidLists {
    QStringList usb;        // USB_PID: mice on their cable (and anything else)
    QStringList wireless1;  // Wireless_PID: receivers of 1 kHz
    QStringList wireless2;  // Wireless2_PID: 2 kHz
    QStringList wireless4;  // Wireless4_PID: 4 kHz
    QStringList wireless8;  // Wireless8_PID: 8 kHz
};

// Reads the five lists from Config.ini.
PidLists ReadPidLists();
// The lists the last search used (the globals UsbPidList ...).
PidLists CurrentPidLists();
// Stores lists into the globals UsbPidList ... Wireless8PidList.
void StorePidLists(const PidLists& lists);
// Every non-empty element of USB_PID, then of the four receiver lists, in
// this order; a repeated value stays repeated.
QStringList SearchList(const PidLists& lists);

// [Option] DeviceTotal within 0..ConfigSettings::MaxModelGroups.
int ModelTotal();

// "v" + major + "." + minor (hex) of the u16 at bytes 8..9 of the 12-byte
// attribute block of path.
QString UsbVersionOf(const QByteArray& path);

// Identifies one record by its path: asks the device up to ten times for
// its identity (the tenth answer is never taken as one) and matches it to
// the first model group with Option/CID and the group's MID. A silent or
// unmatched device gets driveIndex = DeviceTotal; false only when a device
// answered but no model group exists (it is not listed).
bool ReadDeviceInfo(DeviceAllInfo& info);
// Asks the device at info.path once for its identity and stores its cid and
// mid as they come (0, 0 from a silent device); nothing else is matched.
void ReadIdentityOnce(DeviceAllInfo& info);

// The paths of the attached devices of vid and pid, as the library's search
// gives them (copied: the library keeps them only until its next search).
QStringList SearchPaths(const QString& vid, const QString& pid);

// Appends the attached devices of the ids to DeviceList and DeviceListB, in
// search order; a path already listed is not listed again. When the library
// can find no device at all (its bench folder cannot be used), the folder
// and the reason are logged under dizadi.library, once until they change.
void FindDevices(const QString& vid, const QStringList& pids);

// Link state of the device: online from byte 6 of a fresh address buffer,
// address from bytes 7..9.
void QueryLink(DeviceAllInfo& info);

// Replaces the entry of list with the same path; false when none has it.
bool ReplaceByPath(QList<DeviceAllInfo>& list, const DeviceAllInfo& info);

// True when two devices of one model and one kind are attached: two mice on
// their cables, two receivers of one rate, two unmatched ones of one kind.
// Receivers in no receiver list and indexes outside 0..total are not
// counted.
bool HasDuplicates(const QList<DeviceAllInfo>& devices, const PidLists& lists, int total);

// Drops from devices every receiver of a model of which exactly one mouse
// is attached on its cable (the mouse stands for it), last first.
void DropReceiversBesideCabledMouse(QList<DeviceAllInfo>& devices, const PidLists& lists, int total);

// The link's rules when the attached devices change while the pages show
// current:
// - found is the current receiver's own mouse plugged in with its cable (a
//   mouse that answers, at the receiver's three-byte address, of its model;
//   with no current path, a receiver that answers);
bool FollowsMouseBesideReceiver(const DeviceAllInfo& found, const DeviceAllInfo& current);
// - current has a path and no found device has it.
bool CurrentDeviceGone(const QList<DeviceAllInfo>& found, const DeviceAllInfo& current);

// The rate badge picture of a product id, empty when it is no receiver's.
// Full pages look at 2, 4, 1, 8 kHz in this order, the last page at 2, 4,
// 8, 1 kHz.
QString BadgePicture(const QString& pid, const PidLists& lists, bool lastPage);

// Place of device index's button among count devices, in its page: three
// to a full page at x = 0, 300, 600; a last page of one at x = 305, of two
// at 135 and 445; y = 0.
QPoint ButtonPlace(int index, int count);
// Whether device index sits on the last page, which holds fewer than three.
bool OnShortLastPage(int index, int count);
int PageCount(int count);

}  // namespace DeviceDiscovery
