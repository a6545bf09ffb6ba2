// Firmware upgrade. UsbUpgrade_Start checks the image header, picks the one
// device the image is for (a device waiting in boot mode first, else the one
// attached device in normal mode: a receiver, or a mouse on its cable), keeps
// its own copy of the image and writes it on a detached thread of its own:
// the device enters boot mode (it leaves the normal device list), progress
// {7,1,p} every 5 %, then {7,2,1} with the new firmware version stored, or
// {7,2,0} with the device left in boot mode. An image that cannot start also
// ends with {7,2,0} (from a library thread), so a caller never waits for an
// end that does not come. The timeout argument is not used: the simulated
// write never stalls.
#include "BenchFirmware.h"
#include "HIDUsb.h"
#include "LibState.h"

#include <array>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace hidusb;

namespace {

struct Upgrader {
    std::mutex m;
    bool running = false;
    std::array<std::string, 8> logs;
};

Upgrader& TheUpgrader()
{
    static Upgrader* u = new Upgrader();  // never destroyed: the thread may outlive main()
    return *u;
}

bool Takes(const BenchDevice& d, const FirmwareInfo& fw)
{
    bool typeOk = fw.type == FirmwareTypeReceiver ? d.IsReceiver() : !d.IsReceiver();
    return typeOk && (d.cid & 0xFF) == fw.id && d.mid == fw.mid && d.firmwareName == fw.name && d.plugged;
}

int CountBootDevices(const Bench& bench, const FirmwareInfo& fw)
{
    int n = 0;
    for (const auto& d : bench.devices)
        n += d.boot && Takes(d, fw);
    return n;
}

void SetLogs(const std::array<std::string, 8>& lines)
{
    Upgrader& u = TheUpgrader();
    std::lock_guard<std::mutex> lock(u.m);
    u.logs = lines;
}

void Event(UpgradeCallback cb, unsigned char kind, unsigned char value)
{
    unsigned char event[3] = {7, kind, value};
    if (cb)
        cb(event);
}

void Refuse(UpgradeCallback cb, const std::string& why, const std::string& image)
{
    SetLogs({"upgrade not started", "reason: " + why, "image: " + image, "device: none", "old version: -",
             "new version: -", "progress: 0%", "result: failed"});
    State::Get().Trace("UsbUpgrade_Start refused: " + why);
    try {
        std::thread([cb] { Event(cb, 2, 0); }).detach();
    } catch (...) {
    }
}

void Write(std::vector<uint8_t> image, FirmwareInfo fw, std::string id, UpgradeCallback cb)
{
    State& state = State::Get();
    int oldVersion = 0;
    int step = 60;
    int failAt = -1;
    state.Modify([&](Bench& b) {
        BenchDevice* d = b.Find(id);
        if (!d)
            return false;
        oldVersion = d->firmware;
        failAt = d->upgradeFail;
        step = b.upgradeStepMs;
        d->boot = true;
        return true;
    });
    std::string name = fw.name + " " + VersionText(static_cast<int>(fw.version));
    int reached = 0;
    bool failed = false;
    for (int p = 0; p <= 100; p += 5) {
        if (failAt >= 0 && p >= failAt) {
            failed = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(step));
        reached = p;
        Event(cb, 1, static_cast<unsigned char>(p));
    }
    bool stored = false;
    if (!failed) {
        stored = state.Modify([&](Bench& b) {
            BenchDevice* d = b.Find(id);
            if (!d)
                return false;
            d->boot = false;
            d->firmware = static_cast<int>(fw.version);
            d->usbVersion = static_cast<int>(fw.version);
            return true;
        });
    }
    bool ok = !failed && stored;
    std::string result = ok       ? "result: success"
                         : failed ? "result: failed: write error at " + std::to_string(failAt) + "%"
                                  : "result: failed: the device was removed";
    SetLogs({"upgrade of " + id + " with " + name,
             "image for device type " + std::to_string(fw.type) + ", id " + std::to_string(fw.id) + ", mid " +
                 std::to_string(fw.mid),
             "image: " + std::to_string(fw.length) + " bytes, checksum ok",
             "old version: " + VersionText(oldVersion),
             "new version: " + VersionText(static_cast<int>(fw.version)),
             "progress: " + std::to_string(ok ? 100 : reached) + "%", result,
             ok ? "boot mode: left" : "boot mode: the device waits for a new image"});
    state.Trace(std::string("upgrade of ") + id + (ok ? " succeeded" : " failed"));
    {
        Upgrader& u = TheUpgrader();
        std::lock_guard<std::mutex> lock(u.m);
        u.running = false;  // before the end event: its callback may start the next stage
    }
    Event(cb, 2, ok ? 1 : 0);
}

}  // namespace

extern "C" {

bool UsbUpgradeC_FindBootDevices(const unsigned char* image, int* count)
{
    if (!count)
        return false;
    FirmwareInfo fw;
    if (!ParseFirmware(image, fw)) {
        *count = 0;
        return false;
    }
    *count = State::Get().With([&](const Bench& bench) { return CountBootDevices(bench, fw); });
    return *count > 0;
}

bool UsbUpgrade_Start(const unsigned char* image, UpgradeCallback callback, int)
{
    FirmwareInfo fw;
    std::string why;
    if (!ParseFirmware(image, fw, &why)) {
        Refuse(callback, why, "-");
        return false;
    }
    std::string imageText = fw.name + " " + VersionText(static_cast<int>(fw.version));
    Bench bench = State::Get().Snapshot();
    std::vector<const BenchDevice*> boot, normal;
    for (const auto& d : bench.devices) {
        if (!Takes(d, fw))
            continue;
        if (d.boot)
            boot.push_back(&d);
        else if (d.online)
            normal.push_back(&d);
    }
    const std::vector<const BenchDevice*>& pick = boot.empty() ? normal : boot;
    if (pick.size() != 1) {
        Refuse(callback, pick.empty() ? "no device takes this image" : "more than one device takes this image",
               imageText);
        return false;
    }
    std::string id = pick.front()->id;
    {
        Upgrader& u = TheUpgrader();
        std::lock_guard<std::mutex> lock(u.m);
        if (u.running) {
            State::Get().Trace("UsbUpgrade_Start refused: an upgrade runs");
            return false;  // the running upgrade keeps its events
        }
        u.running = true;
    }
    State::Get().Trace("UsbUpgrade_Start " + id + " " + imageText);
    std::vector<uint8_t> copy(image, image + fw.length);
    try {
        std::thread(Write, std::move(copy), fw, id, callback).detach();
    } catch (...) {
        std::lock_guard<std::mutex> lock(TheUpgrader().m);
        TheUpgrader().running = false;
        return false;
    }
    return true;
}

char** UsbUpgradeC_GetLogs(void)
{
    thread_local std::array<std::string, 8> copy;
    thread_local char* pointers[8];
    {
        Upgrader& u = TheUpgrader();
        std::lock_guard<std::mutex> lock(u.m);
        copy = u.logs;
    }
    for (int i = 0; i < 8; ++i)
        pointers[i] = &copy[i][0];
    return pointers;
}

}  // extern "C"
