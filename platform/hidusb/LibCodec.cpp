// The image codec calls: dump -> image, image -> the linked device's flash,
// and the small report decoders.
#include "BenchFlash.h"
#include "HIDUsb.h"
#include "LibLink.h"
#include "LibState.h"

#include <cstring>

using namespace hidusb;

extern "C" {

bool ProtocolDataParser(const unsigned char* dump, FlashDataMap* image)
{
    if (!dump || !image)
        return false;
    return DecodeDump(dump, *image);
}

// Stores the image in the current profile of the linked device. The image is
// encoded (and so copied) first; an image the device cannot hold, an offline,
// unplugged or write-refusing device leave the flash as it was.
bool ProtocolDataUpdate(const FlashDataMap* image)
{
    if (!image)
        return false;
    FlashDataMap copy;
    std::memcpy(&copy, image, sizeof copy);
    auto link = OpenLink();
    bool ok = false;
    const char* why = "no link";
    if (link) {
        Dump dump;
        Bench bench = State::Get().Snapshot();
        const BenchDevice* d = Attached(bench, link->Path().c_str());
        const BenchDevice* m = d ? ConfigTarget(bench, *d) : nullptr;
        if (!EncodeDump(copy, dump))
            why = "image refused";
        else if (!d || !m || !Reachable(bench, *d))
            why = "device offline";
        else if (RefusesWrites(bench, *d))
            why = "write refused";
        else {
            const std::string& dir = State::Get().Dir();
            BenchLock lock(dir);
            FlashMemory flash = ReadFlash(dir, m->id, m->mid);
            flash.profiles[flash.current] = dump;
            ok = WriteFlash(dir, m->id, flash);
            why = ok ? "ok" : "flash write failed";
        }
    }
    State::Get().Trace(std::string("ProtocolDataUpdate ") + why);
    return ok;
}

// DPI light report: mode, brightness, speed, on, 4 reserved bytes.
void BufferToDPILed(const unsigned char* data, unsigned char* dpiLed)
{
    if (data && dpiLed)
        std::memcpy(dpiLed, data, 4);
}

// Light report: mode, r, g, b, speed, brightness, on, 2 reserved bytes.
void BufferToLedBar(const unsigned char* data, unsigned char* ledBar)
{
    if (data && ledBar)
        std::memcpy(ledBar, data, 7);
}

// Battery report: level in percent, charging flag.
void GetDeviceBatteryStatus(const unsigned char* data, unsigned char* status)
{
    if (!data || !status)
        return;
    status[0] = data[0] > 100 ? 100 : data[0];
    status[1] = data[1] ? 1 : 0;
}

// Status change report: one byte, bit i = flag [i].
void GetDeviceStatusChanged(const unsigned char* data, unsigned char* flags)
{
    if (!data || !flags)
        return;
    for (int i = 0; i < 7; ++i)
        flags[i] = (data[0] >> i) & 1;
}

}  // extern "C"
