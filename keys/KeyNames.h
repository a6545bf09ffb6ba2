// The key vocabulary: the names under which keyboard keys, modifier keys and
// mouse buttons appear on key captions, macro rows, combination texts and
// macro files, and the conversions between those names and the codes that
// key event records and macro records carry.
//
// Codes are USB HID codes: a keyboard key is its usage on the Keyboard/Keypad
// page, a modifier is one bit of the keyboard report's modifier byte, a mouse
// button one bit of a button mask. Every code comes with its kind.
#pragma once

#include "DeviceImage.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace keys {

enum KeyKind : int {
    KindModifier = 0,  // one bit of the modifier byte
    KindKeyboard = 1,  // HID Keyboard/Keypad usage (0: no key)
    KindConsumer = 2,  // HID Consumer usage (key event records only, no names)
    KindMouse = 4,     // one bit of the mouse-button mask
};

struct KeyNameEntry {
    QString name;
    int kind;
    int code;
};

// The 96 keyboard names (kind 1), the empty name (code 0) included.
const QVector<KeyNameEntry>& KeyboardNames();
// "LCtrl" .. "RWin" (kind 0), the names of macro rows and macro files.
const QVector<KeyNameEntry>& SideModifierNames();
// "Ctrl", "Shift", "Alt", "Win" (kind 0, left-hand bits), the names of
// combination texts and captions.
const QVector<KeyNameEntry>& GenericModifierNames();

// Text of mouse button `code` (1 left, 2 right, 4 middle, 8 back, 16
// forward) as the vocabulary uses it: the global text that the macro page's
// language section sets, or its English default while that text is empty,
// so that a mouse button never goes under the empty name. Empty for any
// other code.
QString MouseButtonText(int code);
// The English default of mouse button `code`.
QString DefaultMouseButtonText(int code);

// The 109 names of the macro vocabulary with the present mouse-button texts:
// keyboard names, side modifier names, mouse-button texts.
QVector<KeyNameEntry> MacroVocabulary();

// The entry of a name of the macro vocabulary: keyboard and side modifier
// names first, then the present mouse-button texts (the lowest code of two
// equal texts). Nothing for any other name (the generic modifier names
// included).
std::optional<KeyNameEntry> FindMacroName(const QString& name);

// The name of an event by its kind: kind 1 the keyboard name, kind 0 the side
// modifier name, kind 4 the mouse-button text; the empty name for a code
// without a name of that kind and for every other kind. (A code is never
// named after another kind than its own: an event keeps its kind, so the
// name only shows it.)
QString EventName(int kind, int code);

// "0x" and two upper-case hexadecimal digits: the code text of macro files.
QString CodeText(int code);

// Name -> {code text, kind text} over the macro vocabulary; an empty list for
// any other name (the generic modifier names included).
QStringList KeyNameToHidCodes(const QString& name);

// {code text, kind} -> name: the inverse of KeyNameToHidCodes. A code text
// that is not exactly "0x" + two upper-case digits, or that has no name of
// that kind, gives the empty name.
QString HidCodeToKeyName(const QString& codeText, int kind);

// Sets type and code of event `index` (0..69) of a macro record from a name
// of the macro vocabulary; state, delay and the rest stay. A name outside the
// vocabulary sets type 1 and keeps the code. An index outside 0..69 changes
// nothing.
void KeyNameToValue(const QString& name, int index, MacroRecord& record);

// The record with event i (the press) and event 2n-1-i (the release) set for
// the name at position i of a combination of n names (0 <= i < n <= 3);
// kind and code from the keyboard and generic modifier names, delay 10 ms.
// A name outside those gets kind 1 and keeps the record's code. The count
// byte and the other events stay. Positions outside the limits return the
// record unchanged.
KeyEventRecord KeyNameToRecord(const QString& name, int i, int n, KeyEventRecord record);

// The caption name of a stored event's code and kind.
QString KeyValueToName(int value, int kind);

// Splits a key-combination text into its names at "+", keeping "Num+" (the
// keypad plus key) as one name and empty parts as empty names. An empty text
// is one empty name. The one tokenizer of combination texts: the capture
// dialog, GroupKeyToRecord and the model defaults all use it.
QStringList SplitKeyCombination(const QString& text);

// The most keys a combination may hold: a key event record has room for the
// press and the release of three.
constexpr int MaxCombinationKeys = 3;

// The delay of every event the program builds, in ms.
constexpr uint32_t KeyEventDelay = 10;

}  // namespace keys

// The macro page and the button page's macro-file parser call it unqualified.
using keys::HidCodeToKeyName;
