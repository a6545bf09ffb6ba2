// The per-user folder of older versions, "<home>/AppData/Local/<name>", is
// moved once to where Linux keeps such data (DataHomeUserDir()), so that no
// macro, cached device image or setting is lost. No window.
#pragma once

#include <QString>

// "<home>/AppData/Local/<AppDataName>".
QString OldUserDir();

// Moves the folder oldDir to newDir when oldDir is a folder and nothing
// stands at newDir (newDir's parent is made): a rename, or, across file
// systems, a copy that takes newDir's place only once complete, then the
// removal of oldDir. Returns the folder to use: newDir, or oldDir when it
// could not be moved (the reason is logged; oldDir stays as it was and
// nothing is left at newDir).
QString MoveUserDir(const QString& oldDir, const QString& newDir);

// The start-up's one call, before anything reads or writes the per-user
// folder: moves OldUserDir() to DataHomeUserDir(), then removes
// "<home>/AppData/Local" and "<home>/AppData" where that left them empty.
// When the move failed, UserDir() gives the old folder for this run.
void MoveOldUserDir();
