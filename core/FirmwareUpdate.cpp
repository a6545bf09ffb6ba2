#include "FirmwareUpdate.h"

#include "Globals.h"
#include "HIDUsb.h"
#include "Logging.h"
#include "PickedFile.h"
#include "RegistryStore.h"
#include "SafeFileName.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QVector>
#include <QWaitCondition>

#include <limits>
#include <thread>

namespace {
constexpr int UpgradeEventCode = 7;
constexpr int UpgradeTimeout = 10000;  // passed as designed; the library's business
constexpr int UpdateLogLineCount = 8;

const QString FailInfoName = QStringLiteral("UpdateFailInfo");

// The running upgrade: its image and handler, from the start until its end
// event has been handed over (or its silence has lasted the timeout).
struct Session {
    QMutex mutex;
    QWaitCondition wake;  // an event came, or the upgrade ended
    FirmwareImageHandle image;
    UpgradeHandler handler;
    quint64 generation = 0;  // one per start
    QElapsedTimer sinceEvent;
    int timeoutMs = FirmwareUpgradeTimeoutMs;
    UpdateFailRecord record;  // the device being written
};

Session& session()
{
    static Session* s = new Session();  // never destroyed: a library thread may call in at exit
    return *s;
}

// Both records name one device: its type, maker and model, and for a
// receiver its rate class. A mouse's record keeps the receiver kind it was
// written through, which does not tell one mouse from another.
bool sameDevice(const UpdateFailRecord& a, const UpdateFailRecord& b)
{
    return a.type == b.type && a.cid == b.cid && a.mid == b.mid && (a.type == FirmwareKindMouse || a.kind == b.kind);
}

// The failed-update record at the end of the upgrade of the device record
// names: a failure stores it; a success removes the record of that device,
// while another device's record stays (that device still waits for its image).
void recordUpgradeEnd(const UpdateFailRecord& record, bool success)
{
    if (!success) {
        (void)WriteUpdateFailInfo(record);  // logged by the writer; the record stored at the start may be there
        return;
    }
    const std::optional<UpdateFailRecord> there = ReadUpdateFailInfo();
    if (there && sameDevice(*there, record))
        (void)RemoveUpdateFailInfo();  // logged by the writer; a record left behind only offers a repair
}

void upgradeTrampoline(unsigned char* bytes)
{
    const UpgradeEvent event = DecodeUpgradeEvent(bytes);
    if (event.kind == UpgradeEvent::Ignored)
        return;
    FirmwareImageHandle image;
    UpgradeHandler handler;
    UpdateFailRecord record;
    {
        Session& s = session();
        QMutexLocker lock(&s.mutex);
        image = s.image;
        handler = s.handler;
        s.sinceEvent.restart();
        if (event.kind == UpgradeEvent::Finished) {
            // The library is done with the image; the handler may start the
            // next stage with another one.
            s.image.reset();
            s.handler = nullptr;
            record = s.record;
            s.wake.wakeAll();
        }
    }
    // Only the end of a running upgrade: one that timed out or was refused
    // has had its end.
    if (event.kind == UpgradeEvent::Finished && image)
        recordUpgradeEnd(record, event.success);
    if (handler)
        handler(event, image);
}

// Ends the upgrade of generation as failed when it stays silent for timeoutMs.
void watchUpgrade(quint64 generation, int timeoutMs)
{
    Session& s = session();
    FirmwareImageHandle image;
    UpgradeHandler handler;
    UpdateFailRecord record;
    {
        QMutexLocker lock(&s.mutex);
        for (;;) {
            if (!s.image || s.generation != generation)
                return;  // ended by its own end event
            const qint64 left = timeoutMs - s.sinceEvent.elapsed();
            if (left <= 0)
                break;
            s.wake.wait(&s.mutex, static_cast<unsigned long>(left));
        }
        image = s.image;
        handler = s.handler;
        s.image.reset();
        s.handler = nullptr;
        record = s.record;
    }
    qCWarning(lcLibrary) << "the upgrade with" << image->Path() << "sent nothing for" << timeoutMs << "ms: failed";
    recordUpgradeEnd(record, false);
    UpgradeEvent event;
    event.kind = UpgradeEvent::Finished;
    event.timedOut = true;
    if (handler)
        handler(event, image);
}
}  // namespace

UpgradeEvent DecodeUpgradeEvent(const unsigned char* event)
{
    UpgradeEvent decoded;
    if (!event || event[0] != UpgradeEventCode)
        return decoded;
    if (event[1] == 1) {
        decoded.kind = UpgradeEvent::Progress;
        decoded.percent = qBound(0, int(event[2]), 100);
    } else if (event[1] == 2) {
        decoded.kind = UpgradeEvent::Finished;
        decoded.success = event[2] == 1;
    }
    return decoded;
}

int UpgradeProgressValue(int percent, int stage, int stageCount)
{
    const int p = qBound(0, percent, 100);
    if (stageCount < 2)
        return p;
    return stage == 0 ? p / 2 : p / 2 + 50;
}

int FirmwareBootDeviceCount(const FirmwareImageHandle& image)
{
    // A handle holds a checked image (FirmwareImageFromBytes): only null is refused.
    if (!image)
        return -1;
    int count = 5;
    UsbUpgradeC_FindBootDevices(image->Data(), &count);
    return count;
}

bool StartFirmwareUpgrade(const FirmwareImageHandle& image, const UpdateFailRecord& record, UpgradeHandler handler)
{
    if (!image) {
        qCWarning(lcLibrary) << "upgrade not started: no image";
        return false;
    }
    Session& s = session();
    // Held across the call: the library answers from its own threads only,
    // so an end event of a start it refuses waits here and then finds no
    // session (the caller has the refusal), and one of a start it takes
    // finds the session set.
    QMutexLocker lock(&s.mutex);
    if (s.image) {
        qCWarning(lcLibrary) << "upgrade not started: another one runs";
        return false;
    }
    // Stored before the device can enter boot mode.
    const bool stored = !ReadUpdateFailInfo() && WriteUpdateFailInfo(record);
    if (UsbUpgrade_Start(image->Data(), &upgradeTrampoline, UpgradeTimeout)) {
        s.image = image;
        s.handler = std::move(handler);
        s.record = record;
        s.sinceEvent.start();
        const quint64 generation = ++s.generation;
        const int timeoutMs = s.timeoutMs;
        try {
            std::thread(watchUpgrade, generation, timeoutMs).detach();
        } catch (...) {
            qCWarning(lcLibrary) << "no watch over the upgrade: it ends only by its own events";
        }
        return true;
    }
    qCWarning(lcLibrary) << "the device library did not start the upgrade with" << image->Path();
    if (stored)
        (void)RemoveUpdateFailInfo();  // nothing was written; a record left behind only offers a repair
    return false;
}

void SetFirmwareUpgradeTimeout(int ms)
{
    Session& s = session();
    QMutexLocker lock(&s.mutex);
    s.timeoutMs = ms > 0 ? ms : FirmwareUpgradeTimeoutMs;
}

bool FirmwareUpgradeRunning()
{
    Session& s = session();
    QMutexLocker lock(&s.mutex);
    return s.image != nullptr;
}

std::optional<UpdateFailRecord> ParseUpdateFailInfo(const QString& text)
{
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 4)
        return std::nullopt;
    int values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = fields.at(i).trimmed().toInt(&ok, 10);
        if (!ok || values[i] < 0)
            return std::nullopt;
    }
    return UpdateFailRecord{values[0], values[1], values[2], values[3]};
}

QString UpdateFailInfoText(const UpdateFailRecord& record)
{
    return QStringLiteral("%1,%2,%3,%4").arg(record.type).arg(record.kind).arg(record.cid).arg(record.mid);
}

std::optional<UpdateFailRecord> ReadUpdateFailInfo()
{
    return ParseUpdateFailInfo(RegistryStore(ProgramRegistryKey()).value(FailInfoName).toString());
}

bool WriteUpdateFailInfo(const UpdateFailRecord& record)
{
    if (RegistryStore(ProgramRegistryKey()).setValue(FailInfoName, UpdateFailInfoText(record)))
        return true;
    qCWarning(lcFiles) << "the failed-update record could not be stored";
    return false;
}

bool RemoveUpdateFailInfo()
{
    if (RegistryStore(ProgramRegistryKey()).remove(FailInfoName))
        return true;
    qCWarning(lcFiles) << "the failed-update record could not be removed";
    return false;
}

QString MouseVersionValueName(const QString& cidText, const QString& midText)
{
    return QStringLiteral("MouseVer") + cidText + midText;
}

bool WriteMouseVersion(const QString& cidText, const QString& midText, const QString& version)
{
    if (RegistryStore(ProgramRegistryKey()).setValue(MouseVersionValueName(cidText, midText), version))
        return true;
    qCWarning(lcFiles) << "the mouse version could not be stored";
    return false;
}

QString ReadMouseVersion(const QString& cidText, const QString& midText)
{
    return RegistryStore(ProgramRegistryKey()).value(MouseVersionValueName(cidText, midText)).toString();
}

QString UpdateLogPath()
{
    return UserDir() + QStringLiteral("/Exception/UpDateLog.txt");
}

QStringList UpgradeLogLines(char** logs)
{
    QStringList lines;
    for (int i = 0; i < UpdateLogLineCount; ++i)
        lines.append(logs && logs[i] ? QString::fromLocal8Bit(logs[i]) : QString());
    return lines;
}

QByteArray AppendUpdateLogEntry(const QByteArray& log, const QStringList& lines, qint64 maxBytes)
{
    // Each line with its line end takes at most an eighth of the bound, so
    // the new entry always fits.
    const qint64 lineMax = qMax<qint64>(1, maxBytes / UpdateLogLineCount) - 1;
    QByteArray entry;
    for (int i = 0; i < UpdateLogLineCount; ++i) {
        QString line = lines.value(i);
        // One entry is eight lines: a line of the library is one line.
        line.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
        QByteArray bytes = line.toLocal8Bit();
        while (bytes.size() > lineMax) {
            line.chop(1);  // by characters: no character is cut in half
            bytes = line.toLocal8Bit();
        }
        entry += bytes + '\n';
    }

    QByteArray old = log;
    if (!old.isEmpty() && !old.endsWith('\n'))
        old += '\n';
    QVector<int> starts;  // where each line of the old log starts
    for (int at = 0; at < old.size(); at = old.indexOf('\n', at) + 1)
        starts.append(at);
    // Entries are counted from the end (the newest are whole); whatever is
    // left before the oldest whole entry counts as one more, older entry.
    int keepFrom = old.size();
    for (int first = starts.size(); first > 0;) {
        const int next = qMax(0, first - UpdateLogLineCount);
        if (old.size() - starts.at(next) + entry.size() > maxBytes)
            break;
        keepFrom = starts.at(next);
        first = next;
    }
    return old.mid(keepFrom) + entry;
}

bool WriteUpdateLog(const QStringList& lines)
{
    const QString path = UpdateLogPath();
    // Only the last UpdateLogMaxBytes of the old log can stay: no more is
    // read, without blocking. A link, a FIFO or a device in the log's place
    // counts as no log, and the writer refuses it: nothing is written there.
    QByteArray old;
    if (SpotAt(path) == FileSpot::File) {
        bool cut = false;
        const PickedFileError read =
            ReadPickedFileTail(path, std::numeric_limits<qint64>::max(), int(UpdateLogMaxBytes), &old, &cut);
        if (read != PickedFileError::None && read != PickedFileError::Missing) {
            qCWarning(lcFiles) << "cannot read the update log" << path << "; it stays as it is";
            return false;
        }
        if (cut)
            old.remove(0, old.indexOf('\n') + 1);  // the line cut in half goes (all of it without a line end)
    }
    // Written whole and then put in place: a crash leaves the old log or the new one.
    return WriteWholeFile(path, AppendUpdateLogEntry(old, lines), "update log");
}
