// The hidusb-bench tool, run as its own process: it prints what the program
// wrote through the library, changes the bench that the library sees, and
// keeps its documented output.
#include "TestSupport.h"

#include "BenchEvents.h"

#include <algorithm>
#include <future>
#include <sys/stat.h>

using namespace t;

namespace {

std::string Tool(const std::vector<std::string>& args, int wantRc = 0)
{
    std::string out, err;
    int rc = RunTool(args, &out, &err);
    if (rc != wantRc) {
        std::string line;
        for (auto& a : args)
            line += a + " ";
        std::fprintf(stderr, "tool %s: exit %d, wanted %d\n%s", line.c_str(), rc, wantRc, err.c_str());
        ++Failures();
    }
    if (wantRc != 0 && err.find("hidusb-bench: ") != 0) {
        std::fprintf(stderr, "tool: no message on stderr for a failure\n");
        ++Failures();
    }
    return out;
}

void ShowPrintsWhatTheProgramWrote()
{
    ResetBench();
    FlashDataMap img = hidusb::ModelDefaultImage(1);
    img.reportRate = 16;
    img.dpiStageCount = 3;
    img.dpiStage = 2;
    img.dpiStages[0] = DpiStage{15, 15, 0, 10, 20, 30};
    img.dpiStages[1] = DpiStage{31, 31, 0x22, 0, 0, 0};
    img.debounce = 4;
    img.sleepTime = 30;
    img.lightMode = 3;
    img.lightR = 1;
    img.lightG = 2;
    img.lightB = 3;
    img.lightSpeed = 5;
    img.lightBrightness = 6;
    img.moveLightOff = 1;
    img.keys[0] = KeyFunction{6, 0, 255};
    img.keys[2] = KeyFunction{5, 0, 0};
    img.keyEvents[2].count = 2;
    img.keyEvents[2].events[0] = KeyEvent{0, 1, 0x06, 10};
    img.keyEvents[2].events[1] = KeyEvent{1, 1, 0x06, 10};
    MacroRecord& m = img.macros[0];
    m.nameLength = 7;
    std::memcpy(m.name, "F\xC3\xBCr \"x\"", 8);  // "Für "x"" in UTF-8: 8 bytes, length says 7
    m.eventCount = 2;
    m.events[0] = KeyEvent{0, 4, 1, 65535};
    m.events[1] = KeyEvent{1, 4, 1, 0};
    CHECK(UsbServerC_Start("hidbench/rx8k", "hidbench/rx8k", &Recorder::Callback));
    CHECK(ProtocolDataUpdate(&img));
    UsbServer_Exit();

    CHECK_STR(Tool({"show", "rx8k", "rate"}), "report-rate: 2000 Hz\n");
    CHECK_STR(Tool({"show", "1", "dpi"}),
              "dpi-stages: 3\n"
              "dpi-current: 3\n"
              "dpi 1: 750 colour 10,20,30 (x 15, y 15, flags 0x00)\n"
              "dpi 2: 3100 colour 0,0,0 (x 31, y 31, flags 0x22)\n"
              "dpi 3: 1600 colour 0,0,255 (x 32, y 32, flags 0x00)\n"
              "dpi 4: 2400 colour 255,255,0 (x 48, y 48, flags 0x00) unused\n"
              "dpi 5: 3200 colour 0,255,255 (x 64, y 64, flags 0x00) unused\n"
              "dpi 6: 6400 colour 255,0,255 (x 128, y 128, flags 0x00) unused\n"
              "dpi 7: 12800 colour 255,255,255 (x 128, y 128, flags 0x22) unused\n"
              "dpi 8: 25500 colour 255,128,0 (x 255, y 255, flags 0x22) unused\n");
    CHECK_STR(Tool({"show", "mouse1", "debounce"}), "debounce: 4\n");
    CHECK_STR(Tool({"show", "hidbench/rx8k", "sleep"}), "sleep: 300 s (30)\n");
    CHECK_STR(Tool({"show", "rx8k", "lighting"}),
              "light: mode 3 colour 1,2,3 speed 5 brightness 6 on 1\n"
              "move-light-off: 1\n"
              "dpi-light: mode 1 brightness 128 speed 3 on 1\n");
    CHECK_STR(Tool({"show", "rx8k", "keys"}),
              "key 1: 6,0,255 macro 1 repeat 255\n"
              "key 2: 1,2,0 mouse button right\n"
              "key 3: 5,0,0 key events\n"
              "key 4: 1,8,0 mouse button back\n"
              "key 5: 1,16,0 mouse button forward\n"
              "key 6: 2,1,0 DPI cycle\n");
    CHECK_STR(Tool({"show", "rx8k", "key-events"}),
              "key-events 3: 2 events: press key 0x0006 10 ms, release key 0x0006 10 ms\n");
    CHECK_STR(Tool({"show", "rx8k", "macros"}),
              "macro 1: \"F\xC3\xBCr \\\"x\" 2 events\n"
              "  1: press mouse-button 0x0001 65535 ms\n"
              "  2: release mouse-button 0x0001 0 ms\n");
    CHECK_STR(Tool({"show", "rx8k", "bytes", "0", "3"}), "10 03 02\n");
    CHECK_STR(Tool({"show", "rx8k", "profile"}), "profile: 1 of 4\n");
    std::string all = Tool({"show", "rx8k"});
    CHECK(all.find("device: mouse1 (through rx8k)\nprofile: 1 of 4\n") == 0);
    CHECK(all.find("report-rate: 2000 Hz\n") != std::string::npos);
    CHECK(all.find("macro 1: ") != std::string::npos);
    // The cable mouse was not touched.
    CHECK_STR(Tool({"show", "mouse2", "rate"}), "report-rate: 1000 Hz\n");
    CHECK_STR(Tool({"show", "mouse2", "macros"}), "macros: none\n");
    Tool({"show", "rx8k", "colour"}, 2);
    Tool({"show", "rx8k", "bytes", "10428"}, 2);
}

void ListAndManyDevices()
{
    ResetBench();
    std::string list = Tool({"list"});
    CHECK_STR(list.substr(0, list.find('\n') + 1),
              "1 id=rx8k path=hidbench/rx8k vid=7A51 pid=F080 kind=5 role=receiver-8k cid=24 mid=1 plugged=1 "
              "online=1 boot=0 address=5A,8C,21 firmware=v1.5 usb_version=v1.5 firmware_name=CDM_RX8K paired=mouse1 "
              "battery=100 charging=0 faults=none\n");
    // The cable mouse is of the second model, with that model's firmware name.
    CHECK(list.find("\n3 id=mouse2 path=hidbench/mouse2 vid=7A51 pid=F001 kind=2 role=mouse cid=24 mid=2 ") !=
          std::string::npos);
    CHECK(list.find(" firmware_name=CDM_IX90_MOUSE paired=") != std::string::npos);
    for (int i = 0; i < 12; ++i)
        Tool({"add", i % 2 ? "mouse" : "rx4k"});
    list = Tool({"list"});
    CHECK_EQ(std::count(list.begin(), list.end(), '\n'), 15);
    CHECK(list.find("15 id=mouse8 path=hidbench/mouse8 vid=7A51 pid=F001 kind=2 role=mouse") != std::string::npos);
    int count = 5;
    UsbFinderC_FindHidDevicesByDefaultDeviceId("7A51", "F001", &count);
    CHECK_EQ(count, 7);  // the cable mouse and six added ones (the count's 5 is no limit)
    count = 5;
    UsbFinderC_FindHidDevicesByDefaultDeviceId("7A51", "F040", &count);
    CHECK_EQ(count, 6);
    Tool({"add", "mouse", "id=mouse2"}, 1);  // taken
    Tool({"add", "mouse", "id=../x"}, 1);
    Tool({"add", "keyboard"}, 2);
    Tool({"remove", "mouse8"});
    CHECK(UsbFinderC_GetDeviceOnLine("hidbench/mouse8") == 0);
}

void BenchChangesReachTheLibrary()
{
    ResetBench();
    Tool({"unplug", "mouse2"});
    CHECK(UsbFinderC_GetDeviceOnLine("hidbench/mouse2") == 0);
    Tool({"plug", "3"});
    Tool({"offline", "rx8k"});
    CHECK(UsbFinderC_GetDeviceOnLine("hidbench/rx8k") == 0);
    CHECK(UsbFinderC_GetDeviceOnLine("hidbench/mouse2") == 1);
    Tool({"online", "rx8k"});
    CHECK(UsbFinderC_GetDeviceOnLine("hidbench/rx8k") == 1);
    Tool({"fault", "mouse2", "silent-id", "2"});
    CHECK(UsbFinderC_GetDeviceInfo("hidbench/mouse2").cid == 0);
    CHECK(UsbFinderC_GetDeviceInfo("hidbench/mouse2").mid == 0);
    CHECK(UsbFinderC_GetDeviceInfo("hidbench/mouse2").cid == 24);
    std::string line = Tool({"fault", "mouse2", "refuse-writes", "on"});
    CHECK(line.find("faults=silent-id:2,refuse-writes\n") != std::string::npos);
    CHECK(UsbServerC_Start("hidbench/mouse2", "hidbench/mouse2", nullptr));
    FlashDataMap img = hidusb::ModelDefaultImage(1);
    CHECK(!ProtocolDataUpdate(&img));
    Tool({"fault", "mouse2", "clear"});
    CHECK(ProtocolDataUpdate(&img));
    UsbServer_Exit();
    Tool({"firmware", "mouse2", "v1.a"});
    CHECK_EQ(UsbFinderC_GetVersion("hidbench/mouse2"), 0x010A);
    Tool({"set", "mouse2", "battery=12", "mid=1"});  // the default is mid 2
    CHECK(UsbFinderC_GetDeviceInfo("hidbench/mouse2").mid == 1);
    Tool({"set", "mouse2", "colour=red"}, 2);
    Tool({"online", "nobody"}, 1);
    Tool({"frobnicate"}, 2);
    std::string help = Tool({"help"});
    CHECK(help.find("show DEVICE [FIELD]") != std::string::npos);
    CHECK(help.find("dpi-button DEVICE") != std::string::npos);
}

void ExportImportAndFirmwareFiles()
{
    ResetBench();
    std::string file = Dir() + "/image.bin";
    Tool({"export", "rx8k", file});
    std::string data = FileBytes(file);
    CHECK_EQ(data.size(), FlashDataMapSize);
    FlashDataMap img;
    std::memcpy(&img, data.data(), sizeof img);
    FlashDataMap defaults = hidusb::ModelDefaultImage(1);
    CHECK(std::memcmp(&img, &defaults, sizeof img) == 0);
    img.debounce = 17;
    hidusb::WriteFileAtomic(file, std::string(reinterpret_cast<const char*>(&img), sizeof img));
    Tool({"import", "mouse2", file});
    CHECK_STR(Tool({"show", "mouse2", "debounce"}), "debounce: 17\n");
    img.macros[1].events[0].delay = 70000;
    hidusb::WriteFileAtomic(file, std::string(reinterpret_cast<const char*>(&img), sizeof img));
    std::string before = FileBytes(hidusb::FlashFilePath(Dir(), "mouse2"));
    Tool({"import", "mouse2", file}, 1);
    CHECK(FileBytes(hidusb::FlashFilePath(Dir(), "mouse2")) == before);

    std::string fw = Dir() + "/fw.bin";
    Tool({"make-firmware", fw, "type=keyboard", "name=CDM_RX2K"}, 2);
    Tool({"make-firmware", fw, "type=receiver", "name=CDM_RX2K", "version=2.1g"}, 2);
    Tool({"make-firmware", fw, "type=receiver", "name=CDM_RX2K", "mid=2", "version=2.1b", "size=100"});
    CHECK_STR(Tool({"firmware-info", fw}),
              "type: 211 (receiver)\nid: 24\nmid: 2\nname: CDM_RX2K\nversion: v2.1b\nlength: 828\n"
              "description: Corvane Dizadi firmware\n");
    std::string bytes = FileBytes(fw);
    bytes[900 % bytes.size()] ^= 1;
    hidusb::WriteFileAtomic(fw, bytes);
    Tool({"firmware-info", fw}, 1);
}

void TraceRecordsTheCalls()
{
    ResetBench();
    Tool({"option", "trace=on", "pair_delay_ms=10"});
    CHECK(UsbServerC_Start("hidbench/rx8k", "hidbench/rx8k", nullptr));
    UsbServer_SetPCDriverStatus(1);
    UsbServer_SetPCDriverStatus(0);
    StopUsbChanged();
    UsbServer_Exit();
    std::string log = FileBytes(Dir() + "/calls.log");
    CHECK(log.find("UsbServerC_Start hidbench/rx8k\nUsbServer_SetPCDriverStatus 1\n"
                   "UsbServer_SetPCDriverStatus 0\nStopUsbChanged\nUsbServer_Exit\n") != std::string::npos);
    Tool({"option", "trace=off"});
    UsbServer_Exit();
    CHECK(FileBytes(Dir() + "/calls.log") == log);
}

// The appended logs take only a regular file: with a link (to a file of the
// test's, live or dangling), a folder or a FIFO in the place of events.log
// or calls.log nothing is written and nothing waits; a missing log is made.
void LogsAppendOnlyToAFile()
{
    ResetBench();
    Tool({"option", "trace=on"});
    const std::string target = Dir() + "/target", gone = target + ".gone";
    const std::function<void()> writers[] = {[] { (void)hidusb::AppendEvent(Dir(), {"mouse1", "defaults", 0}); },
                                             [] { UsbServer_SetPCDriverStatus(1); }};
    const std::string logs[] = {hidusb::EventLogPath(Dir()), Dir() + "/calls.log"};
    for (int log = 0; log < 2; ++log) {
        const char* path = logs[log].c_str();
        unlink(path);
        for (int form = 0; form < 4; ++form) {
            CHECK(hidusb::WriteFileAtomic(target, "keep"));
            CHECK((form == 0 ? symlink(target.c_str(), path) : form == 1 ? symlink(gone.c_str(), path)
                   : form == 2 ? mkdir(path, 0700) : mkfifo(path, 0600)) == 0);
            auto write = std::async(std::launch::async, writers[log]);
            if (!CHECK_WAIT(write.wait_for(std::chrono::seconds(5)) == std::future_status::ready)) {
                const int reader = open(path, O_RDONLY | O_NONBLOCK);  // lets the writer go
                write.wait();
                close(reader);
            }
            CHECK(FileBytes(target) == "keep" && !hidusb::SignatureOf(gone).exists);
            CHECK(form == 2 ? rmdir(path) == 0 : unlink(path) == 0);  // still what was put there
        }
        writers[log]();
        CHECK(!FileBytes(logs[log]).empty());
    }
    Tool({"option", "trace=off"});
    UsbServer_Exit();
}

// A forced init of a folder that holds no bench yet writes the default bench
// (it once waited forever for the bench lock that it held itself).
void ForcedInitOfAnEmptyFolder()
{
    const std::string fresh = Dir() + "/fresh-bench";
    Tool({"--bench", fresh, "init", "--force"});
    CHECK(hidusb::SignatureOf(hidusb::BenchIniPath(fresh)).exists);
    const std::string list = Tool({"--bench", fresh, "list"});
    CHECK(list.find("id=rx8k") != std::string::npos);
    Tool({"--bench", fresh, "init", "--force"});
}

// A silent-identity fault injected after a forced init is seen as a new one
// by a library that saw an earlier fault on the same device.
void SilentIdentityAfterForcedInit()
{
    ResetBench();
    Tool({"fault", "mouse2", "silent-id", "1"});
    CHECK(UsbFinderC_GetDeviceInfo("hidbench/mouse2").cid == 0);
    CHECK(UsbFinderC_GetDeviceInfo("hidbench/mouse2").cid == 24);
    Tool({"init", "--force"});
    Tool({"fault", "mouse2", "silent-id", "1"});
    CHECK(UsbFinderC_GetDeviceInfo("hidbench/mouse2").cid == 0);
    CHECK(UsbFinderC_GetDeviceInfo("hidbench/mouse2").cid == 24);
}

// A writer killed mid-write leaves its temporary file behind; opening the
// bench removes the bench's own ones, but never while a writer holds the
// bench lock (they may be its live files), and never another file.
void StaleTemporariesGoWhenTheBenchIsOpened()
{
    ResetBench();
    const std::string dir = Dir();
    const std::vector<std::string> stale = {"bench.ini.tmp.a1B2c3", "mouse1.flash.tmp.Zz9yX8"};
    const std::vector<std::string> others = {"export.img.tmp.a1B2c3", "bench.ini.tmp.short", "spare.flash"};
    for (const auto* names : {&stale, &others})
        for (const std::string& name : *names)
            CHECK(hidusb::WriteFileAtomic(dir + "/" + name, "half written"));
    auto exists = [&](const std::string& name) { return hidusb::SignatureOf(dir + "/" + name).exists; };
    {
        hidusb::BenchLock writer(dir);
        Tool({"list"});
        for (const std::string& name : stale)
            CHECK(exists(name));
    }
    Tool({"list"});
    for (const std::string& name : stale)
        CHECK(!exists(name));
    for (const std::string& name : others)
        CHECK(exists(name));
}

}  // namespace

int main()
{
    ShowPrintsWhatTheProgramWrote();
    ListAndManyDevices();
    BenchChangesReachTheLibrary();
    ExportImportAndFirmwareFiles();
    TraceRecordsTheCalls();
    LogsAppendOnlyToAFile();
    ForcedInitOfAnEmptyFolder();
    SilentIdentityAfterForcedInit();
    StaleTemporariesGoWhenTheBenchIsOpened();
    return Finish("hidusb_tool");
}
