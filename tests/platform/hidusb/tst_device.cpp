// Device behaviour: profiles, factory reset, device-side events injected by
// the bench tool from another process, pairing, and two processes sharing
// one bench.
#include "TestSupport.h"

using namespace t;

namespace {

FlashDataMap Marked(uint8_t mark)
{
    FlashDataMap img = hidusb::ModelDefaultImage(1);
    img.debounce = mark;
    img.lightR = mark;
    img.macros[2].nameLength = 3;
    std::memcpy(img.macros[2].name, "abc", 3);
    img.macros[2].eventCount = 1;
    img.macros[2].events[0] = KeyEvent{0, 1, 0x04, mark};
    return img;
}

FlashDataMap FullRead()
{
    Recorder& rec = Recorder::Get();
    rec.Clear();
    FlashDataMap img;
    std::memset(&img, 0, sizeof img);
    CHECK(UsbServer_ReadAllFlashData());
    if (CHECK_WAIT(rec.WaitType(8, 0))) {
        Rec r = rec.Last(8, 0);
        CHECK(r.data.size() == DeviceDumpSize && ProtocolDataParser(r.data.data(), &img));
    }
    return img;
}

bool Same(const FlashDataMap& a, const FlashDataMap& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void ProfilesSwitchAndAskForAReRead()
{
    ResetBench();
    Recorder& rec = Recorder::Get();
    CHECK(UsbServerC_Start("hidbench/mouse2", "hidbench/mouse2", &Recorder::Callback));
    FlashDataMap a = Marked(11);
    CHECK(ProtocolDataUpdate(&a));
    rec.Clear();
    CHECK(UsbServer_SetCurrentConfig(2));
    CHECK(rec.WaitType(10));
    unsigned char flags[7];
    GetDeviceStatusChanged(rec.Last(10).data.empty() ? (const unsigned char*)"\0" : rec.Last(10).data.data(), flags);
    CHECK(flags[2] == 1 && flags[0] == 0 && flags[6] == 0);
    rec.Clear();
    CHECK(UsbServer_ReadConfig());
    CHECK(rec.WaitType(14));
    CHECK(rec.Last(14).data.size() == 1 && Byte(rec.Last(14), 0) == 2);
    CHECK(Same(FullRead(), hidusb::ModelDefaultImage(2)));  // profile 3 is untouched (its model's defaults)
    FlashDataMap b = Marked(22);
    CHECK(ProtocolDataUpdate(&b));
    CHECK(UsbServer_SetCurrentConfig(0));
    CHECK(Same(FullRead(), a));
    CHECK(UsbServer_SetCurrentConfig(2));
    CHECK(Same(FullRead(), b));
    CHECK(!UsbServer_SetCurrentConfig(4));
    CHECK(!UsbServer_SetCurrentConfig(-1));
    EditBench([](hidusb::Bench& bench) { bench.Find("mouse2")->online = false; });
    CHECK(!UsbServer_SetCurrentConfig(1));
    UsbServer_Exit();
}

void ResetRestoresModelDefaultsAndSendsType9()
{
    hidusb::Bench bench = hidusb::DefaultBench();
    // A 4 kHz receiver with a mouse of the second model.
    bench.devices[0].kind = 1;
    bench.devices[0].pid = "F040";
    bench.devices[1].mid = 2;
    ResetBench(bench);
    Recorder& rec = Recorder::Get();
    CHECK(UsbServerC_Start("hidbench/rx8k", "hidbench/rx8k", &Recorder::Callback));
    FlashDataMap a = Marked(33);
    CHECK(ProtocolDataUpdate(&a));
    CHECK(UsbServer_SetCurrentConfig(3));
    CHECK(ProtocolDataUpdate(&a));
    rec.Clear();
    CHECK(UsbServer_SetClearSetting());
    CHECK(rec.WaitType(9));
    FlashDataMap defaults = hidusb::ModelDefaultImage(2);
    CHECK(Same(FullRead(), defaults));
    hidusb::FlashMemory flash = hidusb::ReadFlash(Dir(), "mouse1", 2);
    CHECK_EQ(flash.current, 0);
    for (int p = 0; p < hidusb::ProfileCount; ++p) {
        flash.current = p;
        FlashDataMap img = hidusb::CurrentImage(flash);
        CHECK(Same(img, defaults));
    }
    EditBench([](hidusb::Bench& b) { b.Find("mouse1")->refuseWrites = true; });
    CHECK(!UsbServer_SetClearSetting());
    UsbServer_Exit();
}

void DeviceSideEventsFromTheTool()
{
    ResetBench();
    Recorder& rec = Recorder::Get();
    rec.Clear();
    // The report handling reads what a status change asks for, from inside
    // the callback.
    rec.SetHook([](const Rec& r) {
        if (r.type != 10)
            return;
        unsigned char flags[7];
        GetDeviceStatusChanged(r.data.data(), flags);
        if (flags[0])
            UsbServer_ReadCurrentDPI();
        if (flags[6])
            UsbServer_ReadBatteryLevel();
        if (flags[5])
            UsbServer_ReadLedBar();
    });
    CHECK(UsbServerC_Start("hidbench/rx8k", "hidbench/rx8k", &Recorder::Callback));
    std::string out;
    CHECK_EQ(RunTool({"dpi-button", "rx8k"}, &out), 0);
    CHECK_STR(out, "dpi-current: 3\n");
    CHECK(rec.WaitType(8, 4));
    auto r = rec.Take();
    CHECK(r.size() == 2 && r[0].type == 10 && r[1].type == 8 && r[1].subB == 4 && Byte(r[1], 0) == 2);

    rec.Clear();
    CHECK_EQ(RunTool({"battery", "1", "35", "charging"}), 0);
    CHECK(rec.WaitType(4));
    unsigned char status[2];
    GetDeviceBatteryStatus(rec.Last(4).data.size() == 2 ? rec.Last(4).data.data() : (const unsigned char*)"\0\0", status);
    CHECK(status[0] == 35 && status[1] == 1);

    rec.Clear();
    CHECK_EQ(RunTool({"light-button", "hidbench/rx8k"}), 0);
    CHECK(rec.WaitType(8, 160));
    CHECK(Byte(rec.Last(8, 160), 0) == 2);

    rec.Clear();
    CHECK_EQ(RunTool({"profile", "rx8k", "2"}), 0);
    CHECK(rec.WaitType(10));
    unsigned char flags[7];
    GetDeviceStatusChanged(rec.Last(10).data.empty() ? (const unsigned char*)"\0" : rec.Last(10).data.data(), flags);
    CHECK(flags[2] == 1);

    rec.Clear();
    CHECK_EQ(RunTool({"reset", "rx8k"}), 0);
    CHECK(rec.WaitType(9));
    CHECK(Same(FlashImage("mouse1"), hidusb::ModelDefaultImage(1)));

    // An event of another device does not reach this link.
    rec.Clear();
    CHECK_EQ(RunTool({"dpi-button", "mouse2"}), 0);
    Sleep(150);
    CHECK_EQ(rec.Count(), size_t(0));

    // Receiver reports: light and long range, from the tool and in-process.
    CHECK_EQ(RunTool({"dongle-light", "rx8k", "2"}), 0);
    CHECK(rec.WaitType(21));
    CHECK(rec.Last(21).data.size() == 10 && Byte(rec.Last(21), 0) == 2);
    rec.Clear();
    DongleRGB rgb{{3, 1, 2, 3, 4, 5, 6, 7, 8, 9}};
    CHECK(UsbFinderC_Set4KDongleRGB("hidbench/rx8k", &rgb));
    CHECK(rec.WaitType(21));
    CHECK(Byte(rec.Last(21), 0) == 3);
    CHECK(UsbFinderC_SetLongRangeMode("hidbench/rx8k", 1));
    CHECK(UsbFinderC_SetLongRangeMode("hidbench/rx8k", 0));
    CHECK(WaitFor([&] { return rec.Count() >= 3; }));
    CHECK(rec.Last(23).data.size() == 10);  // leaving long range: the 10-byte block

    // An offline mouse answers nothing.
    rec.Clear();
    CHECK_EQ(RunTool({"offline", "mouse1"}), 0);
    CHECK_EQ(RunTool({"dpi-button", "rx8k"}), 0);
    CHECK(UsbServer_ReadBatteryLevel());
    Sleep(150);
    CHECK_EQ(rec.Count(), size_t(0));
    UsbServer_Exit();
}

void Pairing()
{
    ResetBench();
    Recorder& rec = Recorder::Get();
    rec.Clear();
    CHECK(UsbServerC_Start("hidbench/rx8k", "hidbench/rx8k", &Recorder::Callback));
    CHECK(UsbServer_EnterDonglePairOnlyCid(24));
    CHECK(WaitFor([&] { return rec.Count() >= 2; }));
    auto r = rec.Take();
    CHECK(r.size() == 2 && r[0].type == 6 && Byte(r[0], 0) == 1 && r[1].type == 6 && Byte(r[1], 0) == 3);
    rec.Clear();
    CHECK(UsbServer_ReadDonglePairStatus());
    CHECK(rec.WaitType(6));
    CHECK(Byte(rec.Last(6), 0) == 3);

    // A new receiver takes the unpaired wireless mouse.
    CHECK_EQ(RunTool({"add", "rx4k", "id=rxB", "address=01,02,03"}), 0);
    CHECK_EQ(RunTool({"add", "wireless-mouse", "id=mouseB", "online=0"}), 0);
    CHECK(UsbServerC_Start("hidbench/rxB", "hidbench/rxB", &Recorder::Callback));
    CHECK(UsbFinderC_GetDeviceOnLine("hidbench/rxB") == 0);
    rec.Clear();
    CHECK(UsbServer_EnterDonglePairOnlyCid(24));
    CHECK(WaitFor([&] { return rec.Count() >= 2; }));
    CHECK(Byte(rec.Last(6), 0) == 3);
    hidusb::Bench b = ReadBench();
    CHECK(b.Find("rxB")->paired == "mouseB");
    CHECK(b.Find("mouseB")->address == (std::array<uint8_t, 3>{{1, 2, 3}}));
    CHECK(UsbFinderC_GetDeviceOnLine("hidbench/rxB") == 1);

    // Failures: another customer id, an injected fault.
    rec.Clear();
    CHECK(UsbServer_EnterDonglePairOnlyCid(25));
    CHECK(WaitFor([&] { return rec.Count() >= 2; }));
    CHECK(Byte(rec.Last(6), 0) == 2);
    CHECK_EQ(RunTool({"fault", "rxB", "pair-fail", "on"}), 0);
    rec.Clear();
    CHECK(UsbServer_EnterDonglePairOnlyCid(24));
    CHECK(WaitFor([&] { return rec.Count() >= 2; }));
    CHECK(Byte(rec.Last(6), 0) == 2);

    // A receiver unplugged while it pairs reports nothing more.
    CHECK_EQ(RunTool({"fault", "rxB", "clear"}), 0);
    rec.Clear();
    EditBench([](hidusb::Bench& bb) { bb.pairDelayMs = 300; });
    CHECK(UsbServer_EnterDonglePairOnlyCid(24));
    CHECK(rec.WaitType(6));
    CHECK_EQ(RunTool({"unplug", "rxB"}), 0);
    Sleep(400);
    CHECK_EQ(rec.Count(), size_t(1));

    // A mouse on its cable does not pair.
    rec.Clear();
    CHECK(UsbServerC_Start("hidbench/mouse2", "hidbench/mouse2", &Recorder::Callback));
    CHECK(!UsbServer_EnterDonglePairOnlyCid(24));
    CHECK(rec.WaitType(6));
    CHECK(Byte(rec.Last(6), 0) == 2);
    UsbServer_Exit();
}

// ---- two processes ---------------------------------------------------------

int Child(const std::string& what)
{
    if (what == "write") {
        if (!UsbServerC_Start("hidbench/mouse2", "hidbench/mouse2", nullptr))
            return 3;
        FlashDataMap img = Marked(77);
        bool ok = ProtocolDataUpdate(&img) && UsbFinderC_SetLongRangeMode("hidbench/rx8k", 1);
        UsbServer_Exit();
        return ok ? 0 : 4;
    }
    if (what == "check") {
        if (!UsbServerC_Start("hidbench/rx8k", "hidbench/rx8k", &Recorder::Callback))
            return 3;
        FlashDataMap img = FullRead();
        UsbServer_Exit();
        return Same(img, Marked(88)) ? 0 : 5;
    }
    return 2;
}

int RunSelf(const char* what)
{
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return -1;
    exe[n] = 0;
    char arg1[] = "--child";
    std::string w = what;
    char* argv[] = {exe, arg1, &w[0], nullptr};
    pid_t pid;
    if (posix_spawn(&pid, exe, nullptr, nullptr, argv, environ) != 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void TwoProcessesShareTheBench()
{
    ResetBench();
    // This process reads first, so it holds a snapshot of the bench.
    unsigned char reply = 9;
    CHECK(UsbFinderC_GetLongRangeMode("hidbench/rx8k", &reply) && reply == 0);
    CHECK(UsbServerC_Start("hidbench/mouse2", "hidbench/mouse2", &Recorder::Callback));
    CHECK(Same(FullRead(), hidusb::ModelDefaultImage(2)));  // a new device of the second model
    // The other process writes the mouse's image and the receiver's mode.
    CHECK_EQ(RunSelf("write"), 0);
    CHECK(UsbFinderC_GetLongRangeMode("hidbench/rx8k", &reply) && reply == 1);
    CHECK(Same(FullRead(), Marked(77)));
    UsbServer_Exit();
    // And sees what this one writes.
    CHECK(UsbServerC_Start("hidbench/rx8k", "hidbench/rx8k", &Recorder::Callback));
    FlashDataMap img = Marked(88);
    CHECK(ProtocolDataUpdate(&img));
    UsbServer_Exit();
    CHECK_EQ(RunSelf("check"), 0);
    // The tool's plug state reaches this process at once.
    CHECK_EQ(RunTool({"unplug", "rx8k"}), 0);
    CHECK(UsbFinderC_GetDeviceOnLine("hidbench/rx8k") == 0);
    CHECK_EQ(RunTool({"plug", "rx8k"}), 0);
    CHECK(UsbFinderC_GetDeviceOnLine("hidbench/rx8k") == 1);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--child")
        return Child(argv[2]);
    ProfilesSwitchAndAskForAReRead();
    ResetRestoresModelDefaultsAndSendsType9();
    DeviceSideEventsFromTheTool();
    Pairing();
    TwoProcessesShareTheBench();
    return Finish("hidusb_device");
}
