#include "KeyRecords.h"

#include "KeyNames.h"

namespace keys {

const QVector<ConsumerEntry>& ConsumerEntries()
{
    // The object names are the menu's; they do not say what the entry does
    // ("VolumeUp" is mute, "Mute" is stop): the usage column holds.
    static const QVector<ConsumerEntry> table = {
        {"Player", 0x83, 0x0183},         // media player
        {"StartPause_2", 0xCD, 0x00CD},   // play/pause
        {"BackMusic_2", 0xB5, 0x00B5},    // next track
        {"TopMusic_2", 0xB6, 0x00B6},     // previous track
        {"Mute", 0xB7, 0x00B7},           // stop
        {"VolumeUp", 0xE2, 0x00E2},       // mute
        {"VolumeDown", 0xE9, 0x00E9},     // volume up
        {"VolumeDown_4", 0xEA, 0x00EA},   // volume down
        {"VolumeDown_5", 0x8A, 0x018A},   // mail
        {"VolumeDown_6", 0x92, 0x0192},   // calculator
        {"VolumeDown_3", 0x94, 0x0194},   // my computer
        {"VolumeDown_8", 0x23, 0x0223},   // browser home
        {"VolumeDown_9", 0x21, 0x0221},   // search
        {"VolumeDown_7", 0x25, 0x0225},   // browser forward
        {"VolumeDown_10", 0x24, 0x0224},  // browser back
        {"VolumeDown_12", 0x26, 0x0226},  // stop loading the page
        {"VolumeDown_13", 0x27, 0x0227},  // refresh
        {"VolumeDown_11", 0x2A, 0x022A},  // favourites
    };
    return table;
}

const ConsumerEntry* FindConsumerEntry(int selector)
{
    for (const ConsumerEntry& entry : ConsumerEntries()) {
        if (entry.selector == selector)
            return &entry;
    }
    return nullptr;
}

KeyEventRecord ConsumerRecord(int usage)
{
    KeyEventRecord record{};
    record.count = 2;
    record.events[0] = {0, KindConsumer, static_cast<uint16_t>(usage), KeyEventDelay};
    record.events[1] = {1, KindConsumer, static_cast<uint16_t>(usage), KeyEventDelay};
    return record;
}

std::optional<KeyEventRecord> GroupKeyToRecord(const QString& text)
{
    const QStringList names = SplitKeyCombination(text);
    const int n = names.size();
    if (n > MaxCombinationKeys)
        return std::nullopt;
    KeyEventRecord record{};
    for (int i = 0; i < n; ++i)
        record = KeyNameToRecord(names.at(i), i, n, record);
    record.count = static_cast<uint8_t>(2 * n);
    return record;
}

KeyParamDefault ParseKeyParamDefault(const QStringList& items)
{
    KeyParamDefault result;
    if (items.isEmpty() || items.at(0).trimmed() != QLatin1String("0x05"))
        return result;
    if (items.size() == 3) {
        bool ok = false;
        // Base 16 takes the text with or without its "0x".
        const int selector = items.at(2).trimmed().toInt(&ok, 16);
        if (ok) {
            result.kind = KeyParamDefault::Consumer;
            result.selector = selector;
        }
    } else if (items.size() == 4) {
        result.kind = KeyParamDefault::Combination;
        result.combination = items.at(3).trimmed();
    }
    return result;
}

}  // namespace keys
