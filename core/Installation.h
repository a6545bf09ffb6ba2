// Where the program runs from. An installation ("cmake --install") keeps
// the program in "<prefix>/lib/<command>/" and starts it through the
// command "<prefix>/bin/<command>", a link to it; a build folder has the
// executable alone. No window.
#pragma once

#include "Autostart.h"

#include <QString>

// The installed command that starts executable: "<prefix>/bin/<folder>"
// when executable lies in "<prefix>/lib/<folder>/" and that command
// resolves to it; the empty text otherwise (a build folder, or a command
// that is missing or leads elsewhere).
QString InstalledCommand(const QString& executable);

// The autostart entry of this program: its name, and from an installation
// the installed command with the menu entry's icon, from a build folder the
// executable with the logo beside it.
Autostart::Program AutostartProgram();
