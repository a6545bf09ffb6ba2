// The writers' check of the place a file goes, seen without following a
// symbolic link, and the one writer of whole files that applies it. It lives
// with the platform layers because the autostart entry's writer uses it too;
// the file-name safety check (core's SafeFileName.h) offers it to every
// other writer.
#pragma once

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>

// "dizadi.files": files the program writes and reads. Defined here, below
// every other layer, so that the platform's file checks and core's users
// (core/Logging.h) log under the one category.
Q_DECLARE_LOGGING_CATEGORY(lcFiles)

// What is at a path, seen without following a symbolic link.
enum class FileSpot {
    Free,   // nothing: a new file may go there
    File,   // a regular file: a writer may replace it
    Other,  // a symbolic link (live or dangling), a folder, a FIFO, a device,
            // or a place that cannot be examined: no writer writes there
};
FileSpot SpotAt(const QString& path);

// The writers' check: true when a file may be written (created or replaced
// whole) at `path`, i.e. SpotAt is Free or File. A writer that is refused
// writes nothing; a name whose spot is not Free counts as taken.
bool MayWriteFileAt(const QString& path);
// The same check with a refusal logged ("dizadi.files", naming the file as
// `what`): for the stores that write their file on their own (QSettings,
// which writes through QSaveFile as well), before each of their writes.
bool MayWriteFileAt(const QString& path, const char* what);

// The check before each write of a store that QSettings keeps (it writes
// through QSaveFile too): MayWriteFileAt(path), and the lock files that
// QSettings takes first, "<path>.lock" and QLockFile's own "<path>.lock.rmlock".
// QLockFile waits on a held lock without a limit and reads what stands at
// its name (a FIFO blocks, a folder is never given up), so each of them
// must be nothing or a regular file, and the lock must be free: taken and
// let go again within SettingsLockWaitMs. Refusals are logged, naming the
// store as `what`.
constexpr int SettingsLockWaitMs = 500;
bool MaySettingsStoreWrite(const QString& path, const char* what);

// The one writer of whole files: `content` becomes the file at `path`. The
// new file is written beside the old one and takes its place only when
// complete, so a failure or a crash leaves what was there. Refused, with
// nothing written anywhere, when MayWriteFileAt(path) is false (a link, live
// or dangling, would lead the replacement to its target; a FIFO or a device
// would take the bytes or block). A missing folder of the file is made for
// the program's own files; a place the user chose must exist. A refusal or
// a failure is logged ("dizadi.files", naming the file as `what`) and, when
// `error` is given, described there. True when written.
enum class FileFolder {
    Make,       // the program's own file: its folder is made when missing
    MustExist,  // a file the user placed (an export): nothing is made
};
[[nodiscard]] bool WriteWholeFile(const QString& path, const QByteArray& content, const char* what,
                                  FileFolder folder = FileFolder::Make, QString* error = nullptr);
