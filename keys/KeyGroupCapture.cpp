#include "KeyGroupCapture.h"

#include "KeyNames.h"

#include <QElapsedTimer>
#include <QSet>
#include <QStringList>

#include <memory>

namespace keys {

namespace {

QStringList namesOf(const QString& line)
{
    return line.isEmpty() ? QStringList() : SplitKeyCombination(line);
}

}  // namespace

MonotonicClock SteadyClock()
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return timer->elapsed(); };
}

QString KeyGroupCapture::KeyDown(int virtualKey, const QString& name, const QString& line, qint64 nowMs)
{
    QString text = line;
    if (m_firstKey) {
        m_groupStart = nowMs;
        m_firstKey = false;
    } else if (nowMs - m_groupStart > GroupWindowMs) {
        // The window is over: this key starts a new group, held keys too.
        text.clear();
        m_lastKey = -1;
        m_groupStart = nowMs;
    }
    if (virtualKey == m_lastKey)
        return text;
    m_lastKey = virtualKey;

    const QStringList names = namesOf(text);
    m_separatorCount = qMax(0, names.size() - 1);
    if (names.size() >= MaxCombinationKeys) {
        // A full line: this key starts a new one.
        m_separatorCount = 0;
        m_lastKey = virtualKey;
        return name;
    }
    // Keys without a name never enter the line, nor does a name already in it.
    if (name.isEmpty() || names.contains(name))
        return text;
    if (text.isEmpty())
        return name;
    if (names.size() + 1 == MaxCombinationKeys)
        m_lastKey = -1;  // the line is full: even the same key starts the next one
    return text + QLatin1Char('+') + name;
}

void KeyGroupCapture::Clear()
{
    m_separatorCount = 0;
    m_lastKey = -1;
}

bool IsCombinationName(const QString& name)
{
    static const QSet<QString> known = [] {
        QSet<QString> set;
        for (const KeyNameEntry& entry : KeyboardNames()) {
            if (!entry.name.isEmpty())
                set.insert(entry.name);
        }
        for (const KeyNameEntry& entry : GenericModifierNames())
            set.insert(entry.name);
        return set;
    }();
    return known.contains(name);
}

Combination ComposeCombination(bool shift, bool ctrl, bool alt, bool win, const QString& line)
{
    QStringList parts;
    if (shift)
        parts << QStringLiteral("Shift");
    if (ctrl)
        parts << QStringLiteral("Ctrl");
    if (alt)
        parts << QStringLiteral("Alt");
    if (win)
        parts << QStringLiteral("Win");
    const QStringList names = namesOf(line);

    Combination result;
    if (parts.size() + names.size() > MaxCombinationKeys) {
        result.outcome = Combination::TooMany;
        return result;
    }
    for (const QString& name : names) {
        if (!IsCombinationName(name)) {
            result.outcome = Combination::Unknown;
            return result;
        }
    }
    parts += names;
    result.text = parts.join(QLatin1Char('+'));
    result.outcome = result.text.isEmpty() ? Combination::Empty : Combination::Accepted;
    return result;
}

}  // namespace keys
