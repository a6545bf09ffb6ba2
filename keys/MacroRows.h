// Macros as rows: the one data layer under every macro path of the program
// (the macro page's event list, macros on keys, the per-macro files, the
// export file). No widgets; everything here can be tested alone.
//
// The row model
// -------------
// A macro is a list of rows, the event list the macro page shows:
//  - a key row is one event: a press or a release of a keyboard key
//    (kind 1, code = HID Keyboard/Keypad usage), a modifier (kind 0, code =
//    one bit of the modifier byte) or a mouse button (kind 4, code = button
//    bit 1, 2, 4, 8 or 16). A row keeps the kind and code it was made with,
//    also a kind or code without a name (a device record may hold any), so
//    that no conversion loses an event; its text only shows it;
//  - a delay row is a pause in milliseconds (kind MacroRow::DelayKind).
// The shape a macro normally has is key, delay, key, delay, ..., key: every
// key row but the last is followed by the pause before the next event. Rows
// of another shape (a leading delay, two delays, two keys) are valid input
// everywhere and are read as below; nothing here depends on positions.
//
// A macro holds at most MaxMacroEvents (70) key rows: the device record has
// room for that many. Every conversion into a macro stops at the 70th key row
// (rows after it, up to the next key row, are still its delays) and tells the
// caller through `cut`; every reader reads at most 70 events.
//
// The record of a key (device image, MacroRecord: 592 bytes)
// -----------------------------------------------------------
// Rows -> record (RecordFromRows): rows are taken by kind, not by position.
// A key row starts an event (state 0 press, 1 release; its kind and code;
// delay 0); a delay row adds its milliseconds to the event before it (the
// sum saturates at 2^32 - 1); a delay row before the first key row is
// dropped; two key rows in a row give the first event delay 0. The name is
// stored as UTF-8, cut at a character boundary to 30 bytes, with its length;
// every byte not set is zero. For the shape above this is exactly the
// pairing "key row i and the delay row after it make event i".
// Record -> rows (RowsFromRecord): the count is taken as at most 70; event i
// gives its key row, then a delay row with its delay, except after the last
// event, whose delay gets a row only when it is not 0 (it is the pause before
// a repeated macro starts again, and must survive a trip through the page).
// The name is read up to the first zero byte as UTF-8 (DecodeMacroName).
//
// The per-macro file ("<user>/usersetting/MacroPage/<name>.ini")
// ----------------------------------------------------------------
//   line 1    the repeat code in decimal (see RepeatCode below)
//   key row   "0xHH kind state": the code as "0x" and two upper-case hex
//             digits (four for a code above 0xFF), the kind in decimal,
//             state 0 press, 1 release: "0x2B 1 0" is Tab pressed
//   delay row "<milliseconds>ms", as "10ms"
// Written with a line feed after every line (MacroFileText). Read
// (ParseMacroFile) line by line: a line ends at a line feed, blanks and
// carriage returns around and inside it only separate fields, and the last
// line needs no line feed. Line 1 is always the repeat line: its first field
// read as a decimal number, a number that is no repeat code (or no number)
// gives 1. Every further line is a key row (three fields: "0x" and one to
// four hex digits in either case, a kind 0..255, a state 0 or 1), a delay
// row ("<digits>ms", at most 2^32 - 1) or skipped (blank or anything else).
// A key row keeps its code and kind whether or not they have a name. An
// empty file (0 bytes) has no repeat line: a new macro's file before its
// first save.
//
// The export file (a macro saved to a file of the user's choice)
// ----------------------------------------------------------------
// A QDataStream of version 17, big-endian:
//   byte block (u32 length, bytes) of 12: "Durod", zero bytes
//   byte block of 48: the name in UTF-8, zero bytes
//   byte block of 12: the repeat code in decimal ASCII, zero bytes
//   i32: the number of rows
//   per row: its text (QString), its icon (QIcon), and, only for a row whose
//   text does not contain "ms" (a key row), a byte block of 2: "0" press or
//   "1" release, then a zero byte.
// The format carries texts, not codes: a key row's text is matched against
// the macro vocabulary and the mouse-button names of every language
// (MouseButtonNamesOfLanguages), so that a file made in one language imports
// in another. A text without a match becomes the empty key (kind 1, code 0).
// Icons are only skipped over on import (they are never decoded: the
// event list draws its own); only null icons and file icons of the pixmap
// engine (what QIcon(path) writes) are accepted. Import refuses a damaged
// file whole (ImportError) and creates nothing itself.
//
// Files in the macro folder
// -------------------------
// ListMacros lists the macros (files "*.ini", case-sensitive, no links, sorted
// by name ignoring case; the name is the file name less its ".ini"). Every
// writer goes through the one atomic writer (WriteMacroFileBytes, MacroName.h):
// a file is replaced whole or not at all, never emptied first. Names that may
// not become file names (IsSafeFileName) are refused by every function, and
// a link (live or dangling) in a file's place is never written through.
#pragma once

#include "DeviceImage.h"

#include <QByteArray>
#include <QHash>
#include <QIcon>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace keys {

constexpr int MaxMacroEvents = MacroRecordEvents;  // 70

// ---- Repeat codes -------------------------------------------------------
// Line 1 of the macro file, the repeat field of the export file and value2
// of the key entry of a key bound to a macro; named after the macro page's
// repeat check boxes.
namespace RepeatCode {
constexpr int ReNumberMax = 250;  // 1..250: played that many times (ReNumber)
constexpr int ReUntil = 253;
constexpr int ReUntilLoose = 254;
constexpr int ReUntilClick = 255;
}  // namespace RepeatCode

bool IsRepeatCode(int code);
// The code itself when it is one, else 1 (play once).
int NormalRepeatCode(int code);

// ---- Rows ---------------------------------------------------------------
struct MacroRow {
    static constexpr int DelayKind = -1;

    int kind = DelayKind;  // key rows: the event's kind 0..255 (KeyKind of KeyNames.h)
    int code = 0;          // key rows: the event's code 0..65535
    bool down = true;      // key rows: press (true) or release
    quint32 delay = 0;     // delay rows: milliseconds
    QString text;          // what the event list shows: the name, or DelayText

    bool IsDelay() const { return kind == DelayKind; }

    // A key row; its text is EventName(kind, code) in the present language.
    static MacroRow Key(int kind, int code, bool down);
    // A key row of a name of the macro vocabulary (FindMacroName): the names
    // of the recording table, the key dialog and the present mouse-button
    // texts. Any other name gives the empty key (kind 1, code 0).
    static MacroRow Named(const QString& name, bool down);
    static MacroRow Delay(quint32 ms);
};
bool operator==(const MacroRow& a, const MacroRow& b);
inline bool operator!=(const MacroRow& a, const MacroRow& b) { return !(a == b); }

using MacroRows = QVector<MacroRow>;

// "<ms>ms": the text of a delay row.
QString DelayText(quint32 ms);
// The milliseconds of a delay text: "<digits>ms" after trimming, at most
// 2^32 - 1; nothing for any other text.
std::optional<quint32> ParseDelayText(const QString& text);
int KeyRowCount(const MacroRows& rows);
// The rows a macro keeps: all up to the 70th key row and the delay rows
// after it; `cut` (when given) tells whether a key row was dropped.
MacroRows FitMacro(const MacroRows& rows, bool* cut = nullptr);

// ---- Rows <-> record ------------------------------------------------------
struct NamedMacro {
    QString name;
    MacroRows rows;
};

MacroRecord RecordFromRows(const QString& name, const MacroRows& rows, bool* cut = nullptr);
NamedMacro RowsFromRecord(const MacroRecord& record);
// Macro record `key` of an image; nothing for a key outside 0..15.
std::optional<NamedMacro> MacroOfKey(const FlashDataMap& image, int key);

// ---- Rows <-> per-macro file text -------------------------------------------
struct MacroFileContent {
    bool hasRepeatLine = false;  // false only for a file without any line
    int repeatCode = 1;          // NormalRepeatCode of line 1; 1 without one
    MacroRows rows;
    bool cut = false;            // key rows after the 70th were not read
};

MacroFileContent ParseMacroFile(const QByteArray& content);
// The whole file: the repeat line (NormalRepeatCode) and one line per row.
QByteArray MacroFileText(int repeatCode, const MacroRows& rows, bool* cut = nullptr);

// ---- The macro folder -------------------------------------------------------
// The macros of the macro folder, by name (empty when the folder is missing).
QStringList ListMacros();
// The content of macro `name`'s file; nothing when the name is refused or the
// file is missing or cannot be read. Files over 1 MiB are read to that size.
std::optional<MacroFileContent> ReadMacroFile(const QString& name);
// Writes the whole file (created when missing). False when nothing was written.
[[nodiscard]] bool SaveMacroFile(const QString& name, int repeatCode, const MacroRows& rows, bool* cut = nullptr);
// Adds rows to an existing file, after the rows it holds (at most 70 events
// in all); a file without a repeat line gets "1". False, writing nothing,
// when the file does not exist or cannot be read or written.
[[nodiscard]] bool AppendMacroFile(const QString& name, const MacroRows& rows, bool* cut = nullptr);
// The empty file of a new macro (an existing one is emptied).
[[nodiscard]] bool CreateMacroFile(const QString& name);
[[nodiscard]] bool DeleteMacroFile(const QString& name);

enum class RenameResult {
    Renamed,
    Refused,   // a name that may not become a file name, or the same name
    Exists,    // a macro of the new name exists, or a link is in its place: nothing changed
    Missing,   // no file of the old name
    Failed,    // the file system refused
};
[[nodiscard]] RenameResult RenameMacroFile(const QString& oldName, const QString& newName);

// ---- Rows <-> export stream -------------------------------------------------
// The icons written with the rows (null icons are allowed). Writing icons
// that hold pictures needs the GUI application object (QPixmap).
struct RowIcons {
    QIcon down;   // "MacroDown.png"
    QIcon up;     // "MacroUp.png"
    QIcon delay;  // "MacroTime.png"
};
RowIcons RowIconsIn(const QString& pictureDir);

// The export file of a macro.
QByteArray ExportMacro(const QString& name, int repeatCode, const MacroRows& rows, const RowIcons& icons,
                       bool* cut = nullptr);

enum class ImportError {
    None,
    Truncated,      // the stream ends (or fails) before the last field
    WrongTag,       // the tag is not "Durod"
    BadName,        // name block over 48 bytes, or a name that may not be a macro name (empty, "/", ...)
    BadRepeatCode,  // not 1..250, 253, 254 or 255
    BadRowCount,    // negative or over MaxExportRows
    BadRow,         // a block of the wrong size, a delay text that is no "<digits>ms", an icon not skipped
    TooLarge,       // a file over MaxExportFileBytes
    Unreadable,     // the file cannot be read, or is no regular file (ReadPickedFile)
};
constexpr int MaxExportRows = 1000;
constexpr qint64 MaxExportFileBytes = 16 * 1024 * 1024;

struct MacroImport {
    ImportError error = ImportError::None;
    // Filled as far as read: the name is known (and may be shown, or
    // compared with the listed macros) once its block was read whole, even
    // when a later field is damaged.
    QString name;
    int repeatCode = 1;
    MacroRows rows;
    bool cut = false;  // key rows after the 70th were dropped

    bool Ok() const { return error == ImportError::None; }
};

// The mouse buttons in the order of the macro page's texts "ChooseEvent4" ..
// "ChooseEvent8" (the event choice's items 4..8): left, right, middle,
// forward, back.
constexpr int MouseChoiceCodes[5] = {0x01, 0x02, 0x04, 0x10, 0x08};

// Mouse-button text -> button code, from the texts "ChooseEvent4" ..
// "ChooseEvent8" of section "Macro" of all six language files (read with the
// language loader), and the English defaults. Read anew by each call.
QHash<QString, int> MouseButtonNamesOfLanguages();

// Reads an export stream. The name is cut at a character boundary to 30
// bytes; the rows keep at most 70 events.
MacroImport ImportMacro(const QByteArray& bytes, const QHash<QString, int>& mouseNames);
// The same for a file the user picked, read through ReadPickedFile
// (TooLarge, Unreadable as above).
MacroImport ImportMacroFile(const QString& path, const QHash<QString, int>& mouseNames);
// Writes the export file whole or not at all; a link or anything but a
// regular file at path is refused, not written through (WriteWholeFile).
[[nodiscard]] bool ExportMacroFile(const QString& path, const QString& name, int repeatCode, const MacroRows& rows,
                     const RowIcons& icons, bool* cut = nullptr);

}  // namespace keys
