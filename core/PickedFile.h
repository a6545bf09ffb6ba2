// Reading a file the user picked in a file dialog (a settings import, a macro
// import, a firmware image). The name may point at anything: a FIFO with no
// writer would block the GUI thread for ever, a device file or a huge file
// would never end or exhaust memory. Every reader of a picked file goes
// through here: only a regular file is read, and only up to a size cap.
#pragma once

#include <QByteArray>
#include <QString>

enum class PickedFileError {
    None,
    Missing,      // cannot be opened (absent, no permission)
    NotRegular,   // a folder, FIFO, socket or device
    TooLarge,     // larger than the cap
    ReadFailed,   // an I/O error while reading
};

// The file a save dialog writes for the name the user gave: the name with
// "." + suffix appended unless it already ends in it (in any case, as the
// open dialog's "*.<suffix>" filter matches), so that the open dialog of the
// same files lists it. "a.b" becomes "a.b.<suffix>"; the empty name stays
// empty (nothing chosen).
QString WithFileSuffix(const QString& path, const QString& suffix);

// Reads the whole file at path into data when it is a regular file of at most
// maxBytes bytes. The file is opened without blocking and checked on the open
// descriptor, so a name swapped for a FIFO after a check cannot block either.
PickedFileError ReadPickedFile(const QString& path, qint64 maxBytes, QByteArray* data);

// The same checks (regular file, at most maxBytes bytes), but only the first
// headBytes bytes are read (fewer when the file is shorter): for the scans
// that look at the head of many files and must not read them whole.
PickedFileError ReadPickedFileHead(const QString& path, qint64 maxBytes, int headBytes, QByteArray* data);
