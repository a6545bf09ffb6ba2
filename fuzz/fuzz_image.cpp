// Whole configuration images, as a settings file or another program could
// leave them, through the settings import's check and through the full read
// of the device link (the five pages listening as in the program).
//
// Input: one byte picks the model (bit 0) and whether the bytes lie over the
// model's factory image (bit 1; else over zeros), then the image bytes (cut
// to 10428).
//
// What must hold:
//  - the import takes the image exactly when it breaks no rule, and then
//    takes it unchanged;
//  - after a full read of it, the image in memory and every page's copy
//    leave nothing to mend (no stage past the count, no record count past
//    its record);
//  - an image the import takes is shown by the full read as it is.
#include "FuzzSupport.h"

#include "BenchFlash.h"
#include "ConfigSettings.h"
#include "Dialog.h"
#include "Globals.h"
#include "HIDUsb.h"
#include "ImageCheck.h"
#include "PostMsg.h"
#include "SettingsFile.h"
#include "UpDataParam.h"
#include "Worker.h"

#include <cstring>
#include <memory>

namespace {
Dialog* pages = nullptr;
QList<FlashDataMap>* shown = nullptr;

// Nothing left for MendImage to repair.
bool safe(const FlashDataMap& image, const ImageLimits& limits)
{
    FlashDataMap copy = image;
    return MendImage(copy, limits) == 0;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::SetUp(argc, argv);
    pages = fuzz::BuildPages();
    shown = new QList<FlashDataMap>;
    PostMsg* hub = PostMsg::GetInstance();
    for (auto signal : {&PostMsg::SigUpDataLightUIButton, &PostMsg::SigUpDataLightLight, &PostMsg::SigUpDataLightSensor})
        QObject::connect(hub, signal, pages, [](FlashDataMap image) { shown->append(image); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const int model = data[0] & 1;
    FlashDataMap image = (data[0] & 2) ? hidusb::ModelDefaultImage(model + 1) : FlashDataMap{};
    std::memcpy(&image, data + 1, qMin(size - 1, sizeof image));

    ConfigSettings* config = ConfigSettings::GetInstance();
    const ImageLimits limits = ModelImageLimits(model);
    const bool valid = ImageIsValid(image, limits);

    // The import.
    FlashDataMap imported{};
    const int result =
        UpDataParam::ParseParamFile(EncodeSettingsFile(config->ModelValue(model, QStringLiteral("Sensor")), image),
                                    config->ModelValue(model, QStringLiteral("Sensor")), limits, &imported);
    if ((result == UpDataParam::ImportAccepted) != valid)
        fuzz::Fail("the import and the image check disagree");
    if (valid && !fuzz::SameImage(imported, image))
        fuzz::Fail("the import changed an image it took");

    // The full read of the same image from the device.
    hidusb::Dump dump{};
    if (!hidusb::EncodeDump(image, dump))
        return 0;  // the device could not hold it: it never sends it
    fuzz::SelectUnreadDevice(model, 5);
    shown->clear();
    unsigned char header[5] = {0, HidReportFlash, 0, 0, HidFlashWhole};
    std::unique_ptr<unsigned char[]> body(new unsigned char[DeviceDumpSize]);
    std::memcpy(body.get(), dump.data(), DeviceDumpSize);
    Worker::OnProtocolData(header, 5, body.get(), static_cast<unsigned int>(DeviceDumpSize));
    fuzz::FlushPostedEvents();

    const FlashDataMap memory = SnapshotFlashData();
    if (!ImageBelongsToDevice.load() || shown->size() != 3)
        fuzz::Fail("a parsable dump was not shown");
    if (!safe(memory, limits))
        fuzz::Fail("the full read left something to mend in memory");
    for (const FlashDataMap& page : *shown) {
        if (!fuzz::SameImage(page, memory))
            fuzz::Fail("a page was shown another image than memory holds");
    }
    if (valid && !fuzz::SameImage(memory, image))
        fuzz::Fail("the full read changed an image the import takes");
    return 0;
}
