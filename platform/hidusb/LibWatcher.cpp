// The USB change notice. One watcher thread looks at bench.ini every
// interval ms and calls the callback when the set of attached devices
// (path, ids, boot mode) differs from what it last reported. The callback is
// also called once soon after every StartUsbChanged: to a new callback the
// present devices are news (the device list is built from that first call).
//
// The thread is detached: StopUsbChanged and a replacing StartUsbChanged
// only bump the generation and return; a watcher that is inside a callback
// ends after it returns. A callback that had already begun when
// StopUsbChanged was called may still be running when it returns.
#include "HIDUsb.h"
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
    std::vector<std::string> reported;
    for (;;) {
        UsbChangedCallback cb;
        bool force;
        {
            std::unique_lock<std::mutex> lock(w.m);
            if (w.generation != generation)
                return;
            if (!w.notifyNow)
                w.cv.wait_for(lock, std::chrono::milliseconds(w.interval),
                              [&] { return w.notifyNow || w.generation != generation; });
            if (w.generation != generation)
                return;
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
