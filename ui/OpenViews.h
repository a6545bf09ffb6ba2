// The windows a page opens over itself for the device it shows: a context
// menu, a colour dialog of a DPI stage. They are top-level windows of their
// own, so hiding the pages leaves them open (a combo box alone closes its
// list when it is hidden), and a choice made in one after the device was
// left would go to the next one.
#pragma once

class QDialog;
class QWidget;

// Closes the popups and the non-modal dialogs that belong to owner (owner
// is among their parents, across windows), and the modal dialogs tied to
// it (TieToOwner), without a choice: popups close as a click beside them
// closes them, dialogs are rejected. Other modal dialogs stay: they are the
// program's notices and running tasks (the offline notice, a firmware
// update), which the user closes.
void CloseOpenViews(const QWidget* owner);

// A modal dialog that asks a value for the device that owner shows (a
// key's fire rate, a key combination): run with exec() and without a
// parent, as every dialog, it is tied to owner here, so that CloseOpenViews
// ends it as Cancel would; OK there would set nothing the user can see.
// owner outlives the dialog (the dialog lives on the stack of owner's call).
void TieToOwner(QDialog* dialog, QWidget* owner);
