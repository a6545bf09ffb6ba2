// The library's view of the bench: one snapshot of bench.ini in memory,
// refreshed when the file changed (a stat per call, a read only after a
// change), so the discovery calls answer from memory.
#pragma once

#include "BenchModel.h"

#include <map>
#include <mutex>
#include <string>

namespace hidusb {

class State {
public:
    // The one instance; never destroyed, so threads that outlive main() find
    // it intact.
    static State& Get();

    // Bench folder, fixed at first use ($HIDUSB_BENCH or the default).
    const std::string& Dir() const { return dir_; }

    // Calls fn(const Bench&) under the state lock with a fresh snapshot.
    template <class Fn>
    auto With(Fn fn) -> decltype(fn(std::declval<const Bench&>()))
    {
        Refresh();
        std::lock_guard<std::mutex> lock(m_);
        return fn(static_cast<const Bench&>(bench_));
    }
    Bench Snapshot();

    // Read-modify-write of bench.ini; fn(Bench&) returns false to write nothing.
    template <class Fn>
    bool Modify(Fn fn)
    {
        Bench after;
        FileSignature sig;
        if (!ModifyBench(dir_, fn, &after, &sig))
            return false;
        Adopt(after, sig);
        return true;
    }

    // True when this identity query must go unanswered (silent-identity fault).
    bool SilentQuery(const BenchDevice& device);

    // Appends one line to calls.log while the bench has trace=1.
    void Trace(const std::string& line);

    // Why the bench could not be read at the last look (the folder and the
    // reason); empty while it can, and before any look. It does not look
    // again: a search just before tells the state it found.
    std::string Problem();

private:
    State();
    void Refresh();
    void Adopt(const Bench& bench, const FileSignature& sig);
    void SetProblem(const std::string& problem);

    std::mutex m_;
    std::string dir_;
    Bench bench_;
    FileSignature sig_;
    bool loaded_ = false;
    std::string problem_;
    struct Silent {
        int serial = 0;
        int remaining = 0;
    };
    std::map<std::string, Silent> silent_;
};

// ---- device rules shared by the calls ------------------------------------

// The device at path when it is on the bus and not in boot mode.
const BenchDevice* Attached(const Bench& bench, const char* path);
// The mouse whose configuration a link to d reaches: d itself, or the mouse
// paired to receiver d (null when none).
const BenchDevice* ConfigTarget(const Bench& bench, const BenchDevice& d);
// Attached and answering (a receiver: its paired mouse is online).
bool Reachable(const Bench& bench, const BenchDevice& d);
// Writes to d are refused (on d or on the mouse behind it).
bool RefusesWrites(const Bench& bench, const BenchDevice& d);

}  // namespace hidusb
