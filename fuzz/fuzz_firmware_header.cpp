// A firmware image file with any content: the header parser, the check that
// a buffer holds the whole image its header announces (the device library
// reads that far without a length of its own), the version texts, the scan
// of the image folder (header only) and the whole-image load, which must
// agree with the check on the same bytes (the scan by header and file size,
// the load by the bytes, checksum included); and the failed-update record
// text.
#include "FuzzSupport.h"

#include "FirmwareFiles.h"
#include "FirmwareUpdate.h"

#include <QDir>
#include <QFile>

namespace {
QString folder;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::SetUp(argc, argv);
    folder = fuzz::Root() + QStringLiteral("/firmware");
    QDir().mkpath(folder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::Bytes(data, size);
    FirmwareImageHeader header;
    const bool parsed = ParseFirmwareHeader(bytes, &header);
    if (parsed != (bytes.size() >= FirmwareHeaderSize))
        fuzz::Fail("the header parses exactly when it is all there");
    const FirmwareImageError check = CheckFirmwareImage(bytes);
    if (check == FirmwareImageError::None && (!parsed || header.length < quint32(FirmwareHeaderSize)
                                              || quint64(bytes.size()) < header.length))
        fuzz::Fail("an image passed the check without its announced length");
    const FirmwareLoadResult wrapped = FirmwareImageFromBytes(bytes, QStringLiteral("fuzz"));
    if ((wrapped.image != nullptr) != (check == FirmwareImageError::None) || wrapped.error != check)
        fuzz::Fail("wrapping and the check disagree");
    if (parsed) {
        if (ParseFirmwareVersion(header.VersionText()) != FirmwareVersionOf(header.version))
            fuzz::Fail("a version text does not read back as its version");
        // The scan, then the load of what it found, take a whole image by
        // its own keys, with any other version, and nothing the check
        // refuses: the scan passes over it telling so, or (a broken checksum,
        // which the header does not show) the load refuses it.
        fuzz::WriteFile(folder + QStringLiteral("/image.bin"), bytes);
        bool onlyDamaged = false;
        const std::optional<FirmwareFile> found =
            FindFirmwareFile(folder, header.kind, QString(), header.name, header.id, header.mid, &onlyDamaged);
        const FirmwareLoadResult taken = found ? LoadFirmwareFile(*found) : FirmwareLoadResult{};
        if (check == FirmwareImageError::None
            && (!taken.image || taken.image->Header().version != header.version || onlyDamaged))
            fuzz::Fail("the scan does not find the image by its header");
        if (check != FirmwareImageError::None && (taken.image || (!found && !onlyDamaged)))
            fuzz::Fail("the scan and the check disagree");
        const FirmwareLoadResult loaded = LoadFirmwareImage(folder + QStringLiteral("/image.bin"));
        if (loaded.error != check)
            fuzz::Fail("the load and the check disagree");
        if (loaded.image && loaded.image->Bytes() != bytes)
            fuzz::Fail("the load changed the bytes");
        QFile::remove(folder + QStringLiteral("/image.bin"));
    }
    const std::optional<UpdateFailRecord> record = ParseUpdateFailInfo(QString::fromLatin1(bytes.left(64)));
    if (record && !(ParseUpdateFailInfo(UpdateFailInfoText(*record)) == record))
        fuzz::Fail("a record does not read back");
    UpgradeEvent event = DecodeUpgradeEvent(size >= 3 ? data : nullptr);
    if (event.kind == UpgradeEvent::Progress && (event.percent < 0 || event.percent > 100))
        fuzz::Fail("progress outside 0..100");
    return 0;
}
