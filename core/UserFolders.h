// The per-user folder tree below UserDir() and the pruning of its old log
// and dump files. No window: the start-up and the tests prepare the tree
// with the same functions.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The folders below the per-user root, in the order they are made.
QStringList UserFolderNames();

// Creates every missing folder of the tree below root and an empty
// "Macro.ini" when nothing is in its place (an existing file is left as it
// is; a link, a folder or a FIFO there is left too, and logged). Failures
// are ignored: the users of each folder cope with a missing one.
void PrepareUserFolders(const QString& root);

// Whether settings can be saved below root: the root and every folder of
// the tree take a new file (one is made and removed again in each). False
// when one is missing or refuses it (a read-only home or user folder, a
// folder of another owner); the folder is logged.
bool UserFolderWritable(const QString& root);

// Removes every plain file of folder whose age in whole days exceeds 7.
// Hidden files, subfolders and files dated in the future stay.
void PruneOldFiles(const QString& folder);
void PruneOldFiles(const QString& folder, const QDateTime& now);
