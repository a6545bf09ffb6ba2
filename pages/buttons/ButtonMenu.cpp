#include "ButtonMenu.h"

#include "KeyNames.h"
#include "KeyRecords.h"

namespace buttons {

const QVector<KeyButtonInfo>& KeyButtons()
{
    // On the page the key of StartPause (4) stands before that of TopMusic
    // (3). The fallbacks give keys 0..4 the mouse button 1 << key.
    static const QVector<KeyButtonInfo> table = {
        {"FireKey", 0, "LeftKey_3"},     {"RightKey", 1, "RightKey_3"}, {"BackKey", 2, "MidKey"},
        {"StartPause", 4, "ForWardKey"}, {"TopMusic", 3, "BackKey_2"},  {"BackMusic", 5, "VolumeUp_8"},
    };
    return table;
}

const char* KeyButtonName(int key)
{
    for (const KeyButtonInfo& info : KeyButtons()) {
        if (info.key == key)
            return info.objectName;
    }
    return nullptr;
}

const QVector<FunctionEntry>& FunctionEntries()
{
    using namespace keys;
    static const QVector<FunctionEntry> table = [] {
        QVector<FunctionEntry> t = {
            {"LeftKey_3", FunctionEntry::KeyFunction, FunctionMouseButton, 1, true},
            {"RightKey_3", FunctionEntry::KeyFunction, FunctionMouseButton, 2, true},
            {"MidKey", FunctionEntry::KeyFunction, FunctionMouseButton, 4, true},
            {"BackKey_2", FunctionEntry::KeyFunction, FunctionMouseButton, 8, true},
            {"ForWardKey", FunctionEntry::KeyFunction, FunctionMouseButton, 16, true},
            {"DPI_2", FunctionEntry::KeyFunction, FunctionReportRate, 0, true},
            {"DPI_3", FunctionEntry::KeyFunction, FunctionProfile, 0, true},
            {"DPI_5", FunctionEntry::KeyFunction, FunctionDisabled, 0, true},
        };
        for (const ConsumerEntry& entry : ConsumerEntries())
            t.append({entry.objectName, FunctionEntry::Consumer, FunctionEventRecord, entry.selector, false});
        t += QVector<FunctionEntry>{
            {"VolumeUp_2", FunctionEntry::KeyFunction, FunctionTilt, 1, false},
            {"VolumeDown_2", FunctionEntry::KeyFunction, FunctionTilt, 2, false},
            {"VolumeUp_4", FunctionEntry::KeyFunction, FunctionLight, 0, false},
            {"VolumeUp_5", FunctionEntry::KeyFunction, FunctionLight, 1, false},
            {"VolumeUp_6", FunctionEntry::KeyFunction, FunctionLight, 3, false},
            {"VolumeUp_7", FunctionEntry::KeyFunction, FunctionLight, 4, false},
            {"VolumeUp_8", FunctionEntry::KeyFunction, FunctionDpiSwitch, 1, false},
            {"VolumeUp_9", FunctionEntry::KeyFunction, FunctionDpiSwitch, 2, false},
            {"VolumeUp_10", FunctionEntry::KeyFunction, FunctionDpiSwitch, 3, false},
            // The DPI-lock entries' object names are not in DPI order.
            {"VolumeUp_11", FunctionEntry::DpiLock, FunctionDpiLock, 100, false},
            {"VolumeUp_12", FunctionEntry::DpiLock, FunctionDpiLock, 200, false},
            {"VolumeUp_13", FunctionEntry::DpiLock, FunctionDpiLock, 300, false},
            {"VolumeUp_16", FunctionEntry::DpiLock, FunctionDpiLock, 400, false},
            {"VolumeUp_15", FunctionEntry::DpiLock, FunctionDpiLock, 500, false},
            {"VolumeUp_19", FunctionEntry::DpiLock, FunctionDpiLock, 600, false},
            {"VolumeUp_20", FunctionEntry::DpiLock, FunctionDpiLock, 700, false},
            {"VolumeUp_22", FunctionEntry::DpiLock, FunctionDpiLock, 800, false},
            {"VolumeUp_18", FunctionEntry::DpiLock, FunctionDpiLock, 900, false},
            {"VolumeUp_24", FunctionEntry::DpiLock, FunctionDpiLock, 1000, false},
            {"VolumeUp_23", FunctionEntry::DpiLock, FunctionDpiLock, 1100, false},
            {"VolumeUp_21", FunctionEntry::DpiLock, FunctionDpiLock, 1200, false},
            {"VolumeUp_14", FunctionEntry::KeyFunction, FunctionWheel, 1, false},
            {"VolumeDown_14", FunctionEntry::KeyFunction, FunctionWheel, 2, false},
        };
        return t;
    }();
    return table;
}

const FunctionEntry* FindFunctionEntry(const QString& objectName)
{
    for (const FunctionEntry& entry : FunctionEntries()) {
        if (objectName == QLatin1String(entry.objectName))
            return &entry;
    }
    return nullptr;
}

const QVector<SubMenuSwitch>& SubMenuSwitches()
{
    static const QVector<SubMenuSwitch> table = {
        {"DPI_12", "page_3"}, {"DPI_11", "page_4"}, {"DPI_9", "page_6"},
        {"DPI_7", "page_7"},  {"DPI_4", "page_8"},  {"DPI_13", "page_10"},
    };
    return table;
}

const QVector<const char*>& MainListEntries()
{
    static const QVector<const char*> table = {
        "LeftKey_3", "RightKey_3", "MidKey", "BackKey_2", "ForWardKey", "DPI_2",  "DPI_3", "DPI_6", "DPI_8",
        "DPI_5",     "DPI_13",     "DPI_11", "DPI_4",     "DPI_9",      "DPI_7",  "DPI_12", "DPI_10",
    };
    return table;
}

namespace {

// The entries of the sub-menu whose entries give {kind, type}, in menu order
// (the entries of one type fill one sub-menu).
QVector<const FunctionEntry*> subMenuEntries(FunctionEntry::Kind kind, int type)
{
    QVector<const FunctionEntry*> found;
    for (const FunctionEntry& entry : FunctionEntries()) {
        if (!entry.mainList && entry.kind == kind && entry.type == type)
            found.append(&entry);
    }
    return found;
}

// The sub-menu entry of {type, value} and its row within its sub-menu.
bool findSubEntry(FunctionEntry::Kind kind, int type, int value, QString& name, int& row)
{
    const QVector<const FunctionEntry*> sub = subMenuEntries(kind, type);
    for (int r = 0; r < sub.size(); ++r) {
        if (sub.at(r)->value == value) {
            name = QLatin1String(sub.at(r)->objectName);
            row = r;
            return true;
        }
    }
    return false;
}

// Entry `row` of the sub-menu whose entries give {kind, type}.
QString subEntryAt(FunctionEntry::Kind kind, int type, int row)
{
    const QVector<const FunctionEntry*> sub = subMenuEntries(kind, type);
    return row >= 0 && row < sub.size() ? QLatin1String(sub.at(row)->objectName) : QString();
}

// The row the multimedia list scrolls to for a consumer entry: its place in
// the list, but the browser forward and back entries trade rows unless the
// menu is opened for key 1.
int consumerRow(const QString& entry, int row, int key)
{
    if (key == 1)
        return row;
    if (entry == QLatin1String("VolumeDown_7"))
        return 14;
    if (entry == QLatin1String("VolumeDown_10"))
        return 13;
    return row;
}

}  // namespace

MenuSelection SelectionFor(int type, int value1, const KeyEventRecord& record, int dpi, int key)
{
    using namespace keys;
    MenuSelection s;
    s.known = type >= FunctionDisabled && type <= FunctionWheel;
    if (!s.known)
        return s;
    s.subPage = QLatin1String(NoSubMenuPage);
    // The main list scrolls to a row of its own per function (not the
    // entry's place in the list); `mainRow` is that row.
    int mainRow = 0;
    int subRow = 0;
    auto plain = [&](const char* main, int row) {
        s.mainEntry = QLatin1String(main);
        mainRow = row;
    };
    auto withSubMenu = [&](const char* page, const char* main, int row, FunctionEntry::Kind kind, int value) {
        s.subPage = QLatin1String(page);
        plain(main, row);
        findSubEntry(kind, type, value, s.subEntry, subRow);
    };
    switch (type) {
    case FunctionDisabled: plain("DPI_5", 9); break;
    case FunctionMouseButton: {
        // A button value that no entry gives marks nothing.
        static const char* const buttonEntries[] = {"LeftKey_3", "RightKey_3", "MidKey", "BackKey_2", "ForWardKey"};
        for (int i = 0; i < 5; ++i) {
            if (value1 == 1 << i)
                plain(buttonEntries[i], i);
        }
        break;
    }
    case FunctionDpiSwitch: withSubMenu("page_7", "DPI_7", 13, FunctionEntry::KeyFunction, value1); break;
    case FunctionTilt: withSubMenu("page_4", "DPI_11", 10, FunctionEntry::KeyFunction, value1); break;
    case FunctionFireKey: plain("DPI_6", 7); break;
    case FunctionEventRecord: {
        // Only the low byte of a consumer usage tells the entries apart.
        const KeyEvent& first = record.events[0];
        const ConsumerEntry* consumer = first.kind == KindConsumer ? FindConsumerEntry(first.code & 0xFF) : nullptr;
        if (consumer)
            withSubMenu("page_3", "DPI_12", 16, FunctionEntry::Consumer, consumer->selector);
        else
            plain("DPI_8", 8);
        break;
    }
    case FunctionMacro:
        s.subPage = QStringLiteral("page_5");
        plain("DPI_10", 15);
        s.macroKey = true;
        break;
    case FunctionReportRate: plain("DPI_2", 5); break;
    case FunctionLight: withSubMenu("page_6", "DPI_9", 12, FunctionEntry::KeyFunction, value1); break;
    case FunctionProfile: plain("DPI_3", 6); break;
    case FunctionDpiLock: withSubMenu("page_8", "DPI_4", 15, FunctionEntry::DpiLock, dpi); break;
    case FunctionWheel: withSubMenu("page_10", "DPI_13", 10, FunctionEntry::KeyFunction, value1); break;
    default: break;
    }

    s.scrolls.append({QStringLiteral("scrollArea_4"), MenuRowPixels * mainRow});
    if (type == FunctionEventRecord) {
        // The multimedia list shows the key's entry, or starts at the top;
        // the DPI-lock list keeps its place.
        const int row = s.subEntry.isEmpty() ? 0 : consumerRow(s.subEntry, subRow, key);
        s.scrolls.append({QStringLiteral("scrollArea_3"), MenuRowPixels * row});
    } else {
        const bool locked = type == FunctionDpiLock && !s.subEntry.isEmpty();
        s.scrolls.append({QStringLiteral("scrollArea_10"), locked ? MenuRowPixels * subRow : 0});
    }
    return s;
}

std::optional<CaptionFileLine> ParseCaptionFileLine(const QString& line)
{
    const QStringList fields = line.split(QLatin1Char(','));
    if (fields.isEmpty() || fields.size() > 2)
        return std::nullopt;
    // A row number, never one that would overflow a scroll position.
    const auto number = [](const QString& field, int* value) {
        bool ok = false;
        *value = field.trimmed().toInt(&ok, 10);
        return ok && *value >= 0 && *value <= MaxCaptionFileNumber;
    };
    CaptionFileLine parsed;
    if (!number(fields.at(0), &parsed.a))
        return std::nullopt;
    if (fields.size() == 2 && !number(fields.at(1), &parsed.b))
        return std::nullopt;
    return parsed;
}

QString CaptionFileEntry(const CaptionFileLine& line)
{
    using namespace keys;
    if (line.b < 0)
        return line.a >= 0 && line.a < 10 ? QLatin1String(MainListEntries().at(line.a)) : QString();
    switch (line.a) {
    case 10: return subEntryAt(FunctionEntry::KeyFunction, FunctionTilt, line.b);
    case 12: return subEntryAt(FunctionEntry::KeyFunction, FunctionLight, line.b);
    case 13: return subEntryAt(FunctionEntry::KeyFunction, FunctionDpiSwitch, line.b);
    case 14: return subEntryAt(FunctionEntry::Consumer, FunctionEventRecord, line.b);
    case 15: return subEntryAt(FunctionEntry::DpiLock, FunctionDpiLock, line.b);
    default: return QString();
    }
}

QVector<ScrollTo> CaptionFileScrolls(const CaptionFileLine& line)
{
    QVector<ScrollTo> scrolls;
    const int b = qMax(0, line.b);
    if (line.a == 14)
        scrolls.append({QStringLiteral("scrollArea_3"), MenuRowPixels * b});
    else if (line.a == 15)
        scrolls.append({QStringLiteral("scrollArea_10"), MenuRowPixels * b});
    scrolls.append({QStringLiteral("scrollArea_4"), MenuRowPixels * line.a});
    return scrolls;
}

}  // namespace buttons
