// The writers' check of the place a file goes, seen without following a
// symbolic link. It lives with the platform layers because the autostart
// entry's writer uses it too; the file-name safety check (core's
// SafeFileName.h) offers it to every other writer.
#pragma once

#include <QString>

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
