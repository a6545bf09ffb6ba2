// The USB change notice. One watcher thread looks at bench.ini whenever it
// changed and calls the callback when the set of attached devices (path,
// ids, boot mode) differs from what it last reported; between changes it
// sleeps (LibChanges.h). Without a live change notice it looks every
// interval ms instead: the interval is the most a change may wait to be
// seen. The callback is also called once soon after every StartUsbChanged:
// to a new callback the present devices are news (the device list is built
// from that first call).
//
// The thread is detached: StopUsbChanged and a replacing StartUsbChanged
// only bump the generation and return; a watcher that is inside a callback
// ends after it returns. A callback that had already begun when
// StopUsbChanged was called may still be running when it returns.
#include "HIDUsb.h"
#include "LibChanges.h"
#include "LibState.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace hidusb;

namespace {

struct Watcher {
    std::mutex m;
    std::condition_variable cv;
    UsbChangedCallback callback = nullptr;
    int interval = 600;
    unsigned long generation = 0;
    bool running = false;
    bool notifyNow = false;
};

Watcher& TheWatcher()
{
    static Watcher* w = new Watcher();  // never destroyed: the thread may outlive main()
    return *w;
}

std::vector<std::string> AttachedSet()
{
    return State::Get().With([](const Bench& bench) {
        std::vector<std::string> set;
        for (const auto& d : bench.devices)
            if (d.plugged && !d.boot)
                set.push_back(d.path + "|" + d.vid + "|" + d.pid);
        return set;
    });
}

void WatchLoop(unsigned long generation)
{
    Watcher& w = TheWatcher();
    BenchChanges& changes = BenchChanges::Get();
    BenchSubscription subscription(BenchFile::Devices, [] {
        Watcher& w = TheWatcher();
        { std::lock_guard<std::mutex> lock(w.m); }
        w.cv.notify_all();
    });
    unsigned long seen = changes.Count(BenchFile::Devices);
    std::vector<std::string> reported;
    for (;;) {
        UsbChangedCallback cb;
        bool force;
        const bool live = changes.Live();  // never under w.m: it may call the wake function
        {
            std::unique_lock<std::mutex> lock(w.m);
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(w.interval);
            for (;;) {
                if (w.generation != generation)
                    return;
                if (w.notifyNow)
                    break;
                const unsigned long count = changes.Count(BenchFile::Devices);
                if (count != seen) {
                    seen = count;
                    break;
                }
                if (live)
                    w.cv.wait(lock);
                else if (w.cv.wait_until(lock, deadline) == std::cv_status::timeout)
                    break;
            }
            force = w.notifyNow;
            w.notifyNow = false;
            cb = w.callback;
        }
        std::vector<std::string> now = AttachedSet();
        if (!force && now == reported)
            continue;
        reported = now;
        {
            std::lock_guard<std::mutex> lock(w.m);
            if (w.generation != generation)
                return;
        }
        if (cb)
            cb();
    }
}

}  // namespace

extern "C" {

void StartUsbChanged(UsbChangedCallback callback, int interval)
{
    State::Get().Trace("StartUsbChanged " + std::to_string(interval));
    Watcher& w = TheWatcher();
    std::lock_guard<std::mutex> lock(w.m);
    w.callback = callback;
    w.interval = interval < 10 ? 10 : interval > 60000 ? 60000 : interval;
    w.notifyNow = true;
    if (w.running) {
        w.cv.notify_all();
        return;
    }
    unsigned long generation = ++w.generation;
    try {
        std::thread(WatchLoop, generation).detach();
        w.running = true;
    } catch (...) {
        w.callback = nullptr;
    }
}

void StopUsbChanged(void)
{
    State::Get().Trace("StopUsbChanged");
    Watcher& w = TheWatcher();
    {
        std::lock_guard<std::mutex> lock(w.m);
        w.callback = nullptr;
        w.notifyNow = false;
        if (w.running) {
            w.running = false;
            ++w.generation;
        }
    }
    w.cv.notify_all();
}

}  // extern "C"
