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

// The pending names of this run once the list could not be written, for the
// list's path then (a test or another user folder starts afresh). GUI thread.
struct Held {
    QString path;
    QStringList names;
};
Held held;

bool listHeld()
{
    return !held.path.isEmpty() && held.path == MacroPendingFile();
}

// Stores names as the pending list; what cannot be stored is held instead.
bool storePending(const QStringList& names)
{
    if (writePending(names)) {
        held = {};
        return true;
    }
    held = {MacroPendingFile(), names};
    return false;
}

QStringList storedPending()
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
    return listHeld() ? held.names : storedPending();
}

bool IsMacroPending(const QString& name)
{
    return PendingMacros().contains(name);
}

bool SetMacroPending(const QString& name, bool pending)
{
    if (pending && !IsSafeFileName(name))
        return false;
    QStringList names = PendingMacros();
    // A held list is offered to the file again with every change.
    if (names.contains(name) == pending && !listHeld())
        return true;
    names.removeAll(name);
    if (pending)
        names.append(name);
    return storePending(names);
}

void KeepRefusedMacro(const QString& name, HeldRefusalNotice& notice)
{
    // A list that cannot be written was logged; the name is held for the run.
    if (!SetMacroPending(name, true))
        notice.SetReason(RefusedUnkeptReason);
}

bool SendMacroFileToKey(const QString& name, int key)
{
    HeldRefusalNotice notice;  // told once it is known whether the macro is kept past a restart
    const Sent sent = sendFile(name, key);
    if (sent == Sent::NoFile)
        qCWarning(lcFiles) << "macro" << name << "cannot be read for key" << key;
    if (sent == Sent::NotTaken) {
        qCWarning(lcPages) << "macro" << name << "did not reach key" << key << "- kept to be sent again";
        KeepRefusedMacro(name, notice);
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
        (void)storePending(names);  // a list that cannot be written was logged, and is held
    return names.size();
}

}  // namespace keys
