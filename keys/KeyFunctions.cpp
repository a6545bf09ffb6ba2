#include "KeyFunctions.h"

#include "DeviceWriters.h"
#include "KeyNames.h"
#include "KeyRecords.h"
#include "MacroName.h"
#include "MacroPending.h"
#include "PageKit.h"
#include "PostMsg.h"

#include <algorithm>

namespace keys {

const QString KeyListScrollBarStyle = QStringLiteral("QScrollBar {width:10px;}");

namespace {

bool isPageKey(int key) { return key >= 0 && key < PageKeyCount; }

void growTo(QVector<int>& values, int size)
{
    if (values.size() < size)
        values.resize(size);
}

// Menu entry of a value of the types whose caption is one entry per value.
const char* entryOfValue(int type, int value1)
{
    struct Row {
        int type;
        int value1;
        const char* entry;
    };
    static const Row rows[] = {
        {FunctionMouseButton, 1, "LeftKey_3"}, {FunctionMouseButton, 2, "RightKey_3"},
        {FunctionMouseButton, 4, "MidKey"},    {FunctionMouseButton, 8, "BackKey_2"},
        {FunctionMouseButton, 16, "ForWardKey"},
        {FunctionDpiSwitch, 1, "VolumeUp_8"},  {FunctionDpiSwitch, 2, "VolumeUp_9"},
        {FunctionDpiSwitch, 3, "VolumeUp_10"},
        {FunctionTilt, 1, "VolumeUp_2"},       {FunctionTilt, 2, "VolumeDown_2"},
        {FunctionLight, 0, "VolumeUp_4"},      {FunctionLight, 1, "VolumeUp_5"},
        {FunctionLight, 3, "VolumeUp_6"},      {FunctionLight, 4, "VolumeUp_7"},
        {FunctionWheel, 1, "VolumeUp_14"},     {FunctionWheel, 2, "VolumeDown_14"},
    };
    for (const Row& row : rows) {
        if (row.type == type && row.value1 == value1)
            return row.entry;
    }
    return nullptr;
}

std::optional<QString> eventRecordCaption(const ButtonPageView& view, const KeyEventRecord& record)
{
    const KeyEvent& first = record.events[0];
    if (first.kind == KindConsumer) {
        // Only the low byte of the usage tells the entries apart.
        const ConsumerEntry* entry = FindConsumerEntry(first.code & 0xFF);
        if (!entry)
            return std::nullopt;
        return view.EntryText(QLatin1String(entry->objectName));
    }
    // The presses come first; a count byte larger than the record can hold
    // reads no further than its six events.
    const int presses = std::min(record.count / 2, KeyEventRecordEvents);
    QStringList names;
    for (int i = 0; i < presses; ++i)
        names.append(KeyValueToName(record.events[i].code & 0xFF, record.events[i].kind));
    return names.join(QLatin1Char('+'));
}

}  // namespace

void SetButtonState(KeyCache cache, int key, int type, int value1, int value2)
{
    if (key < 0)
        return;
    growTo(cache.type, key + 1);
    growTo(cache.value1, key + 1);
    growTo(cache.value2, key + 1);
    cache.type[key] = type;
    cache.value1[key] = value1;
    cache.value2[key] = value2;
}

bool TakesLastLeftClick(const QVector<int>& types, const QVector<int>& values1, int key, int type, int value1)
{
    const auto isLeftClick = [](int t, int v) { return t == FunctionMouseButton && v == 1; };
    const int known = std::min(types.size(), values1.size());
    if (key < 0 || key >= known || !isLeftClick(types.at(key), values1.at(key)) || isLeftClick(type, value1))
        return false;
    for (int k = 0; k < known; ++k) {
        if (k != key && isLeftClick(types.at(k), values1.at(k)))
            return false;
    }
    return true;
}

bool SetGroupKey(ButtonPageView& view, KeyCache cache, int key, const QString& text)
{
    view.ShowNoSubMenu();
    view.ClearOptionChecks();
    bool sent = false;
    if (isPageKey(key)) {
        if (const std::optional<KeyEventRecord> record = GroupKeyToRecord(text)) {
            sent = WriteThenShow([&] { return SetButtonCombo(key, EventRecordFunction, *record); },
                                 [&] {
                                     SetButtonState(cache, key, FunctionEventRecord, 0, 0);
                                     view.SetKeyCaption(key, text);
                                 });
        }
    }
    view.ShowFunctionList();
    view.ShowNoSubMenu();
    return sent;
}

bool SetMultiMediaKey(ButtonPageView& view, KeyCache cache, int key, int selector)
{
    const ConsumerEntry* entry = FindConsumerEntry(selector);
    if (!entry || !isPageKey(key))
        return false;
    return WriteThenShow([&] { return SetButtonCombo(key, EventRecordFunction, ConsumerRecord(entry->usage)); },
                         [&] {
                             SetButtonState(cache, key, FunctionEventRecord, 0, 0);
                             view.SetKeyCaption(key, view.EntryText(QLatin1String(entry->objectName)));
                         });
}

bool ApplyKeyParamDefault(ButtonPageView& view, KeyCache cache, int key, const QStringList& items)
{
    const KeyParamDefault fallback = ParseKeyParamDefault(items);
    switch (fallback.kind) {
    case KeyParamDefault::Consumer: return SetMultiMediaKey(view, cache, key, fallback.selector);
    case KeyParamDefault::Combination: return SetGroupKey(view, cache, key, fallback.combination);
    case KeyParamDefault::None: break;
    }
    return false;
}

int DPIValueToIndex(const QString& sensorName, const SensorDefines& defines, int dpi)
{
    const int index = defines.HasDpiTable(sensorName) ? defines.DpiCode(sensorName, dpi) : dpi / 50 - 1;
    return index >= 0 && index <= 255 ? index : DpiIndexNotFound;
}

int DPIIndexToValue(const QString& sensorName, const SensorDefines& defines, int index)
{
    if (index < 0 || index > 255)
        return 0;
    if (defines.HasDpiTable(sensorName))
        return defines.DpiFromCode(sensorName, index);
    return (index + 1) * 50;
}

std::optional<QString> ButtonFunctionCaption(const ButtonPageView& view, int key, int type, int value1,
                                             int value2, const FlashDataMap& image, const QString& macroWord,
                                             const QString& sensorName, const SensorDefines& defines)
{
    if (!isPageKey(key))
        return std::nullopt;
    switch (type) {
    case FunctionDisabled: return view.EntryText(QStringLiteral("DPI_5"));
    case FunctionFireKey: return view.EntryText(QStringLiteral("DPI_6"));
    case FunctionReportRate: return view.EntryText(QStringLiteral("DPI_2"));
    case FunctionProfile: return view.EntryText(QStringLiteral("DPI_3"));
    case FunctionDpiLock:
        return view.EntryText(QStringLiteral("DPI_4")) + QLatin1Char('-')
               + QString::number(DPIIndexToValue(sensorName, defines, value1));
    case FunctionEventRecord: return eventRecordCaption(view, image.keyEvents[key]);
    case FunctionMacro: return macroWord + DecodeMacroName(image.macros[key]);
    default: break;
    }
    if (const char* entry = entryOfValue(type, value1))
        return view.EntryText(QLatin1String(entry));
    return std::nullopt;
}

void ShowButtonFunction(ButtonPageView& view, int key, int type, int value1, int value2,
                        const FlashDataMap& image, const QString& macroWord, const QString& sensorName,
                        const SensorDefines& defines)
{
    const std::optional<QString> caption =
        ButtonFunctionCaption(view, key, type, value1, value2, image, macroWord, sensorName, defines);
    if (!caption)
        return;
    view.SetKeyCaption(key, *caption);
    if (type != FunctionMacro)
        return;
    // The repeat line first; the macro page appends the macro's rows when it
    // takes the image. A file the device has not taken yet is newer than
    // the device's record and stays as it is.
    const QString name = DecodeMacroName(image.macros[key]);
    if (!IsMacroPending(name))
        (void)WriteMacroFile(name, QString::number(value2));  // a failure is logged by the writer
    PostMsg::GetInstance()->PostButtonToMacro(image, key);
}

}  // namespace keys
