// Window flags of the program's frameless windows and dialogs.
//
// The dialogs were designed with flags that include "bypass the window
// manager"; on X11 that makes an unmanaged window which never gets keyboard
// focus, so that bit is left out here. Every window takes its flags from
// this one place.
#pragma once

#include <Qt>

namespace WindowFlags {
// Main window and page container: frameless, system menu, minimise button.
constexpr Qt::WindowFlags Main = Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint
                                 | Qt::WindowMinimizeButtonHint;
// Every small dialog: a frameless dialog with system menu and minimise
// button, as designed, but managed by the window manager.
constexpr Qt::WindowFlags Dialog = Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint
                                   | Qt::WindowMinimizeButtonHint;
}  // namespace WindowFlags
