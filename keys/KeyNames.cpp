#include "KeyNames.h"

#include "Globals.h"

namespace keys {

namespace {

QVector<KeyNameEntry> buildKeyboardNames()
{
    QVector<KeyNameEntry> table;
    table.reserve(96);
    table.append({QString(), KindKeyboard, 0x00});
    for (int i = 0; i < 26; ++i)
        table.append({QString(QChar('A' + i)), KindKeyboard, 0x04 + i});
    for (int i = 1; i <= 9; ++i)
        table.append({QString::number(i), KindKeyboard, 0x1E + i - 1});
    table.append({QStringLiteral("0"), KindKeyboard, 0x27});
    for (int i = 1; i <= 12; ++i)
        table.append({QStringLiteral("F") + QString::number(i), KindKeyboard, 0x3A + i - 1});
    for (int i = 1; i <= 9; ++i)
        table.append({QStringLiteral("Num") + QString::number(i), KindKeyboard, 0x59 + i - 1});
    table.append({QStringLiteral("Num0"), KindKeyboard, 0x62});

    static const struct {
        const char16_t* name;
        int code;
    } others[] = {
        {u"Enter", 0x28},    {u"Esc", 0x29},      {u"BackSpace", 0x2A}, {u"Tab", 0x2B},
        {u"Space", 0x2C},    {u"-", 0x2D},        {u"=", 0x2E},         {u"[", 0x2F},
        {u"]", 0x30},        {u"\\", 0x31},       {u";", 0x33},         {u"'", 0x34},
        {u"`", 0x35},        {u",", 0x36},        {u".", 0x37},         {u"/", 0x38},
        {u"CapsLock", 0x39}, {u"Screen", 0x46},   {u"Scroll", 0x47},    {u"Pause", 0x48},
        {u"Insert", 0x49},   {u"Home", 0x4A},     {u"PgUp", 0x4B},      {u"Del", 0x4C},
        {u"End", 0x4D},      {u"PgDn", 0x4E},     {u"\u2192", 0x4F},    {u"\u2190", 0x50},
        {u"\u2193", 0x51},   {u"\u2191", 0x52},   {u"NumLock", 0x53},   {u"Num/", 0x54},
        {u"Num*", 0x55},     {u"Num-", 0x56},     {u"Num+", 0x57},      {u"Num.", 0x63},
        {u"APPs", 0x65},
    };
    for (const auto& entry : others)
        table.append({QString::fromUtf16(entry.name), KindKeyboard, entry.code});
    return table;
}

const KeyNameEntry* findByName(const QVector<KeyNameEntry>& table, const QString& name)
{
    for (const KeyNameEntry& entry : table) {
        if (entry.name == name)
            return &entry;
    }
    return nullptr;
}

const KeyNameEntry* findByCode(const QVector<KeyNameEntry>& table, int code)
{
    for (const KeyNameEntry& entry : table) {
        if (entry.code == code)
            return &entry;
    }
    return nullptr;
}

const int mouseCodes[] = {0x01, 0x02, 0x04, 0x08, 0x10};

// The code of a mouse-button text, matched in code order so that of two
// equal texts the lower code wins; 0 when the name is no button's.
int mouseCodeOf(const QString& name)
{
    for (int code : mouseCodes) {
        if (MouseButtonText(code) == name)
            return code;
    }
    return 0;
}

// A fixed name of the macro vocabulary (keyboard or side modifier).
const KeyNameEntry* findMacroFixedName(const QString& name)
{
    if (const KeyNameEntry* entry = findByName(KeyboardNames(), name))
        return entry;
    return findByName(SideModifierNames(), name);
}

}  // namespace

const QVector<KeyNameEntry>& KeyboardNames()
{
    static const QVector<KeyNameEntry> table = buildKeyboardNames();
    return table;
}

const QVector<KeyNameEntry>& SideModifierNames()
{
    static const QVector<KeyNameEntry> table = {
        {QStringLiteral("LCtrl"), KindModifier, 0x01},  {QStringLiteral("LShift"), KindModifier, 0x02},
        {QStringLiteral("LAlt"), KindModifier, 0x04},   {QStringLiteral("LWin"), KindModifier, 0x08},
        {QStringLiteral("RCtrl"), KindModifier, 0x10},  {QStringLiteral("RShift"), KindModifier, 0x20},
        {QStringLiteral("RAlt"), KindModifier, 0x40},   {QStringLiteral("RWin"), KindModifier, 0x80},
    };
    return table;
}

const QVector<KeyNameEntry>& GenericModifierNames()
{
    static const QVector<KeyNameEntry> table = {
        {QStringLiteral("Ctrl"), KindModifier, 0x01},
        {QStringLiteral("Shift"), KindModifier, 0x02},
        {QStringLiteral("Alt"), KindModifier, 0x04},
        {QStringLiteral("Win"), KindModifier, 0x08},
    };
    return table;
}

QString DefaultMouseButtonText(int code)
{
    switch (code) {
    case 0x01: return QStringLiteral("Mouse Left");
    case 0x02: return QStringLiteral("Mouse Right");
    case 0x04: return QStringLiteral("Mouse Middle");
    case 0x08: return QStringLiteral("Mouse Back");
    case 0x10: return QStringLiteral("Mouse Forward");
    default: return QString();
    }
}

QString MouseButtonText(int code)
{
    QString text;
    switch (code) {
    case 0x01: text = MouseLeftText; break;
    case 0x02: text = MouseRightText; break;
    case 0x04: text = MouseMiddleText; break;
    case 0x08: text = MouseBackText; break;
    case 0x10: text = MouseForwardText; break;
    default: return QString();
    }
    return text.isEmpty() ? DefaultMouseButtonText(code) : text;
}

QVector<KeyNameEntry> MacroVocabulary()
{
    QVector<KeyNameEntry> names = KeyboardNames();
    names += SideModifierNames();
    for (int code : mouseCodes)
        names.append({MouseButtonText(code), KindMouse, code});
    return names;
}

QString CodeText(int code)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(code & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}

std::optional<KeyNameEntry> FindMacroName(const QString& name)
{
    if (const KeyNameEntry* entry = findMacroFixedName(name))
        return *entry;
    if (const int code = mouseCodeOf(name))
        return KeyNameEntry{name, KindMouse, code};
    return std::nullopt;
}

QString EventName(int kind, int code)
{
    const KeyNameEntry* entry = nullptr;
    switch (kind) {
    case KindKeyboard: entry = findByCode(KeyboardNames(), code); break;
    case KindModifier: entry = findByCode(SideModifierNames(), code); break;
    case KindMouse: return MouseButtonText(code);
    default: return QString();
    }
    return entry ? entry->name : QString();
}

QStringList KeyNameToHidCodes(const QString& name)
{
    if (const std::optional<KeyNameEntry> entry = FindMacroName(name))
        return {CodeText(entry->code), QString::number(entry->kind)};
    return {};
}

QString HidCodeToKeyName(const QString& codeText, int kind)
{
    if (codeText.size() != 4 || !codeText.startsWith(QLatin1String("0x")))
        return QString();
    for (int i = 2; i < 4; ++i) {
        const QChar c = codeText.at(i);
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        const bool upper = c >= QLatin1Char('A') && c <= QLatin1Char('F');
        if (!digit && !upper)
            return QString();
    }
    return EventName(kind, codeText.midRef(2).toInt(nullptr, 16));
}

void KeyNameToValue(const QString& name, int index, MacroRecord& record)
{
    if (index < 0 || index >= MacroRecordEvents)
        return;
    KeyEvent& event = record.events[index];
    if (const std::optional<KeyNameEntry> entry = FindMacroName(name)) {
        event.kind = static_cast<uint8_t>(entry->kind);
        event.code = static_cast<uint16_t>(entry->code);
    } else {
        event.kind = KindKeyboard;
    }
}

KeyEventRecord KeyNameToRecord(const QString& name, int i, int n, KeyEventRecord record)
{
    if (n < 1 || n > MaxCombinationKeys || i < 0 || i >= n)
        return record;
    const KeyNameEntry* entry = findByName(KeyboardNames(), name);
    if (!entry)
        entry = findByName(GenericModifierNames(), name);
    KeyEvent& press = record.events[i];
    KeyEvent& release = record.events[2 * n - 1 - i];
    // An unknown name keeps the code that each event held.
    press.kind = release.kind = static_cast<uint8_t>(entry ? entry->kind : KindKeyboard);
    if (entry)
        press.code = release.code = static_cast<uint16_t>(entry->code);
    press.state = 0;
    release.state = 1;
    press.delay = release.delay = KeyEventDelay;
    return record;
}

QString KeyValueToName(int value, int kind)
{
    switch (value) {
    case 4: case 8: case 16: case 32: case 64:
        if (kind == KindKeyboard)
            return findByCode(KeyboardNames(), value)->name;
        if (kind == KindModifier) {
            switch (value) {
            case 4: case 64: return QStringLiteral("Alt");
            case 8: return QStringLiteral("Win");
            case 16: return QStringLiteral("Ctrl");
            default: return QStringLiteral("Shift");
            }
        }
        return QString();
    case 1: return QStringLiteral("Ctrl");
    case 2: return QStringLiteral("Shift");
    case 128: return QStringLiteral("Win");
    case 0x58: return QStringLiteral("Enter");
    default: break;
    }
    const KeyNameEntry* entry = findByCode(KeyboardNames(), value);
    return entry ? entry->name : QString();
}

QStringList SplitKeyCombination(const QString& text)
{
    static const QString keypadPlus = QStringLiteral("Num+");
    QStringList parts;
    int pos = 0;
    for (;;) {
        // At the start of a name, "Num+" followed by a separator or the end
        // is the keypad plus key, not "Num" and a separator.
        if (text.midRef(pos).startsWith(keypadPlus)
            && (pos + keypadPlus.size() == text.size() || text.at(pos + keypadPlus.size()) == QLatin1Char('+'))) {
            parts.append(keypadPlus);
            pos += keypadPlus.size();
            if (pos == text.size())
                break;
            ++pos;  // the separator
            continue;
        }
        const int plus = text.indexOf(QLatin1Char('+'), pos);
        if (plus < 0) {
            parts.append(text.mid(pos));
            break;
        }
        parts.append(text.mid(pos, plus - pos));
        pos = plus + 1;
    }
    return parts;
}

}  // namespace keys
