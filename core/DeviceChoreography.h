// The steps the windows take with the device library outside the
// configuration image, each in one place and in one order: which USB-change
// callback is live, the device link as the windows open and close it, a
// pairing run and the link after it, one pairing attempt's device side,
// which firmware of a receiver and its mouse differs, and the cable pairing
// writes. No widgets: a dialog is passed in as a callable that runs it.
// The shell and the pages call these; none of them calls the library.
#pragma once

#include "DeviceRecords.h"

#include <QByteArray>
#include <QString>

#include <functional>

// ---- which USB-change callback is live ------------------------------------

// The two callbacks the program follows USB changes with: the device list's
// while the list is shown, the device link's (Worker::OnUsbChanged) while the
// configuration pages are.
enum class UsbWatcher { List, Pages };
using UsbChangeCallback = void (*)();
// The library checks the attached devices this often.
constexpr int UsbChangeIntervalMs = 600;

// The list's callback lives with the list (a window): the shell registers it
// when it builds the list. Until then FollowUsbChanges(List) follows nothing.
void SetListUsbCallback(UsbChangeCallback callback);
// Makes watcher's callback the live one (the library calls it once soon,
// then on every change). Any thread.
void FollowUsbChanges(UsbWatcher watcher);
// No callback is live (the program ends).
void StopFollowingUsbChanges();

// ---- the device link as the windows drive it -------------------------------

// Ends the link (the list is shown, the program ends).
void CloseDeviceLink();
// Tells the device whether the program is in front (the pages are shown).
void TellProgramInFront(bool inFront);
// Whether the device at path (a receiver: its mouse) answers.
bool DeviceAnswers(const QString& path);

// ---- a pairing run ----------------------------------------------------------

// One pairing from a window. In this order: RePairFlag is set when clicked
// names the record clicked in the list (SelectedDeviceInfo becomes it; the
// dialog pairs it), else cleared; runDialog runs the pairing dialog modally;
// RePairFlag is cleared (it speaks of this pairing only); then, with the
// pages shown (OnMainPage 1), the pages' USB callback is made live and the
// device link is opened again; with the list shown, the list's callback is
// made live and no device link is opened (the list holds none).
void RunPairing(const std::function<void()>& runDialog, const DeviceAllInfo* clicked = nullptr);

// ---- one pairing attempt's device side --------------------------------------

using PairReportCallback = void (*)(unsigned char* header, int headerLength, unsigned char* data,
                                    unsigned int dataLength);
// A link of the attempt's own to the receiver at path; its reports go to
// callback. False when no device is attached there.
bool OpenPairingLink(const QString& path, PairReportCallback callback);
// Puts the receiver into pairing mode for mice of maker cid. False when the
// link is not open or the device is no receiver (its failure is reported).
bool AskToPair(int cid);
// Asks the receiver for its pairing state (answered as a report).
bool AskPairState();
// What a report of the pairing link says: None for any other report, a
// report too short to read, or a receiver still pairing.
enum class PairOutcome { None, Paired, Failed };
PairOutcome PairOutcomeOf(const unsigned char* header, int headerLength, const unsigned char* data,
                          unsigned int dataLength);
// Whether device is still attached (its ids search finds its path).
bool StillAttached(const DeviceAllInfo& device);

// ---- which firmware differs --------------------------------------------------

// For a receiver of the list and the mouse of its model: whether the images
// in the firmware folder differ from what each runs. MouseUnknown when no
// mouse of the model has told its version yet (none stored).
enum class FirmwareRelation { MouseUnknown, Same, Mouse, Receiver, Both };
FirmwareRelation FirmwareRelationOf(const DeviceAllInfo& receiver);

// ---- cable pairing writes ---------------------------------------------------

// Writes the 5-byte receiver id record to the mouse at path.
bool WriteReceiverIdToMouse(const QString& path, QByteArray record);
// The receiver at path's link answer: reply gets the ten answer bytes
// ([7..9] the address); the result is nonzero when its mouse is online.
unsigned char ReadReceiverAddress(const QString& path, unsigned char (&reply)[10]);
