// Small helpers of the device library's tests: checks, waiting, a report
// recorder, bench set-up and running the hidusb-bench tool.
// Plain C++ (no Qt), so the tests also run under ThreadSanitizer.
#pragma once

#include "BenchFlash.h"
#include "BenchModel.h"
#include "HIDUsb.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

#ifndef HIDUSB_BENCH_TOOL
#define HIDUSB_BENCH_TOOL "hidusb-bench"
#endif

namespace t {

inline int& Failures()
{
    static int n = 0;
    return n;
}

#define CHECK(cond)                                                                 \
    do {                                                                            \
        if (!(cond)) {                                                              \
            std::fprintf(stderr, "%s:%d: CHECK failed: %s\n", __FILE__, __LINE__, #cond); \
            ++t::Failures();                                                        \
        }                                                                           \
    } while (0)

// A check whose result the test also uses: if (CHECK_WAIT(...)) ...
inline bool Checked(bool ok, const char* file, int line, const char* text)
{
    if (!ok) {
        std::fprintf(stderr, "%s:%d: CHECK failed: %s\n", file, line, text);
        ++Failures();
    }
    return ok;
}
#define CHECK_WAIT(cond) t::Checked((cond), __FILE__, __LINE__, #cond)

#define CHECK_EQ(a, b)                                                                        \
    do {                                                                                      \
        auto va_ = (a);                                                                       \
        auto vb_ = (b);                                                                       \
        if (!(va_ == vb_)) {                                                                  \
            std::fprintf(stderr, "%s:%d: CHECK_EQ failed: %s == %s (%lld vs %lld)\n", __FILE__, __LINE__, #a, #b, \
                         static_cast<long long>(va_), static_cast<long long>(vb_));           \
            ++t::Failures();                                                                  \
        }                                                                                     \
    } while (0)

#define CHECK_STR(a, b)                                                                             \
    do {                                                                                            \
        std::string va_ = (a);                                                                      \
        std::string vb_ = (b);                                                                      \
        if (va_ != vb_) {                                                                           \
            std::fprintf(stderr, "%s:%d: CHECK_STR failed: %s\n  got:  \"%s\"\n  want: \"%s\"\n", __FILE__, __LINE__, \
                         #a, va_.c_str(), vb_.c_str());                                             \
            ++t::Failures();                                                                        \
        }                                                                                           \
    } while (0)

inline int Finish(const char* name)
{
    if (Failures())
        std::fprintf(stderr, "%s: %d check(s) failed\n", name, Failures());
    else
        std::printf("%s: all checks passed\n", name);
    std::fflush(stdout);
    // Detached library threads may still be asleep in the bench: everything
    // they can reach (the library's state, the recorder) is never destroyed,
    // so a normal exit (with the leak check) is safe.
    return Failures() ? 1 : 0;
}

// Polls cond every 2 ms for at most ms milliseconds.
inline bool WaitFor(const std::function<bool()>& cond, int ms = 3000)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (cond())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return cond();
}

inline void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// One received report.
struct Rec {
    int type = 0, subA = 0, subB = 0;
    std::vector<unsigned char> data;
    std::thread::id thread;
};

// Byte i of a report's data, -1 when it has none there.
inline int Byte(const Rec& r, size_t i) { return i < r.data.size() ? r.data[i] : -1; }

// Collects the reports of the callback below.
struct Recorder {
    std::mutex m;
    std::condition_variable cv;
    std::vector<Rec> reports;
    std::function<void(const Rec&)> hook;  // runs inside the callback

    static Recorder& Get()
    {
        static Recorder* r = new Recorder();  // outlives main(): late reports land here
        return *r;
    }
    static void Callback(unsigned char* header, int headerLength, unsigned char* data, unsigned int length)
    {
        Rec r;
        r.type = headerLength > 1 ? header[1] : 0;
        r.subA = headerLength > 3 ? header[3] : 0;
        r.subB = headerLength > 4 ? header[4] : 0;
        r.data.assign(data, data + length);
        r.thread = std::this_thread::get_id();
        Recorder& rec = Get();
        std::function<void(const Rec&)> hook;
        {
            std::lock_guard<std::mutex> lock(rec.m);
            hook = rec.hook;
        }
        if (hook)
            hook(r);
        {
            std::lock_guard<std::mutex> lock(rec.m);
            rec.reports.push_back(r);
        }
        rec.cv.notify_all();
    }
    // Forgets the reports so far (the hook stays).
    void Clear()
    {
        std::lock_guard<std::mutex> lock(m);
        reports.clear();
    }
    // Forgets the reports and the hook.
    void Reset()
    {
        std::lock_guard<std::mutex> lock(m);
        reports.clear();
        hook = nullptr;
    }
    void SetHook(std::function<void(const Rec&)> h)
    {
        std::lock_guard<std::mutex> lock(m);
        hook = std::move(h);
    }
    size_t Count()
    {
        std::lock_guard<std::mutex> lock(m);
        return reports.size();
    }
    std::vector<Rec> Take()
    {
        std::lock_guard<std::mutex> lock(m);
        return reports;
    }
    // Waits until n reports arrived.
    bool WaitCount(size_t n, int ms = 3000)
    {
        std::unique_lock<std::mutex> lock(m);
        return cv.wait_for(lock, std::chrono::milliseconds(ms), [&] { return reports.size() >= n; });
    }
    // Waits for a report of this type (and sub-code B, when >= 0).
    bool WaitType(int type, int subB = -1, int ms = 3000)
    {
        std::unique_lock<std::mutex> lock(m);
        return cv.wait_for(lock, std::chrono::milliseconds(ms), [&] {
            for (auto& r : reports)
                if (r.type == type && (subB < 0 || r.subB == subB))
                    return true;
            return false;
        });
    }
    Rec Last(int type, int subB = -1)
    {
        std::lock_guard<std::mutex> lock(m);
        for (auto it = reports.rbegin(); it != reports.rend(); ++it)
            if (it->type == type && (subB < 0 || it->subB == subB))
                return *it;
        return Rec{};
    }
};

inline std::string Dir() { return hidusb::BenchDir(); }

// Replaces the bench with the given one (flash files and event log removed)
// and fast timings.
inline void ResetBench(hidusb::Bench bench = hidusb::DefaultBench(), int pairMs = 60, int stepMs = 1)
{
    std::string dir = Dir();
    hidusb::EnsureBenchDir(dir);
    bench.pairDelayMs = pairMs;
    bench.upgradeStepMs = stepMs;
    Recorder::Get().Reset();
    hidusb::BenchLock lock(dir);
    for (const auto& d : hidusb::DefaultBench().devices)
        std::remove(hidusb::FlashFilePath(dir, d.id).c_str());
    for (const auto& d : bench.devices)
        std::remove(hidusb::FlashFilePath(dir, d.id).c_str());
    hidusb::WriteFileAtomic(hidusb::BenchIniPath(dir), hidusb::FormatBench(bench));
}

// The default bench with its cabled mouse of the first model, the model of
// the receiver and its wireless mouse (the default has the second model on
// the cable).
inline hidusb::Bench FirstModelOnCableBench()
{
    hidusb::Bench bench = hidusb::DefaultBench();
    hidusb::BenchDevice* cable = bench.Find("mouse2");
    cable->mid = 1;
    cable->firmwareName = hidusb::DefaultFirmwareName(cable->kind, 1);
    return bench;
}

template <class Fn>
inline void EditBench(Fn fn)
{
    hidusb::ModifyBench(Dir(), [&](hidusb::Bench& b) {
        fn(b);
        return true;
    });
}

inline hidusb::Bench ReadBench()
{
    hidusb::Bench b;
    hidusb::LoadBench(Dir(), b, nullptr);
    return b;
}

inline FlashDataMap FlashImage(const std::string& id, int mid = 1)
{
    return hidusb::CurrentImage(hidusb::ReadFlash(Dir(), id, mid));
}

inline std::string FileBytes(const std::string& file)
{
    std::string s;
    hidusb::ReadWholeFile(file, s);
    return s;
}

// Runs the hidusb-bench tool in a process of its own; returns its exit code
// and (in *out) what it printed on stdout.
inline int RunTool(const std::vector<std::string>& args, std::string* out = nullptr, std::string* err = nullptr)
{
    std::string outFile = Dir() + "/tool-output.txt";
    std::string errFile = Dir() + "/tool-errors.txt";
    std::vector<std::string> argv{HIDUSB_BENCH_TOOL};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargv;
    for (auto& a : argv)
        cargv.push_back(&a[0]);
    cargv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid;
    int rc = posix_spawn(&pid, cargv[0], &actions, nullptr, cargv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    if (out)
        *out = FileBytes(outFile);
    if (err)
        *err = FileBytes(errFile);
    std::remove(outFile.c_str());
    std::remove(errFile.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace t
