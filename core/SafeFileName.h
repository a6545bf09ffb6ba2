// The one place that decides whether a name (a macro name from a device
// image, an imported file or the user) may become a file name, and whether
// a file may be written where it would go. Every writer that builds a file
// name from such a name goes through it, so that no name can write outside
// its folder, and no link placed in the folder leads a writer elsewhere.
#pragma once

#include "FileSpot.h"  // the writers' check of a file's place (SpotAt, MayWriteFileAt, MaySettingsStoreWrite) and WriteWholeFile

#include <QString>

// False for the empty name, ".", "..", a leading ".", and for names holding
// "/", "\", NUL or a control character.
bool IsSafeFileName(const QString& name);

// folder + "/" + name + suffix when the name is safe and the whole file name
// fits the file system's limit (255 bytes); otherwise the empty text.
QString SafeFilePath(const QString& folder, const QString& name, const QString& suffix);
