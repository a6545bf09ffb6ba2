// The logic of the key-combination dialog, free of widgets: how key-downs
// build the line of key names, and what OK makes of the line and the
// modifier check boxes.
//
// The line holds up to three key names joined with "+" ("A+B+D"). Names are
// compared whole ("F1" after "F12" is a new name), and the line is split with
// SplitKeyCombination, so "Num+" is one name. Keys are grouped in a window of
// 2000 ms from the group's first key: a key-down after the window starts a
// new line; a fourth key within the window starts a new line too.
#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

namespace keys {

// Milliseconds of a monotonic clock (never the time of day).
using MonotonicClock = std::function<qint64()>;
// The steady clock of the process.
MonotonicClock SteadyClock();

class KeyGroupCapture
{
public:
    static constexpr qint64 GroupWindowMs = 2000;

    // One key-down of virtualKey, whose name is name (empty when the key has
    // none), at nowMs; line is the line as it is. Returns the new line.
    QString KeyDown(int virtualKey, const QString& name, const QString& line, qint64 nowMs);
    // After the too-many notice: the next key starts afresh.
    void Clear();

    int LastKey() const { return m_lastKey; }
    int SeparatorCount() const { return m_separatorCount; }
    bool WaitingForFirstKey() const { return m_firstKey; }

private:
    int m_separatorCount = 0;  // separators in the line, counted at the last key-down taken
    int m_lastKey = -1;        // the last key-down taken, -1 none
    bool m_firstKey = true;
    qint64 m_groupStart = 0;
};

// What OK makes of the modifier check boxes and the line.
struct Combination {
    enum Outcome {
        Accepted,  // text is the combination
        Empty,     // nothing checked, nothing captured: like cancel
        TooMany,   // more than three keys and modifiers together
        Unknown,   // the line holds a text that is not a key name (pasted)
    };
    Outcome outcome = Empty;
    QString text;
};
// Modifiers first (Shift, Ctrl, Alt, Win), then the line's names.
Combination ComposeCombination(bool shift, bool ctrl, bool alt, bool win, const QString& line);

// A name a combination may hold: a non-empty keyboard name or a generic
// modifier name of KeyNames.h.
bool IsCombinationName(const QString& name);

}  // namespace keys
