#include "MacroName.h"

#include "Globals.h"
#include "Logging.h"
#include "SafeFileName.h"

namespace keys {

namespace {

// Length of the UTF-8 sequence that lead byte `b` starts; 1 for a byte that
// starts none (continuation or invalid), which the decoder marks on its own.
int sequenceLength(uint8_t b)
{
    if ((b & 0xE0) == 0xC0)
        return 2;
    if ((b & 0xF0) == 0xE0)
        return 3;
    if ((b & 0xF8) == 0xF0)
        return 4;
    return 1;
}

bool isContinuation(uint8_t b) { return (b & 0xC0) == 0x80; }

// Number of leading bytes of `data` that end on a character boundary: a
// multi-byte sequence that the end cuts off is left out.
int completeLength(const char* data, int size)
{
    int lead = size - 1;
    while (lead >= 0 && size - lead < 4 && isContinuation(static_cast<uint8_t>(data[lead])))
        --lead;
    if (lead < 0)
        return size;
    const int need = sequenceLength(static_cast<uint8_t>(data[lead]));
    return (need > 1 && size - lead < need) ? lead : size;
}

}  // namespace

QString DecodeMacroName(const uint8_t* bytes, int size)
{
    if (!bytes || size <= 0)
        return QString();
    int length = 0;
    while (length < size && bytes[length] != 0)
        ++length;
    const char* data = reinterpret_cast<const char*>(bytes);
    return QString::fromUtf8(data, completeLength(data, length));
}

QString DecodeMacroName(const MacroRecord& record)
{
    return DecodeMacroName(record.name, MacroNameBytes);
}

QByteArray EncodeMacroName(const QString& name, int maxBytes)
{
    QByteArray bytes = name.toUtf8();
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    if (maxBytes < 0)
        maxBytes = 0;
    if (bytes.size() > maxBytes) {
        int cut = maxBytes;
        while (cut > 0 && isContinuation(static_cast<uint8_t>(bytes.at(cut))))
            --cut;
        bytes.truncate(cut);
    }
    return bytes;
}

QString MacroFolder()
{
    return UserDir() + QStringLiteral("/usersetting/MacroPage");
}

QString MacroFilePath(const QString& name)
{
    return SafeFilePath(MacroFolder(), name, QStringLiteral(".ini"));
}

bool WriteMacroFileBytes(const QString& name, const QByteArray& content)
{
    const QString path = MacroFilePath(name);
    if (path.isEmpty()) {
        qCWarning(lcFiles) << "macro file: unsafe macro name, not written:" << name;
        return false;
    }
    return WriteWholeFile(path, content, "macro file");
}

bool WriteMacroFile(const QString& name, const QString& text)
{
    return WriteMacroFileBytes(name, (text + QLatin1Char('\n')).toUtf8());
}

}  // namespace keys
