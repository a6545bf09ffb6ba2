// Changes of the bench files as they happen, without polling.
//
// One library thread blocks on an inotify watch of the bench folder and
// counts the changes of bench.ini (the devices) and of events.log (the
// device-side events). A thread that waits for such a change (the USB-change
// watcher, a link) subscribes a wake function and compares the count with
// the one it last saw; between changes nothing wakes.
//
// Without inotify (none left, no bench folder, the folder removed) Live() is
// false and the waiters look at the files themselves at their own interval,
// as they would without this module; Live() tries to watch again on every
// call, so the waiters go back to sleeping once it succeeds.
//
// Threads: the watching thread is detached and never ends; it calls the wake
// functions under the module's lock, so a wake function only takes its
// waiter's own lock and notifies (never a lock held while calling into this
// module). After Unsubscribe returns, the function is never called again.
// Nothing ever waits for the watching thread.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>

namespace hidusb {

enum class BenchFile { Devices, Events };

class BenchChanges {
public:
    // The one instance, for the bench folder of State; never destroyed.
    static BenchChanges& Get();

    // True while every change is counted as it happens (see above).
    bool Live();
    // Grows by at least one with every change of the file.
    unsigned long Count(BenchFile file) const { return counts_[Index(file)].load(std::memory_order_acquire); }

    // wake() is called after every change of file (and when the watch is
    // lost or found again) until Unsubscribe(id).
    int Subscribe(BenchFile file, std::function<void()> wake);
    void Unsubscribe(int id);

private:
    explicit BenchChanges(std::string dir);
    static int Index(BenchFile file) { return file == BenchFile::Devices ? 0 : 1; }
    // Under m_: sets up what is missing (the instance, its thread, the watch).
    void EnsureLocked();
    void Loop(int fd);
    // Under m_: counts a change of the files marked and wakes their subscribers.
    void ChangedLocked(bool devices, bool events);

    const std::string dir_;
    std::mutex m_;
    int fd_ = -1;
    int wd_ = -1;
    std::atomic<unsigned long> counts_[2] = {{0}, {0}};
    int nextId_ = 0;
    struct Subscriber {
        BenchFile file;
        std::function<void()> wake;
    };
    std::map<int, Subscriber> subscribers_;
};

// Unsubscribes when it goes out of scope.
class BenchSubscription {
public:
    BenchSubscription(BenchFile file, std::function<void()> wake)
        : id_(BenchChanges::Get().Subscribe(file, std::move(wake)))
    {
    }
    ~BenchSubscription() { BenchChanges::Get().Unsubscribe(id_); }
    BenchSubscription(const BenchSubscription&) = delete;
    BenchSubscription& operator=(const BenchSubscription&) = delete;

private:
    const int id_;
};

}  // namespace hidusb
