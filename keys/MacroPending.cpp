#include "MacroPending.h"

#include "DeviceWriters.h"
#include "Globals.h"
#include "KeyRecords.h"
#include "Logging.h"
#include "MacroName.h"
#include "MacroRows.h"
#include "PickedFile.h"
#include "SafeFileName.h"


namespace keys {

namespace {

// Names are at most 255 bytes; a list this size is never written.
constexpr qint64 MaxPendingFileBytes = 256 * 1024;

bool writePending(const QStringList& names)
{
    const QString path = MacroPendingFile();
    if (names.isEmpty() && SpotAt(path) == FileSpot::Free)
        return true;
    const QByteArray text = names.isEmpty() ? QByteArray() : (names.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    return WriteWholeFile(path, text, "pending macro list");
}

// Sends the file's macro to one key; nothing when the file cannot be read.
enum class Sent { Taken, NotTaken, NoFile };
Sent sendFile(const QString& name, int key)
{
    const std::optional<MacroFileContent> file = ReadMacroFile(name);
    if (!file)
        return Sent::NoFile;
    bool cut = false;
    const MacroRecord record = RecordFromRows(name, file->rows, &cut);
    if (cut)
        qCWarning(lcPages) << "macro" << name << "holds more than 70 events; key" << key << "gets the first 70";
    const KeyFunction entry{uint8_t(FunctionMacro), uint8_t(key), uint8_t(file->repeatCode)};
    return SetButtonMacro(key, entry, record) ? Sent::Taken : Sent::NotTaken;
}

}  // namespace

QString MacroPendingFile()
{
    return UserDir() + QStringLiteral("/usersetting/MacroPending.txt");
}

QStringList PendingMacros()
{
    // No list is the usual case: nothing to read, nothing to log.
    const QString path = MacroPendingFile();
    if (SpotAt(path) == FileSpot::Free)
        return {};
    QByteArray data;
    if (ReadPickedFile(path, MaxPendingFileBytes, &data) != PickedFileError::None)
        return {};
    QStringList names;
    for (const QString& line : QString::fromUtf8(data).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (IsSafeFileName(line) && !names.contains(line))
            names.append(line);
    }
    return names;
}

bool IsMacroPending(const QString& name)
{
    return PendingMacros().contains(name);
}

bool SetMacroPending(const QString& name, bool pending)
{
    QStringList names = PendingMacros();
    if (names.contains(name) == pending)
        return true;
    if (pending) {
        if (!IsSafeFileName(name))
            return false;
        names.append(name);
    } else {
        names.removeAll(name);
    }
    return writePending(names);
}

bool SendMacroFileToKey(const QString& name, int key)
{
    const Sent sent = sendFile(name, key);
    if (sent == Sent::NoFile)
        qCWarning(lcFiles) << "macro" << name << "cannot be read for key" << key;
    if (sent == Sent::NotTaken) {
        qCWarning(lcPages) << "macro" << name << "did not reach key" << key << "- kept to be sent again";
        (void)SetMacroPending(name, true);  // a list that cannot be written was logged
    }
    return sent == Sent::Taken;
}

int ResendPendingMacros()
{
    QStringList names = PendingMacros();
    // Only to the device the image was read from, and never while a
    // firmware update or a settings import or reset has the device.
    if (names.isEmpty() || !ImageBelongsToDevice.load() || !OnlinePollEnabled.load() || SettingsBusy.load())
        return names.size();
    const UntoldWrites untold;
    const QStringList before = names;
    for (const QString& name : before) {
        const FlashDataMap image = SnapshotFlashData();
        bool done = true;
        for (int k = 0; k < KeyCount && done; ++k) {
            if (image.keys[k].type != FunctionMacro || DecodeMacroName(image.macros[k]) != name)
                continue;
            // A file gone meanwhile ends the wait as well: nothing is left to send.
            done = sendFile(name, k) != Sent::NotTaken;
        }
        if (done) {
            qCInfo(lcPages) << "macro" << name << "reached the device";
            names.removeAll(name);
        }
    }
    if (names != before)
        (void)writePending(names);  // a list that cannot be written was logged
    return names.size();
}

}  // namespace keys
