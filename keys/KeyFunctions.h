// Giving a key of the button page a function, the page's cache of the keys'
// functions, the DPI step conversion of the DPI-lock function and the key
// captions.
//
// These are the button page's operations as free functions: the page keeps
// its members and forwards to them, passing what they read (the key cache,
// the sensor name, the sensor definitions, the macro prefix) and itself as
// the ButtonPageView through which its widgets change.
#pragma once

#include "DeviceImage.h"
#include "SensorDefines.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace keys {

// What the operations change on the button page.
class ButtonPageView
{
public:
    virtual ~ButtonPageView() = default;
    // Present (language) text of the function-menu entry `objectName`
    // ("DPI_5", "LeftKey_3", "VolumeUp", ...).
    virtual QString EntryText(const QString& objectName) const = 0;
    // Caption of the key button of data key 0..5.
    virtual void SetKeyCaption(int key, const QString& caption) = 0;
    // stackedWidget_2 shows page_9 (no sub-menu).
    virtual void ShowNoSubMenu() = 0;
    // Unchecks the sub-menu entries and macro buttons (ClearOptionChecks).
    virtual void ClearOptionChecks() = 0;
    // stackedWidget shows page_2 (the function list) and the vertical scroll
    // bar of scrollArea_11 gets KeyListScrollBarStyle.
    virtual void ShowFunctionList() = 0;
};

extern const QString KeyListScrollBarStyle;  // "QScrollBar {width:10px;}"

// The page's cache of every key's function: element k of the three vectors
// holds type, value1 and value2 of key k.
struct KeyCache {
    QVector<int>& type;
    QVector<int>& value1;
    QVector<int>& value2;
};

// The keys the page shows.
constexpr int PageKeyCount = 6;

// Element `key` of the cache becomes {type, value1, value2}; the vectors
// grow as needed. A negative key changes nothing.
void SetButtonState(KeyCache cache, int key, int type, int value1, int value2);

// The mouse must keep a left click. True when giving `key` the function
// {type, value1} would take the last one away: the cache holds a left click
// (type 1, value 1) on `key` and on no other key, and the new function is
// not a left click. A key outside the cache takes nothing away.
bool TakesLastLeftClick(const QVector<int>& types, const QVector<int>& values1, int key, int type, int value1);

// Gives key 0..5 the key combination `text` (function type 5 and its event
// record) and, once sent, caches it and shows the text as caption. A text of
// more than three names writes nothing. The menu ends on the function list
// without a sub-menu in every case. True when the device took it.
bool SetGroupKey(ButtonPageView& view, KeyCache cache, int key, const QString& text);

// Gives key 0..5 the consumer key of `selector` (one of the eighteen of the
// multimedia menu); once sent, caches it and shows the entry's text. An
// unknown selector or key does nothing. True when the device took it.
bool SetMultiMediaKey(ButtonPageView& view, KeyCache cache, int key, int selector);

// Applies a model's KeyParam default of a key (see ParseKeyParamDefault)
// through SetMultiMediaKey or SetGroupKey. False when the list is no
// event-record default or the device did not take it.
bool ApplyKeyParamDefault(ButtonPageView& view, KeyCache cache, int key, const QStringList& items);

// The step index of a DPI value for the DPI-lock function (value1 of type
// 10): from the sensor's table when it has one, else dpi / 50 - 1.
// DpiIndexNotFound when the table has no entry for the value or the index
// does not fit a byte: the caller then sends nothing.
constexpr int DpiIndexNotFound = -1;
int DPIValueToIndex(const QString& sensorName, const SensorDefines& defines, int dpi);

// The DPI value of a step index: from the sensor's table when it has one
// (0 when no entry has the index), else (index + 1) * 50. 0 for an index
// outside 0..255.
int DPIIndexToValue(const QString& sensorName, const SensorDefines& defines, int index);

// What a key's caption shows for function {type, value1, value2} of key
// 0..5 in `image`; nothing when the function has no caption (the caption
// then stays as it was).
std::optional<QString> ButtonFunctionCaption(const ButtonPageView& view, int key, int type, int value1,
                                             int value2, const FlashDataMap& image, const QString& macroWord,
                                             const QString& sensorName, const SensorDefines& defines);

// Shows the caption of key 0..5. For a macro key it also writes the repeat
// line of the macro's file (a name that may not become a file name writes
// nothing) and hands the image to the macro page (SigButtonToMacro), which
// completes the file.
void ShowButtonFunction(ButtonPageView& view, int key, int type, int value1, int value2,
                        const FlashDataMap& image, const QString& macroWord, const QString& sensorName,
                        const SensorDefines& defines);

}  // namespace keys
