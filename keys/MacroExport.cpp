// The export stream of one macro (see MacroRows.h for the format) and the
// mouse-button names of every language that its key texts are matched with.
#include "MacroRows.h"

#include "KeyNames.h"
#include "LanguageLoader.h"
#include "MacroName.h"
#include "NameRule.h"
#include "PickedFile.h"
#include "SafeFileName.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>

#include <cstring>

namespace keys {

namespace {

constexpr int StreamVersion = QDataStream::Qt_5_9;  // 17
constexpr int TagBlockBytes = 12;
constexpr int NameBlockBytes = 48;
constexpr int RepeatBlockBytes = 12;
constexpr int StateBlockBytes = 2;
// Icons the program writes hold one picture; a few more are skipped too.
constexpr int MaxIconEntries = 64;

const char Tag[] = "Durod";
const char IconEngine[] = "QPixmapIconEngine";

static_assert(StreamVersion == 17, "the export file is a stream of version 17");

// The format's own rule: a row whose text holds "ms" is a delay row and has
// no state field. Writer and reader both follow it.
bool hasStateField(const QString& text)
{
    return !text.contains(QLatin1String("ms"));
}

QByteArray padded(const QByteArray& bytes, int size)
{
    QByteArray block = bytes.left(size);
    block.append(size - block.size(), '\0');
    return block;
}

void writeBlock(QDataStream& stream, const QByteArray& block)
{
    stream.writeBytes(block.constData(), uint(block.size()));
}

enum class Block { Read, Failed, TooLong };

// A byte block of at most maxBytes, read without trusting its length.
Block readBlock(QDataStream& stream, int maxBytes, QByteArray* out)
{
    quint32 length = 0;
    stream >> length;
    if (stream.status() != QDataStream::Ok)
        return Block::Failed;
    if (length > quint32(maxBytes))
        return Block::TooLong;
    out->resize(int(length));
    if (length > 0 && stream.readRawData(out->data(), int(length)) != int(length))
        return Block::Failed;
    return Block::Read;
}

QByteArray untilZero(const QByteArray& bytes)
{
    const int zero = bytes.indexOf('\0');
    return zero < 0 ? bytes : bytes.left(zero);
}

// Past one PNG picture (signature, chunks up to IEND) without decoding it.
bool skipPng(QDataStream& stream)
{
    static const char signature[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n'};
    char head[8];
    if (stream.readRawData(head, 8) != 8 || std::memcmp(head, signature, 8) != 0)
        return false;
    for (;;) {
        quint32 length = 0;
        char type[4];
        stream >> length;
        if (stream.status() != QDataStream::Ok || length > quint32(MaxExportFileBytes)
            || stream.readRawData(type, 4) != 4)
            return false;
        const int rest = int(length) + 4;  // data and CRC
        if (stream.skipRawData(rest) != rest)
            return false;
        if (std::memcmp(type, "IEND", 4) == 0)
            return true;
    }
}

// Past one icon as QDataStream writes it: the engine's key (null for a null
// icon), then, for the pixmap engine, its entries: picture (null marker or
// PNG), file name, size, mode, state. Other engines are refused: reading
// them would load plugins for a file's sake.
bool skipIcon(QDataStream& stream)
{
    QString key;
    stream >> key;
    if (stream.status() != QDataStream::Ok)
        return false;
    if (key.isEmpty())
        return true;
    if (key != QLatin1String(IconEngine))
        return false;
    qint32 entries = 0;
    stream >> entries;
    if (stream.status() != QDataStream::Ok || entries < 0 || entries > MaxIconEntries)
        return false;
    for (int i = 0; i < entries; ++i) {
        qint32 notNull = 0;
        stream >> notNull;
        if (stream.status() != QDataStream::Ok || (notNull != 0 && !skipPng(stream)))
            return false;
        QString fileName;
        qint32 width = 0, height = 0;
        quint32 mode = 0, state = 0;
        stream >> fileName >> width >> height >> mode >> state;
        if (stream.status() != QDataStream::Ok)
            return false;
    }
    return true;
}

std::optional<int> parseRepeatCode(const QByteArray& text)
{
    if (text.isEmpty() || text.size() > 3)
        return std::nullopt;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    const int code = text.toInt();
    return IsRepeatCode(code) ? std::optional<int>(code) : std::nullopt;
}

// The key row of an exported text: a name of the vocabulary, else a mouse
// button of any language (shown under the present language's name), else
// the empty key.
MacroRow keyRowOfText(const QString& text, bool down, const QHash<QString, int>& mouseNames)
{
    if (FindMacroName(text))
        return MacroRow::Named(text, down);
    const auto mouse = mouseNames.constFind(text);
    if (mouse != mouseNames.constEnd())
        return MacroRow::Key(KindMouse, mouse.value(), down);
    return MacroRow::Key(KindKeyboard, 0, down);
}

ImportError streamFault(const QDataStream& stream)
{
    return stream.status() == QDataStream::ReadCorruptData ? ImportError::BadRow : ImportError::Truncated;
}

// Reads the rows; None or the first fault.
ImportError readRows(QDataStream& stream, const QHash<QString, int>& mouseNames, MacroRows* rows)
{
    qint32 count = 0;
    stream >> count;
    if (stream.status() != QDataStream::Ok)
        return ImportError::Truncated;
    if (count < 0 || count > MaxExportRows)
        return ImportError::BadRowCount;
    for (int i = 0; i < count; ++i) {
        QString text;
        stream >> text;
        if (stream.status() != QDataStream::Ok)
            return streamFault(stream);
        if (!skipIcon(stream))
            return stream.status() == QDataStream::Ok ? ImportError::BadRow : streamFault(stream);
        if (!hasStateField(text)) {
            const std::optional<quint32> ms = ParseDelayText(text);
            if (!ms)
                return ImportError::BadRow;
            rows->append(MacroRow::Delay(*ms));
            continue;
        }
        QByteArray state;
        switch (readBlock(stream, StateBlockBytes, &state)) {
        case Block::Failed: return streamFault(stream);
        case Block::TooLong: return ImportError::BadRow;
        case Block::Read: break;
        }
        const bool down = state.isEmpty() || state.at(0) == '0' || state.at(0) == '\0';
        rows->append(keyRowOfText(text, down, mouseNames));
    }
    return ImportError::None;
}

ImportError readMacro(QDataStream& stream, const QHash<QString, int>& mouseNames, MacroImport* result)
{
    QByteArray tag, name, repeat;
    switch (readBlock(stream, TagBlockBytes, &tag)) {
    case Block::Failed: return ImportError::Truncated;
    case Block::TooLong: return ImportError::WrongTag;
    case Block::Read: break;
    }
    switch (readBlock(stream, NameBlockBytes, &name)) {
    case Block::Failed: return ImportError::Truncated;
    case Block::TooLong: return ImportError::BadName;
    case Block::Read: break;
    }
    // The name as the device and the file name hold it: 30 bytes at most.
    const QString decoded = DecodeMacroName(reinterpret_cast<const uint8_t*>(name.constData()), name.size());
    result->name = QString::fromUtf8(EncodeMacroName(decoded));
    switch (readBlock(stream, RepeatBlockBytes, &repeat)) {
    case Block::Failed: return ImportError::Truncated;
    case Block::TooLong: return ImportError::BadRepeatCode;
    case Block::Read: break;
    }
    if (untilZero(tag) != Tag)
        return ImportError::WrongTag;
    if (!IsAcceptableMacroName(result->name) || !IsSafeFileName(result->name))
        return ImportError::BadName;
    const std::optional<int> code = parseRepeatCode(untilZero(repeat));
    if (!code)
        return ImportError::BadRepeatCode;
    result->repeatCode = *code;
    MacroRows rows;
    const ImportError fault = readRows(stream, mouseNames, &rows);
    if (fault != ImportError::None)
        return fault;
    result->rows = FitMacro(rows, &result->cut);
    return ImportError::None;
}

}  // namespace

RowIcons RowIconsIn(const QString& pictureDir)
{
    const QDir dir(pictureDir);
    return RowIcons{QIcon(dir.filePath(QStringLiteral("MacroDown.png"))),
                    QIcon(dir.filePath(QStringLiteral("MacroUp.png"))),
                    QIcon(dir.filePath(QStringLiteral("MacroTime.png")))};
}

QByteArray ExportMacro(const QString& name, int repeatCode, const MacroRows& rows, const RowIcons& icons, bool* cut)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);  // a buffer in memory always opens
    QDataStream stream(&buffer);
    stream.setVersion(StreamVersion);
    writeBlock(stream, padded(Tag, TagBlockBytes));
    writeBlock(stream, padded(EncodeMacroName(name, NameBlockBytes), NameBlockBytes));
    writeBlock(stream, padded(QByteArray::number(NormalRepeatCode(repeatCode)), RepeatBlockBytes));
    const MacroRows kept = FitMacro(rows, cut);
    stream << qint32(kept.size());
    for (const MacroRow& row : kept) {
        const QString text = row.IsDelay() ? DelayText(row.delay) : row.text;
        stream << text << (row.IsDelay() ? icons.delay : row.down ? icons.down : icons.up);
        if (hasStateField(text))
            writeBlock(stream, QByteArray(row.down ? "0" : "1") + '\0');
    }
    return bytes;
}

QHash<QString, int> MouseButtonNamesOfLanguages()
{
    QHash<QString, int> names;
    for (const int code : MouseChoiceCodes)
        names.insert(DefaultMouseButtonText(code), code);
    for (int index = 0; index < Language::Count; ++index) {
        LanguageTexts texts;
        for (int i = 0; i < 5; ++i) {
            const int code = MouseChoiceCodes[i];
            texts.on(QStringLiteral("ChooseEvent") + QString::number(4 + i), [&names, code](const QString& text) {
                if (!text.isEmpty() && !names.contains(text))  // the first language keeps a shared text
                    names.insert(text, code);
            });
        }
        // The result does not matter: a missing file adds nothing, a damaged
        // one what it gave before the fault, and the other files still count.
        (void)LoadLanguageSection(index, QStringLiteral("Macro"), texts);
    }
    return names;
}

MacroImport ImportMacro(const QByteArray& bytes, const QHash<QString, int>& mouseNames)
{
    MacroImport result;
    QDataStream stream(bytes);
    stream.setVersion(StreamVersion);
    result.error = readMacro(stream, mouseNames, &result);
    if (!result.Ok()) {
        result.rows.clear();
        result.cut = false;
    }
    return result;
}

MacroImport ImportMacroFile(const QString& path, const QHash<QString, int>& mouseNames)
{
    QByteArray bytes;
    MacroImport result;
    result.error = ImportError::Unreadable;
    switch (ReadPickedFile(path, MaxExportFileBytes, &bytes)) {
    case PickedFileError::None: return ImportMacro(bytes, mouseNames);
    case PickedFileError::TooLarge: result.error = ImportError::TooLarge; break;
    case PickedFileError::Missing:
    case PickedFileError::NotRegular:
    case PickedFileError::ReadFailed: break;
    }
    return result;
}

bool ExportMacroFile(const QString& path, const QString& name, int repeatCode, const MacroRows& rows,
                     const RowIcons& icons, bool* cut)
{
    // The user's chosen name too: a link there is refused, not followed.
    return WriteWholeFile(path, ExportMacro(name, repeatCode, rows, icons, cut), "macro export", FileFolder::MustExist);
}

}  // namespace keys
