// Macros whose newest file the device has not taken yet.
//
// A macro file is sent to the keys that carry the macro after the user saved
// it. When the device does not take it, the file is the user's newer work
// and the device still holds an older record of the same name: the name is
// remembered (one a line, in "<user folder>/usersetting/MacroPending.txt")
// until a send succeeds. Meanwhile a device read does not write the device's
// record over the file, and ResendPendingMacros sends the file again.
// When the list cannot be written (a link, a folder or a FIFO in its place,
// a full disk), the names are held in memory for the rest of the run: the
// file is still kept from device reads and sent again, but a restart forgets
// it, and the refusal's notice says so.
#pragma once

#include <QString>
#include <QStringList>

class HeldRefusalNotice;

namespace keys {

QString MacroPendingFile();
// The pending macros: the held names once the list could not be written,
// else the stored list (none when it is missing or unreadable).
QStringList PendingMacros();
bool IsMacroPending(const QString& name);
// Adds or removes a name; false when the list could not be written (the
// change is then held in memory for the run).
bool SetMacroPending(const QString& name, bool pending);
// Makes a macro the device refused pending; when the list cannot keep it
// past a restart, the held refusal notice says so (RefusedUnkeptReason).
void KeepRefusedMacro(const QString& name, HeldRefusalNotice& notice);

// Sends macro `name`'s file to key `key` (the key entry: macro, the file's
// repeat code; the record: the file's rows). A file that was read but not
// taken by the device (or that could not reach it) makes the macro pending.
// False when nothing reached the device.
bool SendMacroFileToKey(const QString& name, int key);

// Sends every pending macro again to each key of the image in memory whose
// macro record bears its name, without a notice (the refusal was told
// already). A macro leaves the list once every such key took it, or when
// its file is gone or no key carries it any more. Nothing is sent while the
// image in memory is not the device's, nor while a firmware update or a
// settings import or reset runs. Returns the number still pending.
int ResendPendingMacros();

}  // namespace keys
