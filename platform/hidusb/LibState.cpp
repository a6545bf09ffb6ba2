#include "LibState.h"

#include <cerrno>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace hidusb {

State& State::Get()
{
    static State* instance = new State();  // deliberately never destroyed
    return *instance;
}

State::State() : dir_(BenchDir())
{
    // Leftovers of a writer killed mid-write are removed once per process.
    if (!dir_.empty() && SignatureOf(dir_).exists)
        OpenBenchDir(dir_);
}

void State::Refresh()
{
    if (dir_.empty()) {
        SetProblem("no bench folder: HIDUSB_BENCH, XDG_STATE_HOME and HOME name none");
        return;
    }
    FileSignature now = SignatureOf(BenchIniPath(dir_));
    {
        std::lock_guard<std::mutex> lock(m_);
        if (loaded_ && now.exists && now == sig_)
            return;
    }
    // Read outside the state lock: LoadBench may take the bench lock to
    // write the default bench, and a writer holding the bench lock may be
    // waiting for the state lock in Adopt.
    Bench fresh;
    FileSignature sig;
    if (!LoadBench(dir_, fresh, &sig)) {
        const int error = errno;
        SetProblem("the bench folder " + dir_ + " cannot be used: " + std::generic_category().message(error));
        return;
    }
    Adopt(fresh, sig);
}

void State::SetProblem(const std::string& problem)
{
    std::lock_guard<std::mutex> lock(m_);
    problem_ = problem;
}

std::string State::Problem()
{
    std::lock_guard<std::mutex> lock(m_);
    return problem_;
}

void State::Adopt(const Bench& bench, const FileSignature& sig)
{
    std::lock_guard<std::mutex> lock(m_);
    bench_ = bench;
    sig_ = sig;
    loaded_ = true;
    problem_.clear();
}

Bench State::Snapshot()
{
    Refresh();
    std::lock_guard<std::mutex> lock(m_);
    return bench_;
}

bool State::SilentQuery(const BenchDevice& device)
{
    std::lock_guard<std::mutex> lock(m_);
    auto it = silent_.find(device.id);
    if (it == silent_.end() || it->second.serial != device.silentIdSerial) {
        Silent s;
        s.serial = device.silentIdSerial;
        s.remaining = device.silentId;
        it = silent_.insert_or_assign(device.id, s).first;
    }
    if (it->second.remaining > 0) {
        --it->second.remaining;
        return true;
    }
    return false;
}

void State::Trace(const std::string& line)
{
    Refresh();
    bool on;
    {
        std::lock_guard<std::mutex> lock(m_);
        on = loaded_ && bench_.trace;
    }
    if (!on)
        return;
    (void)AppendToLog(dir_ + "/calls.log", line + "\n");  // a trace line that cannot be written is left out
}

const BenchDevice* Attached(const Bench& bench, const char* path)
{
    if (!path)
        return nullptr;
    const BenchDevice* d = bench.FindPath(path);
    if (!d || !d->plugged || d->boot)
        return nullptr;
    return d;
}

const BenchDevice* ConfigTarget(const Bench& bench, const BenchDevice& d)
{
    if (!d.IsReceiver())
        return &d;
    if (d.paired.empty())
        return nullptr;
    const BenchDevice* m = bench.Find(d.paired);
    return m && !m->IsReceiver() ? m : nullptr;
}

bool Reachable(const Bench& bench, const BenchDevice& d)
{
    if (!d.plugged || d.boot || !d.online)
        return false;
    if (!d.IsReceiver())
        return true;
    const BenchDevice* m = ConfigTarget(bench, d);
    return m && m->online && !m->boot;
}

bool RefusesWrites(const Bench& bench, const BenchDevice& d)
{
    if (d.refuseWrites)
        return true;
    const BenchDevice* m = ConfigTarget(bench, d);
    return m && m->refuseWrites;
}

}  // namespace hidusb
