// Key functions that live in the image's key event records: key combinations
// and the eighteen consumer-control keys of the multimedia menu.
#pragma once

#include "DeviceImage.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace keys {

// Function types of a key's 3-byte entry.
enum KeyFunctionType : int {
    FunctionDisabled = 0,
    FunctionMouseButton = 1,
    FunctionDpiSwitch = 2,
    FunctionTilt = 3,
    FunctionFireKey = 4,
    FunctionEventRecord = 5,
    FunctionMacro = 6,
    FunctionReportRate = 7,
    FunctionLight = 8,
    FunctionProfile = 9,
    FunctionDpiLock = 10,
    FunctionWheel = 11,
};

// The entry that goes with a key event record: {5, 0, 0}.
constexpr KeyFunction EventRecordFunction{FunctionEventRecord, 0, 0};

// One entry of the multimedia menu: its object name, its selector (the low
// byte of the usage, unique among the entries) and the HID Consumer usage.
struct ConsumerEntry {
    const char* objectName;
    int selector;
    int usage;
};

// The eighteen entries in menu order.
const QVector<ConsumerEntry>& ConsumerEntries();
// The entry whose selector equals `selector` as a whole int (0x183 selects
// nothing), or null.
const ConsumerEntry* FindConsumerEntry(int selector);

// Two events, press and release of consumer usage `usage`.
KeyEventRecord ConsumerRecord(int usage);

// The record of a key-combination text: each name pressed in text order and
// released in reverse order. A text of more than three names does not fit a
// record and gives nothing.
std::optional<KeyEventRecord> GroupKeyToRecord(const QString& text);

// A model's event-record default of one key, from its KeyParam list in
// Config.ini: first item "0x05"; three items name a consumer key by its
// selector in hexadecimal, four items a key combination.
struct KeyParamDefault {
    enum Kind { None, Consumer, Combination };
    Kind kind = None;
    int selector = 0;
    QString combination;
};
KeyParamDefault ParseKeyParamDefault(const QStringList& items);

}  // namespace keys
