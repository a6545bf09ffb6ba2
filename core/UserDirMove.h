// The per-user folder of older versions, "<home>/AppData/Local/<name>", is
// moved once to where Linux keeps such data (DataHomeUserDir()), so that no
// macro, cached device image or setting is lost. No window.
#pragma once

#include <QString>

#include <functional>

// "<home>/AppData/Local/<AppDataName>".
QString OldUserDir();

// The per-user folder as it stands before any move: oldDir while it waits
// to be moved (a folder, with nothing at newDir) or is kept where it is (a
// link to a folder or to nothing, see MoveUserDir), else newDir. The
// start-up takes its single-instance lock in this folder, so a move carries
// the lock along.
QString UserDirBeforeMove(const QString& oldDir, const QString& newDir);

// Called with the finished copy of a move across file systems just before
// it takes newDir's place; false fails the move.
using BeforePlacing = std::function<bool(const QString& copy)>;

// Moves the folder oldDir to newDir when oldDir is a folder and nothing
// stands at newDir (newDir's parent is made): a rename, or, across file
// systems, a copy that takes newDir's place only once complete, then the
// removal of oldDir. A copy fails on anything it cannot list or read. A
// link at oldDir is never moved. Returns the folder to use: newDir (also
// when another start moved oldDir meanwhile), or oldDir when it could not
// or may not be moved (the reason is logged; oldDir stays as it was and
// nothing is left at newDir).
QString MoveUserDir(const QString& oldDir, const QString& newDir, const BeforePlacing& beforePlacing = {});

// The start-up's one call, under its single-instance lock and before
// anything reads or writes the per-user folder: moves OldUserDir() to DataHomeUserDir(), then removes
// "<home>/AppData/Local" and "<home>/AppData" where that left them empty.
// When the move failed, UserDir() gives the old folder for this run.
// before is UserDirBeforeMove(OldUserDir(), DataHomeUserDir()) as the
// start-up saw it under its lock, looked at here again when empty.
void MoveOldUserDir(const QString& before = QString(), const BeforePlacing& beforePlacing = {});
