#pragma once

#include <QIcon>

// Registers the compiled-in resources of the static resource library (the
// program's icon). Call once before the first window is built.
void InitResources();

// The program's logo at the icon sizes of the desktop (":/icons/logo-<size>.png",
// drawn by tools/picgen): the icon of every window and of the menu entry.
// Registers the resources itself.
QIcon ProgramIcon();
