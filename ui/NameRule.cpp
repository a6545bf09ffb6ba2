#include "NameRule.h"

#include <QVector>

namespace {

// UTF-8 length of the code point that starts at i (its units in *units).
int utf8Bytes(const QString& s, int i, int* units)
{
    const QChar c = s.at(i);
    *units = 1;
    if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
        *units = 2;
        return 4;
    }
    const ushort u = c.unicode();
    if (u < 0x80)
        return 1;
    if (u < 0x800)
        return 2;
    return 3;
}

bool forbidden(const QString& s, int i, int units)
{
    const QChar c = s.at(i);
    if (units == 2)
        return false;
    if (c.isSurrogate())  // unpaired half: cannot be stored as UTF-8
        return true;
    if (c == QLatin1Char('/') || c == QLatin1Char('\\'))
        return true;
    return c.category() == QChar::Other_Control;  // NUL, C0, DEL, C1
}

}  // namespace

NameRuleResult ApplyMacroNameRule(const QString& edited, int cursor)
{
    cursor = qBound(0, cursor, edited.size());
    const bool dropSpaces = edited.endsWith(QLatin1Char(' '));

    NameRuleResult result;
    int bytes = 0;
    bool full = false;
    for (int i = 0; i < edited.size();) {
        int units = 1;
        const int size = utf8Bytes(edited, i, &units);
        const bool drop = (dropSpaces && edited.at(i) == QLatin1Char(' ')) || forbidden(edited, i, units);
        if (!drop && !full) {
            if (bytes + size > MacroNameMaxBytes) {
                full = true;  // everything after the cut goes
            } else {
                bytes += size;
                result.text += edited.mid(i, units);
                if (i + units <= cursor)
                    result.cursor = result.text.size();
            }
        }
        i += units;
    }
    result.cursor = qMin(result.cursor, result.text.size());
    result.changed = result.text != edited;
    if (!result.changed)
        result.cursor = cursor;
    return result;
}

bool IsAcceptableMacroName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    int bytes = 0;
    for (int i = 0; i < name.size();) {
        int units = 1;
        bytes += utf8Bytes(name, i, &units);
        if (forbidden(name, i, units) || bytes > MacroNameMaxBytes)
            return false;
        i += units;
    }
    return true;
}
