#include "LibLink.h"

#include "BenchEvents.h"
#include "BenchFlash.h"
#include "LibChanges.h"
#include "LibState.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

namespace hidusb {

namespace {

// How often the event log is looked at when changes are not seen as they
// happen (no inotify).
constexpr auto EventPollInterval = std::chrono::milliseconds(50);

struct Hub {
    std::mutex m;
    std::shared_ptr<Link> current;
    std::atomic<int> pcDriverStatus{0};
};

Hub& TheHub()
{
    static Hub* hub = new Hub();  // never destroyed: detached link threads may outlive main()
    return *hub;
}

std::shared_ptr<Link> CurrentLink()
{
    Hub& hub = TheHub();
    std::lock_guard<std::mutex> lock(hub.m);
    return hub.current;
}

// The mouse a pairing receiver takes: the one it had, else the first mouse
// of its customer id that no receiver has (a wireless one first).
BenchDevice* PairCandidate(Bench& bench, const BenchDevice& receiver)
{
    if (!receiver.paired.empty()) {
        BenchDevice* m = bench.Find(receiver.paired);
        if (m && !m->IsReceiver())
            return m;
    }
    auto taken = [&](const BenchDevice& m) {
        for (const auto& r : bench.devices)
            if (r.IsReceiver() && r.paired == m.id)
                return true;
        return false;
    };
    BenchDevice* best = nullptr;
    for (auto& m : bench.devices) {
        if (m.IsReceiver() || m.cid != receiver.cid || taken(m))
            continue;
        if (!m.plugged)
            return &m;
        if (!best)
            best = &m;
    }
    return best;
}

std::vector<uint8_t> ImageBytes(const FlashDataMap& img, size_t from, size_t count, size_t total)
{
    std::vector<uint8_t> data(total, 0);
    std::memcpy(data.data(), FlashBytes(img) + from, count);
    return data;
}

}  // namespace

void Link::Push(const Request& r)
{
    {
        std::lock_guard<std::mutex> lock(m_);
        if (closed_)
            return;
        queue_.push_back(r);
    }
    cv_.notify_all();
}

void Link::PushAt(std::chrono::steady_clock::time_point when, const Request& r)
{
    {
        std::lock_guard<std::mutex> lock(m_);
        if (closed_)
            return;
        timed_.emplace(when, r);
    }
    cv_.notify_all();
}

void Link::Close()
{
    {
        std::lock_guard<std::mutex> lock(m_);
        closed_ = true;
        queue_.clear();
        timed_.clear();
    }
    cv_.notify_all();
}

bool Link::Closed()
{
    std::lock_guard<std::mutex> lock(m_);
    return closed_;
}

int Link::StartPairing(int cid)
{
    std::lock_guard<std::mutex> lock(m_);
    pairState_ = 1;
    pairCid_ = cid;
    return ++pairGeneration_;
}

void Link::FailPairing()
{
    std::lock_guard<std::mutex> lock(m_);
    pairState_ = 2;
    ++pairGeneration_;
}

int Link::PairState()
{
    std::lock_guard<std::mutex> lock(m_);
    return pairState_;
}

void Link::Run(EventReader events)
{
    // Device-side events: looked for when the log changed, or, without a
    // live change notice, every EventPollInterval.
    BenchChanges& changes = BenchChanges::Get();
    BenchSubscription subscription(BenchFile::Events, [this] {
        { std::lock_guard<std::mutex> lock(m_); }
        cv_.notify_all();
    });
    unsigned long seen = changes.Count(BenchFile::Events);
    // What was logged between the link's opening and the subscription.
    PollEvents(events);
    auto nextPoll = std::chrono::steady_clock::now() + EventPollInterval;
    for (;;) {
        const bool live = changes.Live();  // never under m_: it may call the wake function
        Request r{Request::AllFlash, 0};
        bool have = false;
        {
            std::unique_lock<std::mutex> lock(m_);
            for (;;) {
                if (closed_)
                    return;
                if (!queue_.empty()) {
                    r = queue_.front();
                    queue_.pop_front();
                    have = true;
                    break;
                }
                auto now = std::chrono::steady_clock::now();
                if (!timed_.empty() && timed_.begin()->first <= now) {
                    r = timed_.begin()->second;
                    timed_.erase(timed_.begin());
                    have = true;
                    break;
                }
                const unsigned long count = changes.Count(BenchFile::Events);
                if (count != seen) {
                    seen = count;
                    break;
                }
                if (!live && now >= nextPoll)
                    break;
                auto until = std::chrono::steady_clock::time_point::max();
                if (!timed_.empty())
                    until = timed_.begin()->first;
                if (!live)
                    until = std::min(until, nextPoll);
                if (until == std::chrono::steady_clock::time_point::max())
                    cv_.wait(lock);
                else
                    cv_.wait_until(lock, until);
            }
        }
        if (!have) {
            nextPoll = std::chrono::steady_clock::now() + EventPollInterval;
            PollEvents(events);
            continue;
        }
        for (const Report& report : Answer(r)) {
            if (Closed())
                return;
            Deliver(report);
        }
    }
}

void Link::PollEvents(EventReader& events)
{
    std::vector<BenchEvent> list = events.Poll();
    if (list.empty())
        return;
    Bench bench = State::Get().Snapshot();
    const BenchDevice* d = bench.FindPath(path_);
    if (!d)
        return;
    for (const auto& e : list) {
        bool own = e.device == d->id;
        bool mouse = own || (d->IsReceiver() && !d->paired.empty() && e.device == d->paired);
        if (e.name == "status" && mouse)
            Push(Request{Request::Status, e.arg});
        else if (e.name == "defaults" && mouse)
            Push(Request{Request::Defaults, 0});
        else if (e.name == "dongle-light" && own)
            Push(Request{Request::DongleLight, 0});
        else if (e.name == "long-range" && own)
            Push(Request{Request::LongRange, e.arg});
    }
}

std::vector<Report> Link::Answer(const Request& r)
{
    Bench bench = State::Get().Snapshot();
    const BenchDevice* d = Attached(bench, path_.c_str());
    if (!d)
        return {};  // nothing on the other end answers
    switch (r.kind) {
    case Request::DongleLight:
        if (!d->IsReceiver())
            return {};
        return {Report{HidReportDongleRGB, 0, 0, std::vector<uint8_t>(d->dongleLight.begin(), d->dongleLight.end())}};
    case Request::LongRange:
        if (!d->IsReceiver())
            return {};
        // Leaving long range the receiver reports its 10-byte normal radio
        // block; entering it, the one-byte mode.
        return {Report{HidReportLongRange, 0, 0, r.arg ? std::vector<uint8_t>{1} : std::vector<uint8_t>(10, 0)}};
    case Request::PairStatus:
        if (!d->IsReceiver() && PairState() != 2)
            return {};
        return {Report{HidReportPairStatus, 0, 0, {static_cast<uint8_t>(PairState())}}};
    case Request::PairFinish:
        return FinishPairing(r.arg);
    default:
        break;
    }
    if (!Reachable(bench, *d))
        return {};
    const BenchDevice* m = ConfigTarget(bench, *d);
    if (!m)
        return {};
    switch (r.kind) {
    case Request::Battery:
        return {Report{HidReportBattery, 0, 0, {static_cast<uint8_t>(std::clamp(m->battery, 0, 100)), m->charging ? uint8_t(1) : uint8_t(0)}}};
    case Request::Version:
        return {Report{HidReportVersion, 0, 0, {static_cast<uint8_t>(m->firmware), static_cast<uint8_t>(m->firmware >> 8)}}};
    case Request::Status:
        return {Report{HidReportStatusChanged, 0, 0, {static_cast<uint8_t>(r.arg & 0x7F)}}};
    case Request::Defaults:
        return {Report{HidReportModelDefaults, 0, 0, {1}}};
    default:
        break;
    }
    FlashMemory flash = ReadFlash(State::Get().Dir(), m->id, m->mid);
    if (r.kind == Request::AllFlash) {
        const Dump& dump = flash.profiles[flash.current];
        return {Report{HidReportFlash, 0, HidFlashWhole, std::vector<uint8_t>(dump.begin(), dump.end())}};
    }
    if (r.kind == Request::Config)
        return {Report{HidReportConfig, 0, 0, {static_cast<uint8_t>(flash.current)}}};
    FlashDataMap img = CurrentImage(flash);
    switch (r.kind) {
    case Request::ReportRate: return {Report{HidReportFlash, 0, HidFlashWhole, {img.reportRate}}};
    case Request::CurrentDpi: return {Report{HidReportFlash, 0, HidFlashDpiStage, {img.dpiStage}}};
    case Request::DpiLed: return {Report{HidReportFlash, 0, HidFlashDpiLed, ImageBytes(img, offsetof(FlashDataMap, dpiLightMode), 4, 8)}};
    case Request::LedBar: return {Report{HidReportFlash, 0, HidFlashLedBar, ImageBytes(img, offsetof(FlashDataMap, lightMode), 7, 9)}};
    default: return {};
    }
}

std::vector<Report> Link::FinishPairing(int generation)
{
    int cid;
    {
        std::lock_guard<std::mutex> lock(m_);
        if (generation != pairGeneration_ || pairState_ != 1)
            return {};
        cid = pairCid_;
    }
    Bench bench = State::Get().Snapshot();
    const BenchDevice* d = Attached(bench, path_.c_str());
    if (!d || !d->IsReceiver())
        return {};  // the receiver is gone: it reports nothing any more
    bool ok = false;
    if (!d->pairFail && cid == (d->cid & 0xFF)) {
        std::string rid = d->id;
        ok = State::Get().Modify([&](Bench& b) {
            BenchDevice* rx = b.Find(rid);
            if (!rx)
                return false;
            BenchDevice* mouse = PairCandidate(b, *rx);
            if (!mouse)
                return false;
            for (auto& other : b.devices)
                if (other.IsReceiver() && other.id != rid && other.paired == mouse->id)
                    other.paired.clear();
            rx->paired = mouse->id;
            mouse->address = rx->address;
            mouse->online = true;
            return true;
        });
    }
    {
        std::lock_guard<std::mutex> lock(m_);
        if (generation != pairGeneration_)
            return {};
        pairState_ = ok ? 3 : 2;
    }
    State::Get().Trace(std::string("pairing ") + (ok ? "succeeded" : "failed"));
    return {Report{HidReportPairStatus, 0, 0, {static_cast<uint8_t>(ok ? 3 : 2)}}};
}

void Link::Deliver(const Report& report)
{
    if (!callback_ || report.data.empty())
        return;
    unsigned char header[HidReportHeaderSize] = {HidReportMagic,
                                                 report.type,
                                                 0,
                                                 report.subA,
                                                 report.subB,
                                                 static_cast<unsigned char>(report.data.size()),
                                                 static_cast<unsigned char>(report.data.size() >> 8),
                                                 0};
    // The callback gets its own copy: it may keep writing into the buffers.
    std::vector<unsigned char> data(report.data.begin(), report.data.end());
    callback_(header, static_cast<int>(sizeof header), data.data(), static_cast<unsigned int>(data.size()));
}

void SendToLinkOf(const std::string& path, const Request& r)
{
    auto link = CurrentLink();
    if (link && link->Path() == path)
        link->Push(r);
}

std::shared_ptr<Link> OpenLink() { return CurrentLink(); }

}  // namespace hidusb

using namespace hidusb;

namespace {

bool Enqueue(Request::Kind kind, const char* name)
{
    State::Get().Trace(name);
    auto link = CurrentLink();
    if (!link)
        return false;
    link->Push(Request{kind, 0});
    return true;
}

// Runs fn(link, bench, device, mouse) for the open link's reachable device
// that accepts writes; false otherwise.
template <class Fn>
bool WithWritableDevice(Fn fn)
{
    auto link = CurrentLink();
    if (!link)
        return false;
    Bench bench = State::Get().Snapshot();
    const BenchDevice* d = Attached(bench, link->Path().c_str());
    if (!d || !Reachable(bench, *d) || RefusesWrites(bench, *d))
        return false;
    const BenchDevice* m = ConfigTarget(bench, *d);
    if (!m)
        return false;
    return fn(*link, *m);
}

}  // namespace

extern "C" {

bool UsbServerC_Start(const char* path, const char*, ProtocolDataCallback callback)
{
    std::string p = path ? path : "";
    bool known = State::Get().With([&](const Bench& bench) { return Attached(bench, p.c_str()) != nullptr; });
    State::Get().Trace("UsbServerC_Start " + p);
    auto link = std::make_shared<Link>(p, callback);
    EventReader events;
    events.Start(State::Get().Dir());
    std::shared_ptr<Link> old;
    {
        Hub& hub = TheHub();
        std::lock_guard<std::mutex> lock(hub.m);
        old = hub.current;
        hub.current = link;
    }
    if (old)
        old->Close();
    try {
        std::thread([link, events]() mutable { link->Run(std::move(events)); }).detach();
    } catch (...) {
        Hub& hub = TheHub();
        std::lock_guard<std::mutex> lock(hub.m);
        if (hub.current == link)
            hub.current.reset();
        return false;
    }
    return known;
}

bool UsbServer_SetPCDriverStatus(int status)
{
    TheHub().pcDriverStatus = status;
    State::Get().Trace("UsbServer_SetPCDriverStatus " + std::to_string(status));
    return CurrentLink() != nullptr;
}

bool UsbServer_ReadAllFlashData(void) { return Enqueue(Request::AllFlash, "UsbServer_ReadAllFlashData"); }
bool UsbServer_ReadCurrentDPI(void) { return Enqueue(Request::CurrentDpi, "UsbServer_ReadCurrentDPI"); }
bool UsbServer_ReadReportRate(void) { return Enqueue(Request::ReportRate, "UsbServer_ReadReportRate"); }
bool UsbServer_ReadLedBar(void) { return Enqueue(Request::LedBar, "UsbServer_ReadLedBar"); }
bool UsbServer_ReadDPILed(void) { return Enqueue(Request::DpiLed, "UsbServer_ReadDPILed"); }
bool UsbServer_ReadBatteryLevel(void) { return Enqueue(Request::Battery, "UsbServer_ReadBatteryLevel"); }
bool UsbServer_ReadVersion(void) { return Enqueue(Request::Version, "UsbServer_ReadVersion"); }
bool UsbServer_ReadConfig(void) { return Enqueue(Request::Config, "UsbServer_ReadConfig"); }
bool UsbServer_ReadDonglePairStatus(void) { return Enqueue(Request::PairStatus, "UsbServer_ReadDonglePairStatus"); }

// Switches the profile; the device then asks for a full re-read.
bool UsbServer_SetCurrentConfig(int profile)
{
    State::Get().Trace("UsbServer_SetCurrentConfig " + std::to_string(profile));
    if (profile < 0 || profile >= ProfileCount)
        return false;
    return WithWritableDevice([&](Link& link, const BenchDevice& mouse) {
        const std::string& dir = State::Get().Dir();
        {
            BenchLock lock(dir);
            FlashMemory flash = ReadFlash(dir, mouse.id, mouse.mid);
            flash.current = profile;
            if (!WriteFlash(dir, mouse.id, flash))
                return false;
        }
        link.Push(Request{Request::Status, 1 << 2});
        return true;
    });
}

// Factory reset: every profile back to the model defaults, profile 1
// current, then the model-defaults report.
bool UsbServer_SetClearSetting(void)
{
    State::Get().Trace("UsbServer_SetClearSetting");
    return WithWritableDevice([&](Link& link, const BenchDevice& mouse) {
        const std::string& dir = State::Get().Dir();
        {
            BenchLock lock(dir);
            if (!WriteFlash(dir, mouse.id, DefaultFlash(mouse.mid)))
                return false;
        }
        link.Push(Request{Request::Defaults, 0});
        return true;
    });
}

bool UsbServer_EnterDonglePairOnlyCid(unsigned char cid)
{
    State::Get().Trace("UsbServer_EnterDonglePairOnlyCid " + std::to_string(cid));
    auto link = CurrentLink();
    if (!link)
        return false;
    Bench bench = State::Get().Snapshot();
    const BenchDevice* d = Attached(bench, link->Path().c_str());
    if (!d || !d->IsReceiver()) {
        // Only a receiver pairs: the attempt ends at once as failed.
        link->FailPairing();
        link->Push(Request{Request::PairStatus, 0});
        return false;
    }
    int generation = link->StartPairing(cid);
    link->Push(Request{Request::PairStatus, 0});
    link->PushAt(std::chrono::steady_clock::now() + std::chrono::milliseconds(bench.pairDelayMs),
                 Request{Request::PairFinish, generation});
    return true;
}

void UsbServer_Exit(void)
{
    State::Get().Trace("UsbServer_Exit");
    std::shared_ptr<Link> old;
    {
        Hub& hub = TheHub();
        std::lock_guard<std::mutex> lock(hub.m);
        old.swap(hub.current);
    }
    if (old)
        old->Close();  // never waits: its thread may be inside a callback
}

}  // extern "C"
