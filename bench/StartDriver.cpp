// Starts the floor window and the program again and again, alternating,
// each with the start-up probe preloaded, and prints the medians:
//   bench_start RUNS IDLE_MS PROBE_SO FLOOR_EXE APP_EXE [WATCH_RUNS WATCH_MS]
// With WATCH_RUNS, as many starts of each follow in which the probe watches
// the idle process for WATCH_MS (the program: on the device list, then with
// the first device's pages open, see StartProbe.cpp).
// Output lines (read by bench/run.sh), the probe's keys with their medians:
//   start floor shown_ms=<median> rss_kb=<median> window_ms=<median> runs=<n> failed=<n>
//   start app   shown_ms=<median> rss_kb=<median> window_ms=<median> runs=<n> failed=<n>
//   idle floor  idle_wakeups=<median> idle_cpu_ms=<median> ... runs=<n> failed=<n>
//   idle app    idle_wakeups=... open1_ms=... pages_wakeups=... runs=<n> failed=<n>
// Each process gets 30 s (plus its idle and watch time) to end; one that
// does not counts as a failed run.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

long long nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

double median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Result {
    std::map<std::string, std::vector<double>> values;
    int runs = 0;
    int failed = 0;
};

bool runOnce(const std::string& exe, const std::string& probe, const char* shownMode, int idleMs,
             const std::string& out, Result& result, int watchMs = 0)
{
    std::remove(out.c_str());
    const long long t0 = nowNs();
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("LD_PRELOAD", probe.c_str(), 1);
        setenv("DIZADI_BENCH_T0", std::to_string(t0).c_str(), 1);
        setenv("DIZADI_BENCH_SHOWN", shownMode, 1);
        setenv("DIZADI_BENCH_IDLE_MS", std::to_string(idleMs).c_str(), 1);
        setenv("DIZADI_BENCH_OUT", out.c_str(), 1);
        if (watchMs > 0) {
            setenv("DIZADI_BENCH_WATCH_MS", std::to_string(watchMs).c_str(), 1);
            setenv("DIZADI_BENCH_OPEN", "1", 1);
        }
        execl(exe.c_str(), exe.c_str(), (char*)nullptr);
        _exit(127);
    }
    // Wait with a limit: a process that never shows is killed.
    int status = 0;
    const long long limit = nowNs() + (30LL + idleMs / 1000 + 2 * watchMs / 1000) * 1000000000LL;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (nowNs() > limit) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            result.failed++;
            return false;
        }
        usleep(2000);
    }
    std::ifstream in(out);
    std::string line;
    std::map<std::string, double> got;
    if (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string field;
        while (fields >> field) {
            const size_t eq = field.find('=');
            if (eq != std::string::npos)
                got[field.substr(0, eq)] = std::atof(field.c_str() + eq + 1);
        }
    }
    if (got.empty() || got.count("failed") || !got.count("shown_ms")) {
        result.failed++;
        return false;
    }
    for (const auto& kv : got)
        result.values[kv.first].push_back(kv.second);
    result.runs++;
    return true;
}

void print(const char* what, const char* name, const Result& r)
{
    std::printf("%s %s", what, name);
    for (const auto& kv : r.values)
        std::printf(" %s=%.2f", kv.first.c_str(), median(kv.second));
    std::printf(" runs=%d failed=%d\n", r.runs, r.failed);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 6 && argc != 8) {
        std::fprintf(stderr, "usage: %s RUNS IDLE_MS PROBE_SO FLOOR_EXE APP_EXE [WATCH_RUNS WATCH_MS]\n", argv[0]);
        return 2;
    }
    const int watchRuns = argc == 8 ? std::atoi(argv[6]) : 0;
    const int watchMs = argc == 8 ? std::atoi(argv[7]) : 0;
    const int runs = std::atoi(argv[1]);
    const int idle = std::atoi(argv[2]);
    const std::string probe = argv[3], floorExe = argv[4], appExe = argv[5];
    const std::string out = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/dizadi-bench-start."
                            + std::to_string(getpid());
    Result floorResult, appResult;
    // One start of each first: the page cache holds the libraries and the
    // program's per-user folders exist, as on every start but the very first.
    Result warm;
    runOnce(floorExe, probe, "window", 200, out, warm);
    runOnce(appExe, probe, "devices", 200, out, warm);
    for (int i = 0; i < runs; ++i) {
        runOnce(floorExe, probe, "window", idle, out, floorResult);
        runOnce(appExe, probe, "devices", idle, out, appResult);
    }
    Result floorIdle, appIdle;
    for (int i = 0; i < watchRuns; ++i) {
        runOnce(floorExe, probe, "window", idle, out, floorIdle, watchMs);
        runOnce(appExe, probe, "devices", idle, out, appIdle, watchMs);
    }
    std::remove(out.c_str());
    print("start", "floor", floorResult);
    print("start", "app", appResult);
    if (watchRuns > 0) {
        print("idle", "floor", floorIdle);
        print("idle", "app", appIdle);
    }
    return floorResult.runs == 0 || appResult.runs == 0 || (watchRuns > 0 && (floorIdle.runs == 0 || appIdle.runs == 0))
               ? 1
               : 0;
}
