// Firmware upgrade: the sample images, progress to 100 with the new version
// stored, an injected failure ending with {7,2,0} and the device left in
// boot mode, the repair from boot mode, refused images and the second stage
// started from inside the first stage's end event.
#include "BenchFirmware.h"
#include "TestSupport.h"

#include <dirent.h>
#include <set>

using namespace t;

namespace {

struct Events {
    std::mutex m;
    std::vector<std::array<int, 3>> list;
    std::vector<std::thread::id> threads;
    std::function<void(const unsigned char*)> onEnd;

    static Events& Get()
    {
        static Events* e = new Events();
        return *e;
    }
    static void Callback(unsigned char* event)
    {
        Events& e = Get();
        std::function<void(const unsigned char*)> end;
        {
            std::lock_guard<std::mutex> lock(e.m);
            e.list.push_back({event[0], event[1], event[2]});
            e.threads.push_back(std::this_thread::get_id());
            if (event[1] == 2)
                end = e.onEnd;
        }
        if (end)
            end(event);
    }
    void Reset()
    {
        std::lock_guard<std::mutex> lock(m);
        list.clear();
        threads.clear();
        onEnd = nullptr;
    }
    int Ends()
    {
        std::lock_guard<std::mutex> lock(m);
        int n = 0;
        for (auto& e : list)
            n += e[1] == 2;
        return n;
    }
    std::vector<std::array<int, 3>> Take()
    {
        std::lock_guard<std::mutex> lock(m);
        return list;
    }
};

std::vector<uint8_t> Image(int type, const std::string& name, int mid, int version)
{
    hidusb::FirmwareInfo fw;
    fw.type = type;
    fw.id = 24;
    fw.mid = mid;
    fw.version = static_cast<uint32_t>(version);
    fw.name = name;
    return hidusb::MakeFirmware(fw, 2048);
}

const hidusb::BenchDevice* Dev(const hidusb::Bench& b, const char* id) { return b.Find(id); }

void SampleImagesAreValid()
{
    DIR* dir = opendir(HIDUSB_INSTALL_BIN);
    CHECK(dir != nullptr);
    int count = 0;
    std::set<std::string> names;
    while (dir) {
        dirent* e = readdir(dir);
        if (!e)
            break;
        std::string file = e->d_name;
        if (file.size() < 4 || file.substr(file.size() - 4) != ".bin")
            continue;
        std::string data = FileBytes(std::string(HIDUSB_INSTALL_BIN) + "/" + file);
        hidusb::FirmwareInfo fw;
        std::string why;
        CHECK(data.size() >= hidusb::FirmwareHeaderSize);
        CHECK(hidusb::ParseFirmware(reinterpret_cast<const uint8_t*>(data.data()), fw, &why));
        CHECK_EQ(fw.length, data.size());
        CHECK(fw.id == 24 && (fw.mid == 1 || fw.mid == 2) && fw.version == 0x0105);
        names.insert(fw.name + "/" + std::to_string(fw.type) + "/" + std::to_string(fw.mid));
        ++count;
    }
    if (dir)
        closedir(dir);
    CHECK_EQ(count, 10);
    for (const char* n : {"CDM_AX72_MOUSE/210/1", "CDM_IX90_MOUSE/210/2", "CDM_RX1K/211/1", "CDM_RX2K/211/1",
                          "CDM_RX4K/211/1", "CDM_RX8K/211/1", "CDM_RX1K/211/2", "CDM_RX2K/211/2", "CDM_RX4K/211/2",
                          "CDM_RX8K/211/2"})
        CHECK(names.count(n) == 1);
}

void ProgressReaches100AndSetsTheVersion()
{
    // A cabled mouse of the first model takes the first model's image.
    ResetBench(FirstModelOnCableBench());
    EditBench([](hidusb::Bench& b) { b.Find("mouse2")->firmware = 0x0104; });
    Events& ev = Events::Get();
    ev.Reset();
    auto* image = new std::vector<uint8_t>(Image(210, "CDM_AX72_MOUSE", 1, 0x0106));
    CHECK(UsbUpgrade_Start(image->data(), &Events::Callback, 10000));
    // The library keeps its own copy.
    std::fill(image->begin(), image->end(), 0xFF);
    delete image;
    CHECK(WaitFor([&] { return ev.Ends() == 1; }));
    auto list = ev.Take();
    int last = -1;
    bool ordered = true;
    for (size_t i = 0; i + 1 < list.size(); ++i) {
        ordered = ordered && list[i][0] == 7 && list[i][1] == 1 && list[i][2] > last;
        last = list[i][2];
    }
    CHECK(ordered);
    CHECK_EQ(last, 100);
    CHECK(!list.empty() && list.back() == (std::array<int, 3>{{7, 2, 1}}));
    for (auto& id : ev.threads)
        CHECK(id != std::this_thread::get_id());
    hidusb::Bench b = ReadBench();
    CHECK(Dev(b, "mouse2")->firmware == 0x0106 && Dev(b, "mouse2")->usbVersion == 0x0106 && !Dev(b, "mouse2")->boot);
    CHECK_EQ(UsbFinderC_GetVersion("hidbench/mouse2"), 0x0106);
    char** logs = UsbUpgradeC_GetLogs();
    CHECK(std::string(logs[6]) == "result: success");
    CHECK(std::string(logs[4]) == "new version: v1.6");
}

void InjectedFailureEndsWith720AndRepairWorks()
{
    ResetBench();
    EditBench([](hidusb::Bench& b) { b.Find("rx8k")->upgradeFail = 40; });
    Events& ev = Events::Get();
    ev.Reset();
    std::vector<uint8_t> image = Image(211, "CDM_RX8K", 1, 0x0107);
    CHECK(UsbUpgrade_Start(image.data(), &Events::Callback, 10000));
    CHECK(WaitFor([&] { return ev.Ends() == 1; }));
    auto list = ev.Take();
    CHECK(!list.empty() && list.back() == (std::array<int, 3>{{7, 2, 0}}));
    for (size_t i = 0; i + 1 < list.size(); ++i)
        CHECK(list[i][1] == 1 && list[i][2] < 40);
    hidusb::Bench b = ReadBench();
    CHECK(Dev(b, "rx8k")->boot && Dev(b, "rx8k")->firmware == 0x0105);
    // In boot mode the receiver is not found, but it waits for its image.
    int count = 5;
    UsbFinderC_FindHidDevicesByDefaultDeviceId("7A51", "F080", &count);
    CHECK_EQ(count, 0);
    count = 5;
    CHECK(UsbUpgradeC_FindBootDevices(image.data(), &count));
    CHECK_EQ(count, 1);
    std::vector<uint8_t> other = Image(211, "CDM_RX4K", 1, 0x0107);
    count = 5;
    CHECK(!UsbUpgradeC_FindBootDevices(other.data(), &count));
    CHECK_EQ(count, 0);
    char** logs = UsbUpgradeC_GetLogs();
    int filled = 0;
    for (int i = 0; i < 8; ++i)
        filled += logs[i] && logs[i][0];
    CHECK_EQ(filled, 8);
    CHECK(std::string(logs[6]).find("failed") != std::string::npos);

    // Repair: the fault is gone, the boot-mode receiver takes the image.
    CHECK_EQ(RunTool({"fault", "rx8k", "upgrade-fail", "off"}), 0);
    ev.Reset();
    CHECK(UsbUpgrade_Start(image.data(), &Events::Callback, 10000));
    CHECK(WaitFor([&] { return ev.Ends() == 1; }));
    CHECK(ev.Take().back() == (std::array<int, 3>{{7, 2, 1}}));
    b = ReadBench();
    CHECK(!Dev(b, "rx8k")->boot && Dev(b, "rx8k")->firmware == 0x0107);
    int slave = 0;
    CHECK(UsbFinderC_GetSlaveVersion("hidbench/rx8k", &slave) && slave == 0x0107);
}

void RefusedImagesEndAtOnce()
{
    // The image below fits the cabled mouse of the first model.
    ResetBench(FirstModelOnCableBench());
    Events& ev = Events::Get();
    auto refused = [&](const uint8_t* image) {
        ev.Reset();
        CHECK(!UsbUpgrade_Start(image, &Events::Callback, 10000));
        CHECK(WaitFor([&] { return ev.Ends() == 1; }));
        auto list = ev.Take();
        CHECK(list.size() == 1 && list[0] == (std::array<int, 3>{{7, 2, 0}}));
    };
    std::vector<uint8_t> good = Image(210, "CDM_AX72_MOUSE", 1, 0x0109);
    std::vector<uint8_t> bad = good;
    bad[800] ^= 1;  // checksum
    refused(bad.data());
    bad = good;
    bad[0] = 'X';  // magic
    refused(bad.data());
    // Only the first 16 bytes are read when they state an impossible length
    // (the buffer is exactly 16 bytes: a read past it is caught by ASan).
    auto* shortImage = new uint8_t[16];
    std::memcpy(shortImage, good.data(), 16);
    shortImage[4] = 100;
    shortImage[5] = shortImage[6] = shortImage[7] = 0;
    refused(shortImage);
    shortImage[7] = 0x40;  // 1 GiB
    refused(shortImage);
    int count = 5;
    CHECK(!UsbUpgradeC_FindBootDevices(shortImage, &count) && count == 0);
    delete[] shortImage;
    refused(Image(210, "CDM_IX90_MOUSE", 1, 0x0109).data());  // no device of that name
    refused(Image(210, "CDM_AX72_MOUSE", 2, 0x0109).data());  // no device of that model
    CHECK_EQ(RunTool({"add", "mouse", "id=twin"}), 0);
    refused(good.data());  // two cable mice take it: which one is unclear
    CHECK(std::string(UsbUpgradeC_GetLogs()[1]).find("more than one") != std::string::npos);
    ev.Reset();
    CHECK(!UsbUpgrade_Start(nullptr, &Events::Callback, 10000));
    CHECK(WaitFor([&] { return ev.Ends() == 1; }));
}

void SecondStageFromTheEndEvent()
{
    ResetBench();
    EditBench([](hidusb::Bench& b) { b.upgradeStepMs = 3; });
    Events& ev = Events::Get();
    ev.Reset();
    static std::vector<uint8_t> mouseImage;
    mouseImage = Image(210, "CDM_IX90_MOUSE", 2, 0x0108);  // the cabled mouse's model
    std::atomic<bool> secondAccepted{false};
    {
        std::lock_guard<std::mutex> lock(ev.m);
        ev.onEnd = [&](const unsigned char* e) {
            if (e[2] == 1 && !secondAccepted)
                secondAccepted = UsbUpgrade_Start(mouseImage.data(), &Events::Callback, 10000);
        };
    }
    std::vector<uint8_t> receiverImage = Image(211, "CDM_RX8K", 1, 0x0108);
    CHECK(UsbUpgrade_Start(receiverImage.data(), &Events::Callback, 10000));
    // While one runs, another start is refused without disturbing it.
    CHECK(!UsbUpgrade_Start(receiverImage.data(), &Events::Callback, 10000));
    CHECK(WaitFor([&] { return ev.Ends() == 2; }));
    CHECK(secondAccepted);
    Sleep(20);
    CHECK_EQ(ev.Ends(), 2);
    hidusb::Bench b = ReadBench();
    CHECK(Dev(b, "rx8k")->firmware == 0x0108 && Dev(b, "mouse2")->firmware == 0x0108);
    ev.Reset();
}

}  // namespace

int main()
{
    SampleImagesAreValid();
    ProgressReaches100AndSetsTheVersion();
    InjectedFailureEndsWith720AndRepairWorks();
    RefusedImagesEndAtOnce();
    SecondStageFromTheEndEvent();
    return Finish("hidusb_upgrade");
}
