// Names of the keys that the capture dialogs see through the keyboard hook,
// by Windows virtual-key code. Every name is a key name of the vocabulary of
// KeyNames.h.
#pragma once

#include <QString>

#include <optional>

namespace keys {

// The key-combination dialog's table (95 keys): letters, digits, F1..F12,
// the keypad, navigation and punctuation. No Space, no modifier keys (those
// come from the dialog's check boxes) and no Windows keys. Every other code
// gives the empty name.
QString CombinationKeyName(int virtualKey);

// The single-key dialog's table: the combination table plus LShift, RShift,
// LCtrl, RCtrl, LWin, RWin and LAlt (102 keys). No right Alt and no Space.
QString SingleKeyName(int virtualKey);

// The macro recorder's table: the single-key table plus Space (32) and the
// right Alt key (165, "RAlt"), 104 keys. Nothing for a code outside it (VK 12
// is in it, with the empty name).
std::optional<QString> RecordingKeyName(int virtualKey);

}  // namespace keys
