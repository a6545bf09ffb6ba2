// Rows, the record codec, the per-macro file text and the macro folder. The
// export stream is in MacroExport.cpp.
#include "MacroRows.h"

#include "KeyNames.h"
#include "Logging.h"
#include "MacroName.h"
#include "PickedFile.h"
#include "SafeFileName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <limits>

namespace keys {

namespace {

constexpr qint64 MaxMacroFileBytes = 1024 * 1024;

quint32 saturatingAdd(quint32 a, quint32 b)
{
    const quint32 max = std::numeric_limits<quint32>::max();
    return b > max - a ? max : a + b;
}

// "0x" and one to four hexadecimal digits, of either case.
std::optional<int> parseCode(const QString& text)
{
    if (text.size() < 3 || text.size() > 6 || !text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        return std::nullopt;
    int value = 0;
    for (int i = 2; i < text.size(); ++i) {
        const ushort c = text.at(i).unicode();
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * 16 + digit;
    }
    return value;
}

std::optional<int> parseKind(const QString& text)
{
    if (text.isEmpty() || text.size() > 3)
        return std::nullopt;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    const int kind = text.toInt();
    return kind <= 255 ? std::optional<int>(kind) : std::nullopt;
}

QString codeField(int code)
{
    if (code <= 0xFF)
        return CodeText(code);
    return QStringLiteral("0x") + QStringLiteral("%1").arg(code, 4, 16, QLatin1Char('0')).toUpper();
}

QByteArray rowLine(const MacroRow& row)
{
    if (row.IsDelay())
        return DelayText(row.delay).toLatin1();
    return (codeField(row.code) + QLatin1Char(' ') + QString::number(row.kind) + QLatin1Char(' ')
            + QLatin1Char(row.down ? '0' : '1'))
        .toLatin1();
}

}  // namespace

bool IsRepeatCode(int code)
{
    return (code >= 1 && code <= RepeatCode::ReNumberMax) || code == RepeatCode::ReUntil
           || code == RepeatCode::ReUntilLoose || code == RepeatCode::ReUntilClick;
}

int NormalRepeatCode(int code)
{
    return IsRepeatCode(code) ? code : 1;
}

// ---- Rows -------------------------------------------------------------------

MacroRow MacroRow::Key(int kind, int code, bool down)
{
    MacroRow row;
    row.kind = qBound(0, kind, 255);
    row.code = qBound(0, code, 0xFFFF);
    row.down = down;
    row.text = EventName(row.kind, row.code);
    return row;
}

MacroRow MacroRow::Named(const QString& name, bool down)
{
    if (const std::optional<KeyNameEntry> entry = FindMacroName(name)) {
        MacroRow row = Key(entry->kind, entry->code, down);
        row.text = name;  // equal mouse texts: the one asked for
        return row;
    }
    return Key(KindKeyboard, 0, down);
}

MacroRow MacroRow::Delay(quint32 ms)
{
    MacroRow row;
    row.delay = ms;
    row.text = DelayText(ms);
    return row;
}

bool operator==(const MacroRow& a, const MacroRow& b)
{
    return a.kind == b.kind && a.code == b.code && a.down == b.down && a.delay == b.delay && a.text == b.text;
}

std::optional<quint32> ParseDelayText(const QString& text)
{
    const QString t = text.trimmed();
    if (t.size() < 3 || !t.endsWith(QLatin1String("ms")))
        return std::nullopt;
    quint64 value = 0;
    for (int i = 0; i < t.size() - 2; ++i) {
        const ushort c = t.at(i).unicode();
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<quint32>::max())
            return std::nullopt;
    }
    return quint32(value);
}

QString DelayText(quint32 ms)
{
    return QString::number(ms) + QStringLiteral("ms");
}

int KeyRowCount(const MacroRows& rows)
{
    int count = 0;
    for (const MacroRow& row : rows)
        count += row.IsDelay() ? 0 : 1;
    return count;
}

MacroRows FitMacro(const MacroRows& rows, bool* cut)
{
    MacroRows kept;
    int events = 0;
    bool dropped = false;
    for (const MacroRow& row : rows) {
        if (!row.IsDelay() && ++events > MaxMacroEvents) {
            dropped = true;
            break;
        }
        kept.append(row);
    }
    if (cut)
        *cut = dropped;
    return kept;
}

// ---- Rows <-> record ----------------------------------------------------------

MacroRecord RecordFromRows(const QString& name, const MacroRows& rows, bool* cut)
{
    MacroRecord record;
    std::memset(&record, 0, sizeof record);
    const QByteArray bytes = EncodeMacroName(name);
    std::memcpy(record.name, bytes.constData(), size_t(bytes.size()));
    record.nameLength = uint8_t(bytes.size());

    int count = 0;
    for (const MacroRow& row : FitMacro(rows, cut)) {
        if (row.IsDelay()) {
            if (count > 0)
                record.events[count - 1].delay = saturatingAdd(record.events[count - 1].delay, row.delay);
            continue;  // a delay before the first event has nothing to wait for
        }
        KeyEvent& event = record.events[count++];
        event.state = row.down ? 0 : 1;
        event.kind = uint8_t(qBound(0, row.kind, 255));
        event.code = uint16_t(qBound(0, row.code, 0xFFFF));
        event.delay = 0;
    }
    record.eventCount = uint8_t(count);
    return record;
}

NamedMacro RowsFromRecord(const MacroRecord& record)
{
    NamedMacro macro;
    macro.name = DecodeMacroName(record);
    const int count = qMin(int(record.eventCount), MaxMacroEvents);
    for (int i = 0; i < count; ++i) {
        const KeyEvent& event = record.events[i];
        macro.rows.append(MacroRow::Key(event.kind, event.code, event.state == 0));
        if (i + 1 < count || event.delay != 0)
            macro.rows.append(MacroRow::Delay(event.delay));
    }
    return macro;
}

std::optional<NamedMacro> MacroOfKey(const FlashDataMap& image, int key)
{
    if (key < 0 || key >= KeyCount)
        return std::nullopt;
    return RowsFromRecord(image.macros[key]);
}

// ---- Rows <-> file text -----------------------------------------------------

MacroFileContent ParseMacroFile(const QByteArray& content)
{
    MacroFileContent file;
    if (content.isEmpty())
        return file;
    const QList<QByteArray> lines = content.split('\n');
    file.hasRepeatLine = true;
    const QStringList first = QString::fromUtf8(lines.first()).simplified().split(QLatin1Char(' '));
    file.repeatCode = NormalRepeatCode(first.first().toInt());

    int events = 0;
    for (int i = 1; i < lines.size(); ++i) {
        const QStringList fields =
            QString::fromUtf8(lines.at(i)).simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (fields.size() == 1) {
            if (const std::optional<quint32> delay = ParseDelayText(fields.first()))
                file.rows.append(MacroRow::Delay(*delay));
            continue;
        }
        if (fields.size() != 3)
            continue;
        const std::optional<int> code = parseCode(fields.at(0));
        const std::optional<int> kind = parseKind(fields.at(1));
        const QString& state = fields.at(2);
        if (!code || !kind || (state != QLatin1String("0") && state != QLatin1String("1")))
            continue;
        if (++events > MaxMacroEvents) {
            file.cut = true;
            break;
        }
        file.rows.append(MacroRow::Key(*kind, *code, state == QLatin1String("0")));
    }
    return file;
}

QByteArray MacroFileText(int repeatCode, const MacroRows& rows, bool* cut)
{
    QByteArray text = QByteArray::number(NormalRepeatCode(repeatCode)) + '\n';
    for (const MacroRow& row : FitMacro(rows, cut))
        text += rowLine(row) + '\n';
    return text;
}

// ---- The macro folder ---------------------------------------------------------

QStringList ListMacros()
{
    const QStringList files = QDir(MacroFolder()).entryList({QStringLiteral("*.ini")},
                                                            QDir::Files | QDir::NoSymLinks | QDir::CaseSensitive,
                                                            QDir::Name | QDir::IgnoreCase);
    QStringList names;
    for (const QString& file : files) {
        const QString name = file.chopped(4);
        if (!MacroFilePath(name).isEmpty())  // a name no writer could reach is no macro
            names.append(name);
    }
    return names;
}

std::optional<MacroFileContent> ReadMacroFile(const QString& name)
{
    const QString path = MacroFilePath(name);
    if (path.isEmpty())
        return std::nullopt;
    // A refused file (no regular file, over the cap) counts as missing.
    QByteArray content;
    if (ReadPickedFile(path, MaxMacroFileBytes, &content) != PickedFileError::None)
        return std::nullopt;
    return ParseMacroFile(content);
}

bool SaveMacroFile(const QString& name, int repeatCode, const MacroRows& rows, bool* cut)
{
    return WriteMacroFileBytes(name, MacroFileText(repeatCode, rows, cut));
}

bool AppendMacroFile(const QString& name, const MacroRows& rows, bool* cut)
{
    const std::optional<MacroFileContent> file = ReadMacroFile(name);
    if (!file)
        return false;
    const bool wasCut = file->cut;
    const bool saved = SaveMacroFile(name, file->repeatCode, file->rows + rows, cut);
    if (cut)
        *cut = *cut || wasCut;
    return saved;
}

bool CreateMacroFile(const QString& name)
{
    return WriteMacroFileBytes(name, QByteArray());
}

bool DeleteMacroFile(const QString& name)
{
    const QString path = MacroFilePath(name);
    return !path.isEmpty() && QFile::remove(path);
}

RenameResult RenameMacroFile(const QString& oldName, const QString& newName)
{
    const QString from = MacroFilePath(oldName);
    const QString to = MacroFilePath(newName);
    if (from.isEmpty() || to.isEmpty() || oldName == newName)
        return RenameResult::Refused;
    if (!QFileInfo::exists(from))
        return RenameResult::Missing;
    // A link in the new name's place (dangling too) counts as taken.
    if (SpotAt(to) != FileSpot::Free)
        return RenameResult::Exists;
    QFile file(from);
    if (!file.rename(to)) {
        qCWarning(lcFiles) << "macro file: renaming" << from << "failed:" << file.errorString();
        return RenameResult::Failed;
    }
    return RenameResult::Renamed;
}

}  // namespace keys
