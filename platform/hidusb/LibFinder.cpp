// Discovery and receiver calls. They answer from the in-memory bench
// snapshot (LibState.h); only the receiver setters write the bench.
#include "HIDUsb.h"
#include "LibLink.h"
#include "LibState.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace hidusb;

namespace {

// Vid/pid texts are hexadecimal: "7a51", "7A51" and "0x7A51" name one id.
bool SameId(const std::string& a, const char* b)
{
    auto parse = [](const char* s, long& v) {
        if (s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
            s += 2;
        if (!*s)
            return false;
        char* end = nullptr;
        v = std::strtol(s, &end, 16);
        return end && !*end;
    };
    long x, y;
    if (parse(a.c_str(), x) && parse(b, y))
        return x == y;
    if (a.size() != std::strlen(b))
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

char** FindPaths(const char* vid, const char* pid, int* count)
{
    // The caller may keep the array until its next find call on this thread.
    thread_local std::vector<std::string> paths;
    thread_local std::vector<char*> pointers;
    paths.clear();
    pointers.clear();
    if (vid && pid) {
        State::Get().With([&](const Bench& bench) {
            for (const auto& d : bench.devices)
                if (d.plugged && !d.boot && SameId(d.vid, vid) && SameId(d.pid, pid))
                    paths.push_back(d.path);
            return 0;
        });
    }
    for (auto& p : paths)
        pointers.push_back(&p[0]);
    pointers.push_back(nullptr);
    if (count)
        *count = static_cast<int>(paths.size());
    return pointers.data();
}

const BenchDevice* AttachedReceiver(const Bench& bench, const char* path)
{
    const BenchDevice* d = Attached(bench, path);
    return d && d->IsReceiver() ? d : nullptr;
}

}  // namespace

extern "C" {

// The count's input value (5) is not a limit: every match is returned.
char** UsbFinderC_FindHidDevicesByDefaultDeviceId(const char* vid, const char* pid, int* count)
{
    return FindPaths(vid, pid, count);
}

// A simulated device has one HID interface that answers any interface and
// device number.
char** UsbFinderC_FindHidDevicesByDeviceId(const char* vid, const char* pid, int, int, int* count)
{
    return FindPaths(vid, pid, count);
}

bool UsbFinderC_GetUsbDeviceAttribute(const char* path, unsigned char* attribute)
{
    if (!attribute)
        return false;
    return State::Get().With([&](const Bench& bench) {
        const BenchDevice* d = Attached(bench, path);
        if (!d)
            return false;
        long vid = std::strtol(d->vid.c_str(), nullptr, 16);
        long pid = std::strtol(d->pid.c_str(), nullptr, 16);
        std::memset(attribute, 0, 12);
        attribute[0] = static_cast<unsigned char>(vid);
        attribute[1] = static_cast<unsigned char>(vid >> 8);
        attribute[2] = static_cast<unsigned char>(pid);
        attribute[3] = static_cast<unsigned char>(pid >> 8);
        attribute[8] = static_cast<unsigned char>(d->usbVersion);
        attribute[9] = static_cast<unsigned char>(d->usbVersion >> 8);
        return true;
    });
}

DeviceIdentity UsbFinderC_GetDeviceInfo(const char* path)
{
    Bench bench = State::Get().Snapshot();
    const BenchDevice* d = Attached(bench, path);
    if (!d)
        return DeviceIdentity{0, 0, 0};
    DeviceIdentity id{static_cast<unsigned char>(d->cid), static_cast<unsigned char>(d->mid),
                      static_cast<unsigned char>(d->kind)};
    if (State::Get().SilentQuery(*d)) {
        id.cid = 0;
        id.mid = 0;
    }
    return id;
}

unsigned char UsbFinderC_GetDeviceOnLine(const char* path)
{
    return State::Get().With([&](const Bench& bench) {
        const BenchDevice* d = Attached(bench, path);
        return static_cast<unsigned char>(d && Reachable(bench, *d) ? 1 : 0);
    });
}

unsigned char UsbFinderC_GetDeviceOnLineWithUsbAddress(const char* path, unsigned char* buffer)
{
    return State::Get().With([&](const Bench& bench) {
        const BenchDevice* d = Attached(bench, path);
        bool online = d && Reachable(bench, *d);
        if (buffer) {
            std::memset(buffer, 0, 10);
            if (d) {
                buffer[6] = online ? 1 : 0;
                buffer[7] = d->address[0];
                buffer[8] = d->address[1];
                buffer[9] = d->address[2];
            }
        }
        return static_cast<unsigned char>(online ? 1 : 0);
    });
}

// The mouse's firmware version; through a receiver that of its mouse.
int UsbFinderC_GetVersion(const char* path)
{
    return State::Get().With([&](const Bench& bench) {
        const BenchDevice* d = Attached(bench, path);
        if (!d || !Reachable(bench, *d))
            return 0;
        const BenchDevice* m = ConfigTarget(bench, *d);
        return m ? m->firmware : 0;
    });
}

// The receiver's own firmware version.
bool UsbFinderC_GetSlaveVersion(const char* path, int* version)
{
    if (!version)
        return false;
    return State::Get().With([&](const Bench& bench) {
        const BenchDevice* d = AttachedReceiver(bench, path);
        if (!d)
            return false;
        *version = d->firmware;
        return true;
    });
}

const char* UsbFinderC_GetBenchProblem(void)
{
    thread_local std::string copy;
    copy = State::Get().Problem();
    return copy.c_str();
}

bool UsbFinderC_Set4KDongleRGB(const char* path, DongleRGB* rgb)
{
    if (!rgb || !path)
        return false;
    std::string p = path;
    DongleRGB block = *rgb;
    std::string id;
    bool ok = State::Get().Modify([&](Bench& bench) {
        const BenchDevice* d = AttachedReceiver(bench, p.c_str());
        if (!d || d->refuseWrites)
            return false;
        BenchDevice* w = bench.Find(d->id);
        std::memcpy(w->dongleLight.data(), block.data, 10);
        id = w->id;
        return true;
    });
    State::Get().Trace(std::string("UsbFinderC_Set4KDongleRGB ") + p + (ok ? " ok" : " refused"));
    if (ok)
        SendToLinkOf(p, Request{Request::DongleLight, 0});
    return ok;
}

bool UsbFinderC_Get4KDongleRGBValue(const char* path, DongleRGB* rgb)
{
    if (!rgb)
        return false;
    return State::Get().With([&](const Bench& bench) {
        const BenchDevice* d = AttachedReceiver(bench, path);
        if (!d)
            return false;
        std::memcpy(rgb->data, d->dongleLight.data(), 10);
        return true;
    });
}

bool UsbFinderC_SetLongRangeMode(const char* path, unsigned char mode)
{
    if (!path || mode > 1)
        return false;
    std::string p = path;
    bool ok = State::Get().Modify([&](Bench& bench) {
        const BenchDevice* d = AttachedReceiver(bench, p.c_str());
        if (!d || d->refuseWrites)
            return false;
        bench.Find(d->id)->longRange = mode;
        return true;
    });
    State::Get().Trace("UsbFinderC_SetLongRangeMode " + p + " " + std::to_string(mode) + (ok ? " ok" : " refused"));
    if (ok)
        SendToLinkOf(p, Request{Request::LongRange, mode});
    return ok;
}

bool UsbFinderC_GetLongRangeMode(const char* path, unsigned char* reply)
{
    if (!reply)
        return false;
    return State::Get().With([&](const Bench& bench) {
        const BenchDevice* d = AttachedReceiver(bench, path);
        if (!d)
            return false;
        reply[0] = d->longRange ? 1 : 0;
        return true;
    });
}

// record: receiver address bytes 9, 8, 7 of the online reply, 0, kind code.
// The mouse takes the address and pairs with the attached receiver that has it.
bool UsbFinderC_SetDongleIDToMouse(const char* path, unsigned char* record)
{
    if (!path || !record)
        return false;
    std::string p = path;
    std::array<uint8_t, 3> address{{record[2], record[1], record[0]}};
    bool ok = State::Get().Modify([&](Bench& bench) {
        const BenchDevice* d = Attached(bench, p.c_str());
        if (!d || d->IsReceiver() || !d->online || d->refuseWrites)
            return false;
        std::string mouse = d->id;
        bench.Find(mouse)->address = address;
        for (auto& r : bench.devices)
            if (r.IsReceiver() && r.address == address)
                r.paired = mouse;
        return true;
    });
    State::Get().Trace("UsbFinderC_SetDongleIDToMouse " + p + (ok ? " ok" : " refused"));
    return ok;
}

}  // extern "C"
