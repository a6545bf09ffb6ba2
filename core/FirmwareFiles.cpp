#include "FirmwareFiles.h"

#include "ConfigSettings.h"
#include "Globals.h"
#include "Logging.h"
#include "OffGuiThread.h"
#include "PickedFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtEndian>

#include <array>

namespace {
constexpr char Magic[] = "DZFW";
constexpr int MagicSize = 4;
constexpr int LengthAt = 4;
constexpr int ChecksumAt = 8;
constexpr int HeaderSizeAt = 12;
constexpr int HeaderFormatAt = 14;
constexpr quint16 HeaderFormat = 1;
constexpr int VersionAt = 16;
constexpr int KindAt = 20;
constexpr int IdAt = 21;
constexpr int MidAt = 22;
constexpr int NameAt = 87;
constexpr int NameSize = 64;

bool headerMatches(const FirmwareImageHeader& header, quint8 kind, const QString& name, quint8 id, quint8 mid)
{
    return header.kind == kind && header.id == id && header.mid == mid && header.name == name;
}
}  // namespace

FirmwareVersion FirmwareVersionOf(quint32 field)
{
    return FirmwareVersion{int(field >> 8), int(field & 0xFF), true};
}

FirmwareVersion ParseFirmwareVersion(const QString& text)
{
    const QStringList parts = QString(text).remove(QLatin1Char('v')).split(QLatin1Char('.'));
    if (parts.size() != 2)
        return {};
    bool majorOk = false;
    bool minorOk = false;
    const uint major = parts.at(0).toUInt(&majorOk, 10);
    const uint minor = parts.at(1).toUInt(&minorOk, 16);
    // The numbers a 32-bit version field can hold.
    if (!majorOk || !minorOk || major > 0xFFFFFFu || minor > 0xFFu)
        return {};
    return FirmwareVersion{int(major), int(minor), true};
}

QString FirmwareImageHeader::VersionText() const
{
    return QStringLiteral("v") + QString::number(version >> 8) + QLatin1Char('.') + QString::number(version & 0xFF, 16);
}

bool ParseFirmwareHeader(const QByteArray& data, FirmwareImageHeader* header)
{
    if (data.size() < FirmwareHeaderSize)
        return false;
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    header->length = qFromLittleEndian<quint32>(bytes + LengthAt);
    header->version = qFromLittleEndian<quint32>(bytes + VersionAt);
    header->kind = bytes[KindAt];
    header->id = bytes[IdAt];
    header->mid = bytes[MidAt];
    const QByteArray rawName = data.mid(NameAt, NameSize);
    const int end = rawName.indexOf('\0');
    header->name = QString::fromLocal8Bit(end < 0 ? rawName : rawName.left(end));
    return true;
}

namespace {
// CRC-32 (the polynomial of zip and PNG) of size bytes, a byte a step: the
// scan checks the images named for the device whole, on the GUI thread too.
quint32 crc32Of(const uchar* data, quint32 size)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int bit = 0; bit < 8; ++bit)
                c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
            t[n] = c;
        }
        return t;
    }();
    quint32 crc = 0xFFFFFFFFu;
    for (quint32 i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8);
    return ~crc;
}

// The image check on the first bytes of an image (the header at least) and
// the size of the whole: the scan knows a file's size without reading it.
// The checksum is checked when data holds the whole image, as a load has it
// (and the scan, for an image that is a header alone). The header it parsed
// is kept for the caller.
FirmwareImageError checkImage(const QByteArray& data, qint64 size, FirmwareImageHeader* header)
{
    if (!ParseFirmwareHeader(data, header))
        return FirmwareImageError::TooShort;
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    if (!data.startsWith(QByteArray::fromRawData(Magic, MagicSize)))
        return FirmwareImageError::BadMagic;
    if (qFromLittleEndian<quint16>(bytes + HeaderSizeAt) != FirmwareHeaderSize
        || qFromLittleEndian<quint16>(bytes + HeaderFormatAt) != HeaderFormat
        || (header->kind != FirmwareKindMouse && header->kind != FirmwareKindReceiver))
        return FirmwareImageError::BadFormat;
    if (header->length < quint32(FirmwareHeaderSize))
        return FirmwareImageError::BadLength;
    if (quint64(qMax<qint64>(0, size)) < header->length)
        return FirmwareImageError::Truncated;
    const quint32 checksum = qFromLittleEndian<quint32>(bytes + ChecksumAt);
    if (quint64(data.size()) >= header->length && crc32Of(bytes + HeaderSizeAt, header->length - HeaderSizeAt) != checksum)
        return FirmwareImageError::BadChecksum;
    return FirmwareImageError::None;
}

// Whether fileName is named for the device's image: the firmware name, then
// anything but a letter or digit ("CDM_RX8K_MID1_v1.6.bin", not
// "CDM_RX8KB.bin"). Receivers of one name serve several models, and their
// images say which in the name ("MID" and the number, a word of its own):
// a name that says another model is not named for this one. *namesMid
// tells whether the name says the model.
bool namedFor(const QString& fileName, const QString& name, quint8 mid, bool* namesMid)
{
    *namesMid = false;
    if (name.isEmpty() || fileName.size() <= name.size() || !fileName.startsWith(name)
        || fileName.at(name.size()).isLetterOrNumber())
        return false;
    static const QRegularExpression midWord(QStringLiteral("(?:^|[^A-Za-z0-9])MID(\\d{1,3})(?![A-Za-z0-9])"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch said = midWord.match(fileName.mid(name.size()));
    *namesMid = said.hasMatch();
    return !said.hasMatch() || said.captured(1).toUInt() == mid;
}
}  // namespace

FirmwareImageError CheckFirmwareImage(const QByteArray& data)
{
    FirmwareImageHeader header;
    return checkImage(data, data.size(), &header);
}

QString FirmwareImageErrorText(FirmwareImageError error)
{
    switch (error) {
    case FirmwareImageError::None: return QStringLiteral("a whole image");
    case FirmwareImageError::Unreadable: return QStringLiteral("the file cannot be read");
    case FirmwareImageError::NotAFile: return QStringLiteral("not a regular file");
    case FirmwareImageError::TooLarge: return QStringLiteral("larger than any firmware image (16 MiB)");
    case FirmwareImageError::TooShort: return QStringLiteral("shorter than the 728-byte firmware header");
    case FirmwareImageError::BadMagic: return QStringLiteral("not a firmware image (it does not start with DZFW)");
    case FirmwareImageError::BadFormat: return QStringLiteral("an unknown header size, format or device type");
    case FirmwareImageError::BadLength: return QStringLiteral("the header announces a length shorter than itself");
    case FirmwareImageError::Truncated: return QStringLiteral("truncated: shorter than the length its header announces");
    case FirmwareImageError::BadChecksum: return QStringLiteral("damaged: its checksum does not match its bytes");
    }
    return QString();
}

QString FirmwareFolder()
{
    return AppDir() + QStringLiteral("/bin");
}

std::optional<FirmwareFile> FindFirmwareFile(const QString& folder, quint8 kind, const QString& currentVersion,
                                             const QString& name, quint8 id, quint8 mid, bool* onlyDamaged)
{
    if (onlyDamaged)
        *onlyDamaged = false;
    QDir dir(folder);
    if (!dir.exists())
        return std::nullopt;
    bool damaged = false;
    const FirmwareVersion current = ParseFirmwareVersion(currentVersion);
    const QString currentText = QString(currentVersion).remove(QLatin1Char('v'));
    std::optional<FirmwareFile> found;
    const QStringList files = dir.entryList({QStringLiteral("*.bin")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& fileName : files) {
        const QString path = dir.filePath(fileName);
        const auto passOver = [&path, &damaged](bool isDamage, const QString& why) {
            qCWarning(lcFiles) << "firmware image passed over:" << path << why;
            damaged = damaged || isDamage;
        };
        bool namesMid = false;
        const bool forDevice = namedFor(fileName, name, mid, &namesMid);
        // A file named for the device is read and checked whole before its
        // header is believed: the damaged byte may be any, its firmware
        // name, kind or version included. Other files are looked at by their
        // header alone.
        QByteArray bytes;
        const PickedFileError read =
            forDevice ? ReadPickedFile(path, FirmwareImageMaxBytes, &bytes)
                      : ReadPickedFileHead(path, FirmwareImageMaxBytes, FirmwareHeaderSize, &bytes);
        if (read != PickedFileError::None)
            continue;
        FirmwareImageHeader header;
        // The size a header-only read is checked against.
        const qint64 size = forDevice ? bytes.size() : QFileInfo(path).size();
        const FirmwareImageError error = checkImage(bytes, size, &header);
        if (forDevice && error != FirmwareImageError::None) {
            passOver(true, FirmwareImageErrorText(error));
            continue;
        }
        if (error == FirmwareImageError::TooShort)
            continue;
        const bool matches = headerMatches(header, kind, name, id, mid);
        if (forDevice && !matches && header.name != name) {
            passOver(false, QStringLiteral("a whole image for %1, not %2, whatever its file name says")
                                .arg(header.name, name));
            continue;
        }
        // Whole, named for the device and with the device's firmware name in
        // its header, but of another kind or maker, or of another model where
        // the file name says the model: its identity bytes are damaged. (An
        // image of a model that shares the receiver's name, in a file whose
        // name does not say the model, is that model's.)
        const bool identityDamaged = !matches && forDevice && (header.kind != kind || header.id != id || namesMid);
        if (!matches && !identityDamaged)
            continue;
        if (!currentVersion.isEmpty()) {
            // The same version, as numbers or as text, is nothing to update to.
            const FirmwareVersion fileVersion = FirmwareVersionOf(header.version);
            if (fileVersion == current || header.VersionText().remove(QLatin1Char('v')) == currentText)
                continue;
        }
        if (identityDamaged) {
            passOver(true, QStringLiteral("its header names another device than its file name"));
            continue;
        }
        // A damaged image would be refused whole at the load: it must not
        // hide a good one named before it.
        if (error != FirmwareImageError::None) {
            passOver(true, FirmwareImageErrorText(error));
            continue;
        }
        QStringList fallbacks;
        if (found)
            fallbacks = QStringList{found->path} + found->fallbacks;
        found = FirmwareFile{path, header, fallbacks};
    }
    if (onlyDamaged)
        *onlyDamaged = damaged && !found;
    return found;
}

bool FirmwareFileDiffers(const QString& folder, quint8 kind, const QString& version, const QString& name, quint8 id,
                         quint8 mid)
{
    return !version.isEmpty() && FindFirmwareFile(folder, kind, version, name, id, mid).has_value();
}

bool FirmwareUpdateAvailable(int kind, const QString& version, int rateClass)
{
    const std::optional<ModelRecord> model = ModelRecordOf(CurrentDeviceInfo.driveIndex);
    if (!model)
        return false;
    const QString name = kind == FirmwareKindMouse ? model->mouseFirmware : model->ReceiverFirmwareOfRate(rateClass);
    if (name.isEmpty())
        return false;
    return FirmwareFileDiffers(FirmwareFolder(), static_cast<quint8>(kind), version, name,
                               static_cast<quint8>(model->cid), static_cast<quint8>(model->mid));
}

FirmwareLoadResult FirmwareImageFromBytes(const QByteArray& bytes, const QString& path)
{
    FirmwareLoadResult result;
    FirmwareImageHeader header;
    result.error = checkImage(bytes, bytes.size(), &header);
    if (result.error != FirmwareImageError::None) {
        qCWarning(lcFiles) << "firmware image refused:" << path << FirmwareImageErrorText(result.error);
        return result;
    }
    result.image = FirmwareImageHandle(new FirmwareImage(bytes, header, path));
    return result;
}

FirmwareLoadResult LoadFirmwareImage(const QString& path)
{
    QByteArray bytes;
    switch (ReadPickedFile(path, FirmwareImageMaxBytes, &bytes)) {
    case PickedFileError::None:
        return FirmwareImageFromBytes(bytes, path);
    case PickedFileError::NotRegular:
        return FirmwareLoadResult{nullptr, FirmwareImageError::NotAFile};
    case PickedFileError::TooLarge:
        return FirmwareLoadResult{nullptr, FirmwareImageError::TooLarge};
    case PickedFileError::Missing:
    case PickedFileError::ReadFailed:
        break;
    }
    return FirmwareLoadResult{nullptr, FirmwareImageError::Unreadable};
}

FirmwareLoadResult LoadFirmwareFile(const FirmwareFile& file)
{
    const FirmwareLoadResult first = LoadFirmwareImage(file.path);
    if (first.image)
        return first;
    // A broken checksum shows only here: the next match takes its place.
    for (const QString& path : file.fallbacks) {
        const FirmwareLoadResult next = LoadFirmwareImage(path);
        if (next.image) {
            qCInfo(lcFiles) << "firmware image" << path << "taken in place of" << file.path;
            return next;
        }
    }
    return first;
}

void LoadFirmwareImageAsync(const FirmwareFile& file, QObject* context, std::function<void(FirmwareLoadResult)> done)
{
    RunOffGuiThread(context, [file] { return LoadFirmwareFile(file); }, std::move(done));
}
