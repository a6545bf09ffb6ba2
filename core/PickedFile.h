// Reading a file the user picked in a file dialog (a settings import, a macro
// import, a firmware image), and every file the program reads by itself at
// start (its settings in the user folder, the installed data, the caches).
// The name may point at anything: a FIFO with no writer would block the GUI
// thread for ever, a device file or a huge file would never end or exhaust
// memory. Every such reader goes through here: only a regular file is read,
// and only up to a size cap. A start-up file that is refused counts as
// missing. The check itself (and StartupFileMaxBytes, MayOpenByName for a
// file another reader opens by name) is the platform's FileRead.
#pragma once

#include "FileRead.h"

#include <QByteArray>
#include <QString>

#include <optional>

using PickedFileError = FileReadError;

// Reads the whole file at path into data when it is a regular file of at most
// maxBytes bytes. The file is opened without blocking and checked on the open
// descriptor, so a name swapped for a FIFO after a check cannot block either.
PickedFileError ReadPickedFile(const QString& path, qint64 maxBytes, QByteArray* data);

// The same checks (regular file, at most maxBytes bytes), but only the first
// headBytes bytes are read (fewer when the file is shorter): for the scans
// that look at the head of many files and must not read them whole.
PickedFileError ReadPickedFileHead(const QString& path, qint64 maxBytes, int headBytes, QByteArray* data);

// The same checks (regular file, at most maxBytes bytes), but only the last
// tailBytes bytes are read (all of a shorter file): for a log that keeps
// only its end. *cut tells whether bytes before them were left out.
PickedFileError ReadPickedFileTail(const QString& path, qint64 maxBytes, int tailBytes, QByteArray* data, bool* cut);

// Line 1 of a small text file, without its line end and cut to maxChars
// characters; only the head of the file is read. Nothing when the file is
// missing or refused (StartupFileMaxBytes).
std::optional<QString> ReadFirstLine(const QString& path, int maxChars);
