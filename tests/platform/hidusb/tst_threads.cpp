// The library's thread rules: callbacks never on the calling thread and
// never inside the requesting call, reports of one link in request order,
// a read requested inside a callback answered after it returns,
// UsbServer_Exit returning while a callback is blocked, and idle threads
// that sleep until the bench changes.
#include "TestSupport.h"

#include <dirent.h>
#include <fstream>
#include <set>

using namespace t;

namespace {

std::set<std::string> Tasks()
{
    std::set<std::string> tasks;
    if (DIR* dir = opendir("/proc/self/task")) {
        while (dirent* e = readdir(dir))
            if (e->d_name[0] != '.')
                tasks.insert(e->d_name);
        closedir(dir);
    }
    return tasks;
}

// The voluntary context switches (each a sleep and a wakeup) of the
// process's threads that are not in `except`.
long SwitchesOfThreadsBut(const std::set<std::string>& except)
{
    long sum = 0;
    for (const std::string& task : Tasks()) {
        if (except.count(task))
            continue;
        std::ifstream status("/proc/self/task/" + task + "/status");
        std::string key;
        long value = 0;
        while (status >> key) {
            if (key == "voluntary_ctxt_switches:" && status >> value)
                sum += value;
        }
    }
    return sum;
}

void IdleThreadsSleepUntilTheBenchChanges()
{
    ResetBench();
    Recorder& rec = Recorder::Get();
    rec.Clear();
    // A thread started and ended first: a sanitizer starts its own helper
    // thread with the first one, which is not the library's.
    std::thread([] {}).join();
    const std::set<std::string> before = Tasks();
    static std::atomic<int> changes{0};
    changes = 0;
    // An interval that no look at the bench would keep to in this test.
    StartUsbChanged([] { ++changes; }, 60000);
    CHECK(WaitFor([] { return changes.load() == 1; }));
    CHECK(UsbServerC_Start("hidbench/rx8k", "hidbench/rx8k", &Recorder::Callback));
    CHECK(UsbServer_ReadVersion());
    CHECK(rec.WaitType(18));
    Sleep(50);
    // The watcher, the open link and whatever the library runs beside them
    // sleep while nothing changes (a look every 50 ms would be 12 here).
    const long start = SwitchesOfThreadsBut(before);
    Sleep(600);
    CHECK(SwitchesOfThreadsBut(before) - start < 4);
    // Changes are seen as they happen, far within the interval.
    EditBench([](hidusb::Bench& b) { b.Find("mouse2")->plugged = false; });
    CHECK(WaitFor([] { return changes.load() == 2; }));
    CHECK_EQ(RunTool({"dpi-button", "rx8k"}), 0);
    CHECK(rec.WaitType(10));
    StopUsbChanged();
    UsbServer_Exit();
}

void ChangesAreSeenAfterTheBenchFolderIsMadeAnew()
{
    ResetBench();
    static std::atomic<int> changes{0};
    changes = 0;
    StartUsbChanged([] { ++changes; }, 20);
    CHECK(WaitFor([] { return changes.load() == 1; }));
    // The folder goes (the watch on it ends) and comes back with a bench
    // that lacks the cabled mouse.
    const std::string dir = Dir();
    const std::string away = dir + ".away";
    CHECK(rename(dir.c_str(), away.c_str()) == 0);
    hidusb::Bench bench = hidusb::DefaultBench();
    bench.Find("mouse2")->plugged = false;
    ResetBench(bench);
    CHECK(WaitFor([] { return changes.load() == 2; }));
    // Watched again: the next change comes as well.
    EditBench([](hidusb::Bench& b) { b.Find("mouse2")->plugged = true; });
    CHECK(WaitFor([] { return changes.load() == 3; }));
    StopUsbChanged();
    std::string cleanup = "rm -rf '" + away + "'";
    CHECK(std::system(cleanup.c_str()) == 0);
}

void CallbacksComeFromALibraryThreadInOrder()
{
    ResetBench();
    Recorder& rec = Recorder::Get();
    rec.Clear();
    // The caller holds its own lock around its requests, as the program's
    // handlers do; a callback made inside a requesting call (or one that the
    // call waited for) would deadlock on it.
    std::mutex callerLock;
    rec.SetHook([&](const Rec&) { std::lock_guard<std::mutex> lock(callerLock); });
    CHECK(UsbServerC_Start("hidbench/mouse2", "hidbench/mouse2", &Recorder::Callback));
    const int rounds = 40;
    {
        std::lock_guard<std::mutex> lock(callerLock);
        for (int i = 0; i < rounds; ++i) {
            CHECK(UsbServer_ReadReportRate());
            CHECK(UsbServer_ReadCurrentDPI());
            CHECK(UsbServer_ReadBatteryLevel());
        }
        Sleep(20);
        CHECK_EQ(rec.Count(), size_t(0));  // nothing was delivered while the caller held on
    }
    CHECK(rec.WaitCount(3 * rounds));
    auto reports = rec.Take();
    CHECK_EQ(reports.size(), size_t(3 * rounds));
    std::thread::id first = reports.empty() ? std::thread::id() : reports[0].thread;
    for (size_t i = 0; i < reports.size(); ++i) {
        CHECK(reports[i].thread != std::this_thread::get_id());
        CHECK(reports[i].thread == first);  // one thread per link
        int want = i % 3 == 2 ? 4 : 8;
        int wantB = i % 3 == 1 ? 4 : 0;
        CHECK(reports[i].type == want && reports[i].subB == wantB);
    }
    UsbServer_Exit();
}

void ReadInsideCallbackIsAnsweredAfterItReturns()
{
    ResetBench();
    Recorder& rec = Recorder::Get();
    rec.Clear();
    std::atomic<bool> inside{false};
    std::atomic<bool> overlapped{false};
    std::atomic<int> requested{0};
    rec.SetHook([&](const Rec& r) {
        if (inside.exchange(true))
            overlapped = true;
        if (r.type == 8 && r.subB == 0 && r.data.size() == DeviceDumpSize) {
            // The report handling asks for more from inside the callback.
            CHECK(UsbServer_ReadDPILed());
            CHECK(UsbServer_ReadBatteryLevel());
            CHECK(UsbServer_ReadVersion());
            CHECK(UsbServer_ReadConfig());
            ++requested;
            Sleep(20);  // the answers must wait for this callback to return
        }
        inside = false;
    });
    CHECK(UsbServerC_Start("hidbench/rx8k", "hidbench/rx8k", &Recorder::Callback));
    CHECK(UsbServer_SetPCDriverStatus(1));
    CHECK(UsbServer_ReadAllFlashData());
    CHECK(rec.WaitCount(5));
    auto r = rec.Take();
    CHECK_EQ(requested.load(), 1);
    CHECK(!overlapped);
    if (r.size() >= 5) {
        CHECK(r[0].type == 8 && r[0].data.size() == DeviceDumpSize);
        CHECK(r[1].type == 8 && r[1].subB == 76);
        CHECK(r[2].type == 4);
        CHECK(r[3].type == 18);
        CHECK(r[4].type == 14);
    }
    UsbServer_Exit();
}

void ExitWhileACallbackIsBlockedReturns()
{
    ResetBench();
    Recorder& rec = Recorder::Get();
    rec.Clear();
    std::mutex gate;
    std::condition_variable cv;
    bool release = false;
    std::atomic<bool> blocked{false};
    rec.SetHook([&](const Rec&) {
        blocked = true;
        std::unique_lock<std::mutex> lock(gate);
        cv.wait(lock, [&] { return release; });  // like a blocking queued emit
    });
    CHECK(UsbServerC_Start("hidbench/mouse2", "hidbench/mouse2", &Recorder::Callback));
    CHECK(UsbServer_ReadAllFlashData());
    CHECK(UsbServer_ReadBatteryLevel());
    CHECK(WaitFor([&] { return blocked.load(); }));
    auto start = std::chrono::steady_clock::now();
    UsbServer_Exit();
    UsbServer_Exit();  // idempotent
    // Other calls keep working while the callback thread is stuck.
    CHECK(UsbFinderC_GetDeviceOnLine("hidbench/mouse2") == 1);
    CHECK(!UsbServer_ReadBatteryLevel());  // no link any more
    // A new link opens and answers while the old thread is still blocked.
    Recorder::Get().SetHook(nullptr);
    CHECK(UsbServerC_Start("hidbench/mouse2", "hidbench/mouse2", &Recorder::Callback));
    CHECK(UsbServer_ReadVersion());
    CHECK(rec.WaitType(18));
    auto took = std::chrono::steady_clock::now() - start;
    CHECK(took < std::chrono::seconds(2));
    UsbServer_Exit();
    {
        std::lock_guard<std::mutex> lock(gate);
        release = true;
    }
    cv.notify_all();
    Sleep(30);
    // The closed link dropped its second request: no battery report came.
    for (auto& r : rec.Take())
        CHECK(r.type != 4);
}

void StartReplacesTheLinkAndUnknownPathsStaySilent()
{
    ResetBench();
    Recorder& rec = Recorder::Get();
    rec.Clear();
    CHECK(!UsbServerC_Start("no/such/device", "no/such/device", &Recorder::Callback));
    CHECK(UsbServer_ReadAllFlashData());  // queued, but nobody answers
    Sleep(80);
    CHECK_EQ(rec.Count(), size_t(0));
    CHECK(UsbServerC_Start("hidbench/rx8k", "hidbench/rx8k", &Recorder::Callback));
    CHECK(UsbServer_ReadConfig());
    CHECK(rec.WaitType(14));
    UsbServer_Exit();
    CHECK(!UsbServer_ReadConfig());
    CHECK(!UsbServer_SetCurrentConfig(1));
    CHECK(!UsbServer_SetClearSetting());
}

void ManyThreadsAtOnce()
{
    ResetBench();
    Recorder::Get().Clear();
    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;
    threads.emplace_back([&] {
        while (!stop) {
            int count = 5;
            char** paths = UsbFinderC_FindHidDevicesByDefaultDeviceId("7A51", "F001", &count);
            for (int i = 0; i < count; ++i)
                UsbFinderC_GetDeviceInfo(paths[i]);
        }
    });
    threads.emplace_back([&] {
        while (!stop) {
            UsbServerC_Start("hidbench/rx8k", "hidbench/rx8k", &Recorder::Callback);
            UsbServer_ReadAllFlashData();
            FlashDataMap img = hidusb::ModelDefaultImage(1);
            ProtocolDataUpdate(&img);
            UsbServer_Exit();
        }
    });
    threads.emplace_back([&] {
        while (!stop) {
            StartUsbChanged([] {}, 10);
            StopUsbChanged();
            UsbServer_ReadBatteryLevel();
        }
    });
    Sleep(400);
    stop = true;
    for (auto& t : threads)
        t.join();
    StopUsbChanged();
    UsbServer_Exit();
    CHECK(UsbFinderC_GetDeviceOnLine("hidbench/rx8k") == 1);
}

}  // namespace

int main()
{
    // First: the library starts its threads here.
    IdleThreadsSleepUntilTheBenchChanges();
    ChangesAreSeenAfterTheBenchFolderIsMadeAnew();
    CallbacksComeFromALibraryThreadInOrder();
    ReadInsideCallbackIsAnsweredAfterItReturns();
    ExitWhileACallbackIsBlockedReturns();
    StartReplacesTheLinkAndUnknownPathsStaySilent();
    ManyThreadsAtOnce();
    return Finish("hidusb_threads");
}
