#include "LibChanges.h"

#include "LibState.h"

#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>

namespace hidusb {

namespace {

// Files are replaced by rename (bench.ini, flash files) or appended to
// (events.log); a hand edit writes in place. The folder itself may go.
constexpr uint32_t WatchMask = IN_MODIFY | IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO
                               | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

}  // namespace

BenchChanges& BenchChanges::Get()
{
    static BenchChanges* changes = new BenchChanges(State::Get().Dir());  // never destroyed: its thread runs on
    return *changes;
}

BenchChanges::BenchChanges(std::string dir) : dir_(std::move(dir)) {}

bool BenchChanges::Live()
{
    std::lock_guard<std::mutex> lock(m_);
    EnsureLocked();
    return fd_ >= 0 && wd_ >= 0;
}

int BenchChanges::Subscribe(BenchFile file, std::function<void()> wake)
{
    std::lock_guard<std::mutex> lock(m_);
    EnsureLocked();
    const int id = ++nextId_;
    subscribers_.emplace(id, Subscriber{file, std::move(wake)});
    return id;
}

void BenchChanges::Unsubscribe(int id)
{
    std::lock_guard<std::mutex> lock(m_);
    subscribers_.erase(id);
}

void BenchChanges::EnsureLocked()
{
    if (dir_.empty())
        return;
    if (fd_ < 0) {
        const int fd = inotify_init1(IN_CLOEXEC);
        if (fd < 0)
            return;  // none left: the waiters look themselves
        try {
            std::thread([this, fd] { Loop(fd); }).detach();
        } catch (...) {
            close(fd);
            return;
        }
        fd_ = fd;
    }
    if (wd_ < 0) {
        wd_ = inotify_add_watch(fd_, dir_.c_str(), WatchMask);
        // A change may have gone unseen while there was no watch.
        if (wd_ >= 0)
            ChangedLocked(true, true);
    }
}

void BenchChanges::ChangedLocked(bool devices, bool events)
{
    if (devices)
        counts_[Index(BenchFile::Devices)].fetch_add(1, std::memory_order_acq_rel);
    if (events)
        counts_[Index(BenchFile::Events)].fetch_add(1, std::memory_order_acq_rel);
    for (auto& s : subscribers_) {
        if ((s.second.file == BenchFile::Devices && devices) || (s.second.file == BenchFile::Events && events))
            s.second.wake();
    }
}

void BenchChanges::Loop(int fd)
{
    alignas(struct inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);  // blocks until something changed
        if (n < 0 && errno == EINTR)
            continue;
        std::lock_guard<std::mutex> lock(m_);
        if (n <= 0) {
            // The instance broke: drop it; the next Live() makes another.
            if (fd_ == fd) {
                fd_ = -1;
                wd_ = -1;
            }
            close(fd);
            ChangedLocked(true, true);
            return;
        }
        bool devices = false, events = false;
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(struct inotify_event)) <= n;) {
            struct inotify_event e;
            std::memcpy(&e, buffer + at, sizeof e);
            const char* name = buffer + at + sizeof e;
            at += static_cast<ssize_t>(sizeof e + e.len);
            if (e.mask & IN_Q_OVERFLOW) {
                devices = events = true;
                continue;
            }
            if (e.wd != wd_)
                continue;  // a watch given up before
            if (e.mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) {
                // The folder is gone (or moved away from its path): the
                // waiters look themselves until Live() watches it again.
                if (!(e.mask & IN_IGNORED))
                    inotify_rm_watch(fd, wd_);
                wd_ = -1;
                devices = events = true;
                continue;
            }
            if (e.len == 0)
                continue;
            // The name ends in a zero byte within its length.
            if (std::strcmp(name, "bench.ini") == 0)
                devices = true;
            else if (std::strcmp(name, "events.log") == 0)
                events = true;
        }
        if (devices || events)
            ChangedLocked(devices, events);
    }
}

}  // namespace hidusb
