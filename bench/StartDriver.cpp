// Starts the floor window and the program again and again, alternating,
// each with the start-up probe preloaded, and prints the medians:
//   bench_start RUNS IDLE_MS PROBE_SO FLOOR_EXE APP_EXE
// Output lines (read by bench/run.sh):
//   start floor shown_ms=<median> rss_kb=<median> window_ms=<median> runs=<n> failed=<n>
//   start app   shown_ms=<median> rss_kb=<median> window_ms=<median> runs=<n> failed=<n>
// Each process gets 30 s to show its window; one that does not counts as a
// failed run.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
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
    std::vector<double> shown;
    std::vector<double> rss;
    std::vector<double> window;
    int failed = 0;
};

bool runOnce(const std::string& exe, const std::string& probe, const char* shownMode, int idleMs,
             const std::string& out, Result& result)
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
        execl(exe.c_str(), exe.c_str(), (char*)nullptr);
        _exit(127);
    }
    // Wait with a limit: a process that never shows is killed.
    int status = 0;
    const long long limit = nowNs() + (30LL + idleMs / 1000) * 1000000000LL;
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
    double shown = -1, rss = -1, window = -1;
    std::string line;
    if (std::getline(in, line)
        && std::sscanf(line.c_str(), "shown_ms=%lf rss_kb=%lf window_ms=%lf", &shown, &rss, &window) == 3) {
        result.shown.push_back(shown);
        result.rss.push_back(rss);
        result.window.push_back(window);
        return true;
    }
    result.failed++;
    return false;
}

void print(const char* name, const Result& r)
{
    std::printf("start %s shown_ms=%.1f rss_kb=%.0f window_ms=%.1f runs=%zu failed=%d\n", name, median(r.shown),
                median(r.rss), median(r.window), r.shown.size(), r.failed);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s RUNS IDLE_MS PROBE_SO FLOOR_EXE APP_EXE\n", argv[0]);
        return 2;
    }
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
    std::remove(out.c_str());
    print("floor", floorResult);
    print("app", appResult);
    return floorResult.shown.empty() || appResult.shown.empty() ? 1 : 0;
}
