// The macro page's rules without widgets: where the editing buttons put and
// take rows of the event list, the repeat code of the repeat check boxes,
// the mouse buttons of the event choice, and the recorder that turns key
// events into rows.
//
// An edit is a RowSplice: at one position some rows go and others come, and
// afterwards the current row is another one or stays. The page applies it to
// its list widget; tests apply it to a row list (Apply). The tables follow
// the well-formed shape key, delay, key, ..., key (MacroRows.h), and keep it
// where it holds.
#pragma once

#include "MacroRows.h"

#include <QSet>

#include <optional>

namespace MacroEdit {

using keys::MacroRow;
using keys::MacroRows;

// RowSplice::current: the current row is not changed.
constexpr int KeepCurrent = -2;
// The delay of the rows that an insertion adds, in ms.
constexpr quint32 InsertedDelay = 10;
// The highest default delay (DelayTime) and delay the delay dialog gives.
constexpr int MaxDefaultDelay = 65535;

struct RowSplice {
    int at = 0;      // first row touched (0..row count)
    int remove = 0;  // rows removed from `at`
    MacroRows insert;  // rows inserted at `at`, in order
    int current = KeepCurrent;  // the current row afterwards: -1 none, KeepCurrent unchanged

    bool IsNone() const { return remove == 0 && insert.isEmpty(); }
};

// The rows after the splice.
MacroRows Apply(const MacroRows& rows, const RowSplice& splice);

// A key row with its "10ms" delay row, by the current row r (-1 none), the
// current row unchanged: no current row or the last row: delay, key at the
// end; the first row (a key and its delay): key, delay after its delay; a
// delay row: key, delay after it; a key row: key, delay after its delay.
RowSplice InsertKey(const MacroRows& rows, int current, const MacroRow& key);
// A press and a release of mouse button `code` with "10ms" delays between
// and around them, placed as InsertKey places a key.
RowSplice InsertMouseButton(const MacroRows& rows, int current, int code);
// A delay row: replaces the current delay row, else the delay before the
// current key row, else goes before it; nothing on the first row; appended
// without a current row.
RowSplice InsertDelay(const MacroRows& rows, int current, quint32 ms);
// The Delete button: a list of fewer than 4 rows is cleared; otherwise the
// current key row goes with its delay (the row after it, or before it at the
// end), a current delay row with its key before it. Nothing without a current
// row in a longer list.
RowSplice DeleteAt(const MacroRows& rows, int current);

// ---- Repeat ---------------------------------------------------------------
enum class RepeatMode { UntilLoose, UntilClick, Until, Number };
// The repeat code of the checked mode (count 1..250 for Number).
int RepeatCodeOf(RepeatMode mode, int count);
// The mode and count a repeat code shows (a code that is none: 1 time).
RepeatMode RepeatModeOf(int code);
int RepeatCountOf(int code);

// Mouse button of the event choice's items 4..8 (left, right, middle,
// forward, back): 1, 2, 4, 16, 8; 0 for any other item.
int MouseCodeOfChoice(int index);

// ---- Recording ------------------------------------------------------------
// Turns the keyboard hook's events into rows. Every press and release of a
// key of the recording table (RecordingKeyName) is a key row; the first has
// no delay row, every later one the time since the one before it (or a
// fixed delay). Auto-repeat is recognised by the keys held down: a press of
// a held key is dropped, so overlapping keys record every press and
// release. Keys outside the table, and releases of keys pressed before the
// recording started, record nothing: their time goes to the next key's
// delay. The 70th key row ends the recording (LimitReached).
class MacroRecorder
{
public:
    struct Step {
        std::optional<quint32> delay;  // a delay row to append first
        std::optional<MacroRow> key;   // then this key row
        bool limitReached = false;     // the key row was the last one
    };

    // A new recording starting at nowMs.
    void Start(qint64 nowMs);
    void Stop();
    bool Active() const { return active; }
    int RecordCount() const { return recordCount; }

    // One hook event. fixedDelay: the delay of every delay row (the default
    // delay), or nothing for the measured time.
    Step Event(int virtualKey, bool down, qint64 nowMs, std::optional<quint32> fixedDelay);

private:
    bool active = false;
    bool awaitingFirstEvent = true;
    qint64 lastEventMs = 0;
    int recordCount = 0;
    QSet<int> heldKeys;
};

}  // namespace MacroEdit
