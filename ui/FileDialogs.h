// The file dialogs of the exports and imports. An export is read back through
// an open dialog that lists "*.<suffix>" only, so the save dialog gives the
// same suffix to a name typed without it.
#pragma once

#include <QString>

class QWidget;

// "File(*.<suffix>)": the filter of both dialogs of one kind of file.
QString FileDialogFilter(const QString& suffix);

// The file a save dialog writes for the name the user gave: the name with
// "." + suffix appended unless it already ends in it (in any case, as the
// open dialog's "*.<suffix>" filter matches), so that the open dialog of the
// same files lists it. "a.b" becomes "a.b.<suffix>"; the empty name stays
// empty (nothing chosen).
QString WithFileSuffix(const QString& path, const QString& suffix);

// Asks for the file to save in a save dialog ("FileSave", starting in the home
// folder, filtered by suffix); the name typed gets the suffix
// (WithFileSuffix) before the dialog checks it, so the dialog asks about
// replacing the file that will be written. Empty when cancelled.
QString AskSaveFileName(QWidget* parent, const QString& suffix);
