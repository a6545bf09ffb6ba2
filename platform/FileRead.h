// The readers' check of a file, the counterpart of FileSpot's writers'
// check: the name may point at anything (a FIFO with no writer would block
// for ever, a device file or a huge file would never end or exhaust
// memory), so a file is opened without blocking and examined on the open
// descriptor, and only a regular file within a size cap passes. It lives
// with the platform layers because the registry store hands its file to a
// reader that opens it by name too; core's PickedFile reads every other
// file through it.
#pragma once

#include <QString>

// The cap of the files the program reads by itself: its own small settings
// files (the registry store's too), the model table, the language files and
// the sensor definitions (the largest of them holds about 20 KB).
constexpr qint64 StartupFileMaxBytes = 1 << 20;

enum class FileReadError {
    None,
    Missing,      // cannot be opened (absent, no permission)
    NotRegular,   // a folder, FIFO, socket or device
    TooLarge,     // larger than the cap
    ReadFailed,   // an I/O error while reading
};

// A descriptor that OpenChecked opened; closed on every way out.
struct CheckedFile {
    int fd = -1;
    CheckedFile() = default;
    ~CheckedFile();
    CheckedFile(const CheckedFile&) = delete;
    CheckedFile& operator=(const CheckedFile&) = delete;
};

// Opens path for reading without blocking and checks, on the descriptor,
// that it is a regular file of at most maxBytes bytes; file and *size hold
// it on success. A refusal is logged ("dizadi.files"; an absent file only
// at the debug level, the normal case of many start-up files).
FileReadError OpenChecked(const QString& path, qint64 maxBytes, CheckedFile* file, qint64* size);

// For a file that another reader then opens by name (QSettings): whether it
// may. True when nothing is at path (that reader finds it missing) or it is a
// regular file of at most maxBytes bytes; false for anything else (logged).
// The file is opened without blocking and closed again.
bool MayOpenByName(const QString& path, qint64 maxBytes);
