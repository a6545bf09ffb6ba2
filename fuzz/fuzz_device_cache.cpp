// The per-device image cache file (Device_Info/Device_CID<c>_MID<m>.bin) as
// the program meets it: any bytes may lie there (an old version, a cut
// write, another program's file). The reader must fill a whole image or
// refuse, agree with the pure decoder, and the pages must take whatever
// image it gives, as they do when the device is offline.
#include "FuzzSupport.h"

#include "DeviceCache.h"
#include "DeviceRecords.h"
#include "Dialog.h"
#include "Globals.h"
#include "PostMsg.h"


#include <cstring>

namespace {
Dialog* pages = nullptr;
QString cacheName;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::SetUp(argc, argv);
    pages = fuzz::BuildPages();
    CurrentDeviceInfo = fuzz::ModelDevice(0, 5);
    cacheName = DeviceFileName(CurrentDeviceInfo.cid, CurrentDeviceInfo.mid);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray content = fuzz::Bytes(data, size);
    fuzz::WriteFile(DeviceInfoFilePath(cacheName), content);

    FlashDataMap fromFile;
    const bool read = ReadDeviceInfoFile(cacheName, fromFile);
    FlashDataMap decoded;
    const bool ok = DecodeDeviceInfo(content, decoded);
    if (read != ok)
        fuzz::Fail("file reader and decoder disagree on success");
    if (std::memcmp(&fromFile, &decoded, sizeof decoded) != 0)
        fuzz::Fail("file reader and decoder disagree on the image");
    if (!ok) {
        static const FlashDataMap zero{};
        if (std::memcmp(&fromFile, &zero, sizeof zero) != 0)
            fuzz::Fail("a refused file left bytes in the image");
        return 0;
    }

    // What is read is what is written back, byte for byte.
    FlashDataMap again;
    if (!DecodeDeviceInfo(EncodeDeviceInfo(fromFile), again) || std::memcmp(&again, &fromFile, sizeof again) != 0)
        fuzz::Fail("encode/decode round trip");

    // The offline fill of the device link.
    PostMsg* hub = PostMsg::GetInstance();
    hub->PostUpDataLightUIButton(fromFile);
    hub->PostUpDataLightLight(fromFile);
    hub->PostUpDataLightSensor(fromFile);
    hub->PostForm();
    fuzz::FlushPostedEvents();
    return 0;
}
