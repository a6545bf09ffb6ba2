// The windows a page opens over itself for the device it shows: a context
// menu, a colour dialog of a DPI stage. They are top-level windows of their
// own, so hiding the pages leaves them open (a combo box alone closes its
// list when it is hidden), and a choice made in one after the device was
// left would go to the next one.
#pragma once

class QWidget;

// Closes the popups and the non-modal dialogs that belong to owner (owner
// is among their parents, across windows), without a choice: popups close
// as a click beside them closes them, dialogs are rejected. Modal dialogs
// stay: they are the program's notices and running tasks (the offline
// notice, a firmware update), which the user closes.
void CloseOpenViews(const QWidget* owner);
