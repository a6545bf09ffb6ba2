// Macro names in device images and the per-macro text files.
//
// A macro record holds its name in 30 bytes. The program reads and writes
// these bytes as UTF-8 everywhere, cut only at character boundaries.
#pragma once

#include "DeviceImage.h"

#include <QByteArray>
#include <QString>

namespace keys {

// The name in `size` bytes: up to the first zero byte (all bytes when none
// is zero), decoded as UTF-8; a character cut off at the end is dropped.
QString DecodeMacroName(const uint8_t* bytes, int size);
QString DecodeMacroName(const MacroRecord& record);

// The UTF-8 bytes of a name, at most `maxBytes` of them, cut at a character
// boundary (and at a NUL, which would end the name on the device).
QByteArray EncodeMacroName(const QString& name, int maxBytes = MacroNameBytes);

// Folder of the per-macro files: UserDir() + "/usersetting/MacroPage".
QString MacroFolder();
// The file of macro `name`, or the empty text when the name may not become a
// file name (see IsSafeFileName).
QString MacroFilePath(const QString& name);

// Replaces the macro's file with exactly `content` (an empty content leaves
// an empty file). The one writer of macro files: the new file is written
// beside the old one and takes its place only when complete. Returns false,
// and writes nothing, when the name may not become a file name, a link (live
// or dangling) or anything but a regular file is in the file's place
// (MayWriteFileAt), or the file cannot be written; what was there is then
// left as it was.
[[nodiscard]] bool WriteMacroFileBytes(const QString& name, const QByteArray& content);

// WriteMacroFileBytes with `text` and a line end, UTF-8.
[[nodiscard]] bool WriteMacroFile(const QString& name, const QString& text);

}  // namespace keys
