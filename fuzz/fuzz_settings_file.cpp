// The settings file a user picks for an import: any bytes may be in it (a
// file of another program, a cut copy, an edited export). It is read from
// the disk as the import reads it, for the device of one model.
//
// Input: one byte picks the model (bit 0) and a size near the reader's cap
// (bits 1..7, p): with p = 0 the rest is the file; otherwise the rest is
// repeated (zero bytes when there is none) into a file of
// SettingsFileMaxBytes - 64 + p bytes, just under, at or just over the cap.
//
// What must hold:
//  - the file reader and the byte parser give the same result, one of
//    accepted, bad file, not for this device;
//  - the image is filled only when the file is accepted, and then holds the
//    file's image bytes exactly, an image that breaks no rule of the device;
//  - an accepted file has the tag and the model's sensor name, and what the
//    program exports of the image it took is accepted again as the same.
#include "FuzzSupport.h"

#include "ConfigSettings.h"
#include "Globals.h"
#include "ImageCheck.h"
#include "SettingsFile.h"
#include "UpDataParam.h"

#include <cstring>

namespace {
QString path;

// An image no file can hold whole: a refused read must leave it as it is.
FlashDataMap marker()
{
    FlashDataMap image;
    std::memset(&image, 0xA5, sizeof image);
    return image;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::SetUp(argc, argv);
    path = fuzz::Root() + QStringLiteral("/picked/settings.bin");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const int model = data[0] & 1;
    const int nearCap = data[0] >> 1;
    QByteArray content = fuzz::Bytes(data + 1, size - 1);
    if (nearCap > 0) {
        const int length = int(SettingsFileMaxBytes) - 64 + nearCap;
        content = content.isEmpty() ? QByteArray(length, '\0') : content.repeated(length / content.size() + 1).left(length);
    }
    fuzz::WriteFile(path, content);
    CurrentDeviceInfo = fuzz::ModelDevice(model, 5);
    const QString sensor = ConfigSettings::GetInstance()->ModelValue(model, QStringLiteral("Sensor"));
    const ImageLimits limits = ModelImageLimits(model);

    FlashDataMap fromFile = marker();
    const int result = UpDataParam::ReadParamFile(path, &fromFile);
    FlashDataMap parsed = marker();
    if (UpDataParam::ParseParamFile(content, sensor, limits, &parsed) != result)
        fuzz::Fail("the file reader and the byte parser disagree");
    if (result != UpDataParam::ImportAccepted && result != UpDataParam::ImportBadFile
        && result != UpDataParam::ImportWrongDevice)
        fuzz::Fail("a result no reader gives");
    if (!fuzz::SameImage(fromFile, parsed))
        fuzz::Fail("the file reader and the byte parser filled different images");
    if (result != UpDataParam::ImportAccepted) {
        if (!fuzz::SameImage(fromFile, marker()))
            fuzz::Fail("a refused file changed the image");
        return 0;
    }

    const SettingsFileBlocks blocks = SplitSettingsFile(content);
    if (SettingsBlockText(blocks.tag) != SettingsFileTag || !SettingsSensorMatches(blocks.sensor, sensor))
        fuzz::Fail("accepted without the tag or the model's sensor name");
    if (blocks.image.size() < int(sizeof fromFile) || std::memcmp(&fromFile, blocks.image.constData(), sizeof fromFile) != 0)
        fuzz::Fail("the accepted image is not the file's");
    if (!ImageIsValid(fromFile, limits))
        fuzz::Fail("accepted an image that breaks a rule");

    FlashDataMap again = marker();
    if (UpDataParam::ParseParamFile(EncodeSettingsFile(sensor, fromFile), sensor, limits, &again)
            != UpDataParam::ImportAccepted
        || !fuzz::SameImage(again, fromFile))
        fuzz::Fail("our own export of an accepted image is not taken back");
    return 0;
}
