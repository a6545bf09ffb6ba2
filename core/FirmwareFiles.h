// Firmware images beside the executable ("<appDir>/bin/*.bin"): each starts
// with a 728-byte header that names the device it is for and its version.
//
// One check says whether an image is one the device library takes (magic,
// header format, length, checksum: CheckFirmwareImage); every way an image
// comes in goes through it, in two steps kept apart on purpose:
//  - the scan (FindFirmwareFile, FirmwareFileDiffers) reads only the header
//    of most candidates and checks it against the file's size, so it is
//    cheap enough for any thread, the GUI thread included; it answers with
//    the file found, never with its content. Only the few files named for
//    the device are read and checked whole (their header cannot be trusted
//    before); for the others the checksum, which covers the whole image,
//    is left to the load, so the scan also names the other matches to fall
//    back on;
//  - the load (LoadFirmwareFile) reads the file found whole, through the
//    picked-file reader (regular files only, at most FirmwareImageMaxBytes),
//    and checks all of it, checksum included; an image it refuses gives way
//    to the next match. Every start loads first, so a damaged image never
//    reaches the device library, whose image calls take no length and read
//    as far as the header says: an image reaches it only as a loaded
//    FirmwareImage (see FirmwareUpdate.h). Never load on the GUI thread:
//    LoadFirmwareImageAsync does it on a thread of its own.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QObject;

constexpr int FirmwareHeaderSize = 728;
// Images are a few hundred kB; anything larger is not one of ours.
constexpr qint64 FirmwareImageMaxBytes = 16 * 1024 * 1024;
constexpr quint8 FirmwareKindMouse = 210;
constexpr quint8 FirmwareKindReceiver = 211;

// A firmware version: the major number and the minor number (shown in
// hexadecimal). Two versions are the same when both numbers are.
struct FirmwareVersion {
    int major = 0;
    int minor = 0;
    bool valid = false;

    bool operator==(const FirmwareVersion& o) const { return valid && o.valid && major == o.major && minor == o.minor; }
    bool operator!=(const FirmwareVersion& o) const { return !(*this == o); }
};

// From the header's (or the device's) version field: bits 8 and up major,
// bits 0..7 minor.
FirmwareVersion FirmwareVersionOf(quint32 field);
// From a version text as shown ("v1.5", "1.a", "v1.10"; every "v" is
// ignored, the minor number is hexadecimal); not valid when it does not read
// as two numbers.
FirmwareVersion ParseFirmwareVersion(const QString& text);

// The fields of the FirmwareHeaderSize bytes at the start of every image that
// the program reads.
struct FirmwareImageHeader {
    quint32 length = 0;   // bytes 4..7: the size of the whole image, header included
    quint32 version = 0;  // bits 8..31 major, bits 0..7 minor
    quint8 kind = 0;      // 210 mouse, 211 receiver
    quint8 id = 0;        // low byte of the maker id (Option/CID)
    quint8 mid = 0;       // model id (Drive<N>/MID)
    QString name;         // model firmware name, up to 64 bytes

    // "v<major>.<minor in hex>".
    QString VersionText() const;
};

// The header fields of data; false for data shorter than the header.
bool ParseFirmwareHeader(const QByteArray& data, FirmwareImageHeader* header);

// Whether data holds a whole image the device library takes: the header
// ("DZFW", its size 728 and format 1, a mouse or receiver image), at least
// the length the header announces (itself at least the header), and the
// CRC-32 of bytes 12 .. length - 1 that bytes 8..11 hold.
enum class FirmwareImageError {
    None,
    Unreadable,   // cannot be opened or read
    NotAFile,     // a folder, FIFO, socket or device
    TooLarge,     // more than FirmwareImageMaxBytes
    TooShort,     // shorter than the header
    BadMagic,     // does not start with "DZFW"
    BadFormat,    // another header size or format, or no device type we know
    BadLength,    // the header announces less than a header
    Truncated,    // shorter than the header announces
    BadChecksum,  // the bytes are not those the checksum was made of
};
FirmwareImageError CheckFirmwareImage(const QByteArray& data);
// A sentence for the log and the tests: what is wrong with the image.
QString FirmwareImageErrorText(FirmwareImageError error);

// "<appDir>/bin".
QString FirmwareFolder();

// One image file found by the scan: where it is and what its header says.
struct FirmwareFile {
    QString path;
    FirmwareImageHeader header;
    // The other matches that passed the scan, the one to take next first:
    // the load falls back on them when it refuses path whole.
    QStringList fallbacks;
};

// The scan over folder's "*.bin" files (any case), in name order ignoring
// case, reading the header of each (all of those named for the device, see
// below). A file matches when its header is
// for kind, id, mid and name (exact). A matching file whose version equals
// currentVersion is passed over; an empty currentVersion (a device in boot
// mode, which reports none) takes any version. A later match replaces an
// earlier one (which becomes its first fallback). Files that cannot be read
// or are larger than FirmwareImageMaxBytes are passed over. A match that
// fails the image check by its header and its file size is damaged (the load
// would refuse it). A file whose name is for the device, name followed by
// anything but a letter or digit and no other model's "MID<n>"
// ("CDM_RX8K_MID1_v1.6.bin" for "CDM_RX8K" of MID 1), is read and checked
// whole first, checksum included: one that fails is damaged whatever byte
// is hit (its name is all that tells whose it is), and so is a whole one
// whose header has the name but another kind or id, or another MID where the
// file name says the MID. A whole one whose header has another firmware
// name is another device's image, passed over (logged). A damaged file is
// passed over (logged); onlyDamaged, when given, tells that nothing was
// found and a damaged file was there.
std::optional<FirmwareFile> FindFirmwareFile(const QString& folder, quint8 kind, const QString& currentVersion,
                                             const QString& name, quint8 id, quint8 mid, bool* onlyDamaged = nullptr);
// The same test where an empty version answers false: is there an image
// whose version differs from the one the device runs?
bool FirmwareFileDiffers(const QString& folder, quint8 kind, const QString& version, const QString& name, quint8 id,
                         quint8 mid);

// Whether FirmwareFolder() holds an image of kind (210 mouse, 211 receiver)
// for the model of CurrentDeviceInfo (Option/CID, its MID, its firmware
// name: MM for the mouse, the receiver's key by rateClass 1, 2, 4, 8) whose
// version differs from version (FirmwareFileDiffers). Any other rate class
// gives false for a receiver. Reads the model table and CurrentDeviceInfo's
// model index only.
bool FirmwareUpdateAvailable(int kind, const QString& version, int rateClass);

// ---- loading one image ----------------------------------------------------

struct FirmwareLoadResult;

// An image read whole and checked: Bytes() holds at least Header().length
// bytes. Immutable, shared by handle: whoever starts an upgrade keeps the
// handle until the upgrade's end.
class FirmwareImage
{
public:
    const QByteArray& Bytes() const { return m_bytes; }
    const FirmwareImageHeader& Header() const { return m_header; }
    const QString& Path() const { return m_path; }
    const unsigned char* Data() const { return reinterpret_cast<const unsigned char*>(m_bytes.constData()); }

private:
    friend FirmwareLoadResult FirmwareImageFromBytes(const QByteArray& bytes, const QString& path);
    FirmwareImage(const QByteArray& bytes, const FirmwareImageHeader& header, const QString& path)
        : m_bytes(bytes), m_header(header), m_path(path)
    {
    }

    QByteArray m_bytes;
    FirmwareImageHeader m_header;
    QString m_path;
};
using FirmwareImageHandle = std::shared_ptr<const FirmwareImage>;

struct FirmwareLoadResult {
    FirmwareImageHandle image;  // null unless error is None
    FirmwareImageError error = FirmwareImageError::Unreadable;
};

// Checks bytes (CheckFirmwareImage) and wraps them; path is for the record.
FirmwareLoadResult FirmwareImageFromBytes(const QByteArray& bytes, const QString& path);
// Reads path whole and checks it. Blocks for the read: not on the GUI thread.
FirmwareLoadResult LoadFirmwareImage(const QString& path);
// Loads file.path, and when that is refused its fallbacks in turn: the first
// whole image, or the error of file.path when none is (every match is
// damaged). Blocks for the reads: not on the GUI thread.
FirmwareLoadResult LoadFirmwareFile(const FirmwareFile& file);
// LoadFirmwareFile on a thread of its own; the result goes to done on
// context's thread (nothing when context is gone by then).
void LoadFirmwareImageAsync(const FirmwareFile& file, QObject* context, std::function<void(FirmwareLoadResult)> done);
