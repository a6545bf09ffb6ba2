// Discovery: the default bench written on first use, the finder, identity
// with the silent fault, online and address, versions, the receiver calls
// and the USB change notice.
#include "TestSupport.h"

#include <set>
#include <sys/stat.h>

using namespace t;

namespace {

std::vector<std::string> Find(const char* vid, const char* pid)
{
    int count = 5;
    char** paths = UsbFinderC_FindHidDevicesByDefaultDeviceId(vid, pid, &count);
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i)
        out.push_back(paths[i]);
    return out;
}

void DefaultBenchOnFirstUse()
{
    // The runner gives every test an empty bench folder: the first call
    // writes the default bench.
    struct stat st;
    CHECK(stat((Dir() + "/bench.ini").c_str(), &st) != 0);
    auto receivers = Find("7A51", "F080");
    CHECK(stat((Dir() + "/bench.ini").c_str(), &st) == 0);
    CHECK(receivers.size() == 1 && receivers[0] == "hidbench/rx8k");
    auto cable = Find("7a51", "f001");  // case does not matter
    CHECK(cable.size() == 1 && cable[0] == "hidbench/mouse2");
    CHECK(Find("7A51", "F002").empty());
    CHECK(Find("7A52", "F001").empty());
    CHECK(Find("0x7A51", "F010").empty());

    DeviceIdentity rx = UsbFinderC_GetDeviceInfo("hidbench/rx8k");
    CHECK(rx.cid == 24 && rx.mid == 1 && rx.type == 5);
    // The cabled mouse is of the second model, so the list shows it beside
    // the receiver (a cabled mouse of the first model would hide it).
    DeviceIdentity m = UsbFinderC_GetDeviceInfo("hidbench/mouse2");
    CHECK(m.cid == 24 && m.mid == 2 && (m.type & 0xFA) != 0);
    CHECK(UsbFinderC_GetDeviceOnLine("hidbench/rx8k") == 1);
    CHECK(UsbFinderC_GetDeviceOnLine("hidbench/mouse2") == 1);
    // The wireless mouse is not on the bus by itself.
    DeviceIdentity none = UsbFinderC_GetDeviceInfo("hidbench/mouse1");
    CHECK(none.cid == 0 && none.mid == 0);
    CHECK(UsbFinderC_GetDeviceOnLine("hidbench/mouse1") == 0);
    CHECK(UsbFinderC_GetDeviceOnLine(nullptr) == 0);

    // The shipped model defaults are in the flash of a new device.
    FlashDataMap img = FlashImage("mouse1");
    CHECK(img.reportRate == 1 && img.dpiStageCount == 6 && img.dpiStage == 1);
    CHECK(img.dpiStages[0].xCode == 8 && img.dpiStages[0].r == 255 && img.dpiStages[1].g == 255);
    CHECK(img.dpiStages[7].xCode == 0xFF && img.dpiStages[7].flags == 0x22);
    CHECK(img.keys[0].type == 1 && img.keys[0].value1 == 1 && img.keys[5].type == 2 && img.keys[5].value1 == 1);
    FlashDataMap ix = hidusb::ModelDefaultImage(2);
    CHECK(ix.keys[4].type == 5 && ix.keyEvents[4].count == 2 && ix.keyEvents[4].events[0].code == 0xCD);
    CHECK(ix.keys[5].type == 5 && ix.keyEvents[5].count == 4 && ix.keyEvents[5].events[1].code == 0x06);
}

void FinderStorageAndAttributes()
{
    ResetBench();
    int count = 5;
    char** a = UsbFinderC_FindHidDevicesByDeviceId("7A51", "F080", 1, 5, &count);
    CHECK(count == 1 && std::string(a[0]) == "hidbench/rx8k");
    // The array stays valid on this thread until the next find call here,
    // whatever other threads find meanwhile.
    std::thread([] {
        int c = 5;
        UsbFinderC_FindHidDevicesByDefaultDeviceId("7A51", "F001", &c);
    }).join();
    CHECK(std::string(a[0]) == "hidbench/rx8k");
    count = 5;
    UsbFinderC_FindHidDevicesByDefaultDeviceId(nullptr, "F080", &count);
    CHECK(count == 0);

    unsigned char attr[12] = {};
    CHECK(UsbFinderC_GetUsbDeviceAttribute("hidbench/rx8k", attr));
    CHECK((attr[8] | (attr[9] << 8)) == 0x0105);
    CHECK((attr[0] | (attr[1] << 8)) == 0x7A51 && (attr[2] | (attr[3] << 8)) == 0xF080);
    unsigned char untouched[12];
    std::memset(untouched, 0x11, sizeof untouched);
    CHECK(!UsbFinderC_GetUsbDeviceAttribute("hidbench/none", untouched));
    CHECK(untouched[8] == 0x11);

    CHECK_EQ(UsbFinderC_GetVersion("hidbench/rx8k"), 0x0105);  // its mouse
    int slave = 0;
    CHECK(UsbFinderC_GetSlaveVersion("hidbench/rx8k", &slave) && slave == 0x0105);
    CHECK(!UsbFinderC_GetSlaveVersion("hidbench/mouse2", &slave));
    EditBench([](hidusb::Bench& b) {
        b.Find("mouse1")->firmware = 0x0203;
        b.Find("rx8k")->firmware = 0x010A;
    });
    CHECK_EQ(UsbFinderC_GetVersion("hidbench/rx8k"), 0x0203);
    CHECK(UsbFinderC_GetSlaveVersion("hidbench/rx8k", &slave) && slave == 0x010A);
}

void OnlineAndAddress()
{
    ResetBench();
    unsigned char buf[10];
    std::memset(buf, 0x77, sizeof buf);
    CHECK(UsbFinderC_GetDeviceOnLineWithUsbAddress("hidbench/rx8k", buf) == 1);
    CHECK(buf[0] == 0 && buf[5] == 0 && buf[6] == 1 && buf[7] == 0x5A && buf[8] == 0x8C && buf[9] == 0x21);
    EditBench([](hidusb::Bench& b) { b.Find("mouse1")->online = false; });
    std::memset(buf, 0x77, sizeof buf);
    CHECK(UsbFinderC_GetDeviceOnLineWithUsbAddress("hidbench/rx8k", buf) == 0);
    CHECK(buf[6] == 0 && buf[7] == 0x5A);  // the receiver still knows its address
    std::memset(buf, 0x77, sizeof buf);
    CHECK(UsbFinderC_GetDeviceOnLineWithUsbAddress("hidbench/gone", buf) == 0);
    for (unsigned char b : buf)  // always bytes 0..9
        CHECK(b == 0);
    CHECK(UsbFinderC_GetDeviceOnLineWithUsbAddress("hidbench/mouse2", buf) == 1);
    CHECK(buf[7] == 0x3C && buf[8] == 0x71 && buf[9] == 0x9E);
    EditBench([](hidusb::Bench& b) { b.Find("mouse2")->online = false; });
    CHECK(UsbFinderC_GetDeviceOnLine("hidbench/mouse2") == 0);
    CHECK_EQ(UsbFinderC_GetVersion("hidbench/mouse2"), 0);
}

void SilentIdentityForKQueries()
{
    ResetBench();
    EditBench([](hidusb::Bench& b) {
        b.Find("mouse2")->silentId = 3;
        b.Find("mouse2")->silentIdSerial = 1;
    });
    for (int i = 0; i < 3; ++i) {
        DeviceIdentity id = UsbFinderC_GetDeviceInfo("hidbench/mouse2");
        CHECK(id.cid == 0 && id.mid == 0 && id.type == 2);
    }
    DeviceIdentity id = UsbFinderC_GetDeviceInfo("hidbench/mouse2");
    CHECK(id.cid == 24 && id.mid == 2);  // its own model, not the receiver's
    // Armed again (a new serial): silent again.
    EditBench([](hidusb::Bench& b) {
        b.Find("mouse2")->silentId = 1;
        b.Find("mouse2")->silentIdSerial = 2;
    });
    CHECK(UsbFinderC_GetDeviceInfo("hidbench/mouse2").cid == 0);
    CHECK(UsbFinderC_GetDeviceInfo("hidbench/mouse2").cid == 24);
    CHECK(UsbFinderC_GetDeviceInfo("hidbench/rx8k").cid == 24);  // others unaffected
}

void ReceiverCalls()
{
    ResetBench();
    DongleRGB rgb;
    CHECK(UsbFinderC_Get4KDongleRGBValue("hidbench/rx8k", &rgb));
    CHECK(rgb.data[0] == 1);
    DongleRGB set{{3, 10, 20, 30, 4, 5, 6, 7, 8, 9}};
    CHECK(UsbFinderC_Set4KDongleRGB("hidbench/rx8k", &set));
    DongleRGB got{};
    CHECK(UsbFinderC_Get4KDongleRGBValue("hidbench/rx8k", &got));
    CHECK(std::memcmp(got.data, set.data, 10) == 0);
    CHECK(!UsbFinderC_Set4KDongleRGB("hidbench/mouse2", &set));  // not a receiver
    CHECK(!UsbFinderC_Set4KDongleRGB("hidbench/rx8k", nullptr));

    unsigned char reply = 's';
    CHECK(UsbFinderC_GetLongRangeMode("hidbench/rx8k", &reply) && reply == 0);
    CHECK(UsbFinderC_SetLongRangeMode("hidbench/rx8k", 1));
    CHECK(UsbFinderC_GetLongRangeMode("hidbench/rx8k", &reply) && reply != 0 && reply != 's');
    CHECK(!UsbFinderC_SetLongRangeMode("hidbench/rx8k", 7));
    reply = 's';
    CHECK(!UsbFinderC_GetLongRangeMode("hidbench/mouse2", &reply) && reply == 's');
    // Stored in the bench: another process sees it.
    hidusb::Bench b = ReadBench();
    CHECK(b.Find("rx8k")->longRange == 1 && b.Find("rx8k")->dongleLight[0] == 3);

    // Receiver id to the cable mouse: bytes 9, 8, 7 of the address reply.
    unsigned char record[5] = {0x21, 0x8C, 0x5A, 0, 4};
    CHECK(UsbFinderC_SetDongleIDToMouse("hidbench/mouse2", record));
    b = ReadBench();
    CHECK(b.Find("mouse2")->address == (std::array<uint8_t, 3>{{0x5A, 0x8C, 0x21}}));
    CHECK(b.Find("rx8k")->paired == "mouse2");
    CHECK(!UsbFinderC_SetDongleIDToMouse("hidbench/rx8k", record));

    // A refusing receiver keeps its settings.
    EditBench([](hidusb::Bench& bb) { bb.Find("rx8k")->refuseWrites = true; });
    CHECK(!UsbFinderC_SetLongRangeMode("hidbench/rx8k", 0));
    CHECK(UsbFinderC_GetLongRangeMode("hidbench/rx8k", &reply) && reply == 1);
}

std::atomic<int> g_changes{0};
std::atomic<int> g_other{0};
std::atomic<bool> g_wrongThread{false};
std::thread::id g_main;

void ChangeNoticeOncePerChange()
{
    ResetBench();
    g_main = std::this_thread::get_id();
    g_changes = 0;
    StartUsbChanged(
        [] {
            if (std::this_thread::get_id() == g_main)
                g_wrongThread = true;
            ++g_changes;
        },
        20);
    // The first call tells a new callback what is attached.
    CHECK(WaitFor([] { return g_changes.load() == 1; }));
    Sleep(100);
    CHECK_EQ(g_changes.load(), 1);
    // Going offline is no change of the attached set.
    EditBench([](hidusb::Bench& b) { b.Find("mouse1")->online = false; });
    Sleep(100);
    CHECK_EQ(g_changes.load(), 1);
    // Unplug, plug, boot mode: one call each.
    EditBench([](hidusb::Bench& b) { b.Find("mouse2")->plugged = false; });
    CHECK(WaitFor([] { return g_changes.load() == 2; }));
    Sleep(100);
    CHECK_EQ(g_changes.load(), 2);
    CHECK(Find("7A51", "F001").empty());
    EditBench([](hidusb::Bench& b) { b.Find("mouse2")->plugged = true; });
    CHECK(WaitFor([] { return g_changes.load() == 3; }));
    EditBench([](hidusb::Bench& b) { b.Find("rx8k")->boot = true; });
    CHECK(WaitFor([] { return g_changes.load() == 4; }));
    Sleep(100);
    CHECK_EQ(g_changes.load(), 4);
    CHECK(!g_wrongThread);

    // A later registration replaces the callback (and hears the present set).
    g_other = 0;
    StartUsbChanged([] { ++g_other; }, 20);
    CHECK(WaitFor([] { return g_other.load() == 1; }));
    EditBench([](hidusb::Bench& b) { b.Find("rx8k")->boot = false; });
    CHECK(WaitFor([] { return g_other.load() == 2; }));
    Sleep(60);
    CHECK_EQ(g_changes.load(), 4);

    StopUsbChanged();
    StopUsbChanged();  // twice is fine
    EditBench([](hidusb::Bench& b) { b.Find("mouse2")->plugged = false; });
    Sleep(100);
    CHECK_EQ(g_other.load(), 2);
}

}  // namespace

int main()
{
    DefaultBenchOnFirstUse();
    FinderStorageAndAttributes();
    OnlineAndAddress();
    SilentIdentityForKQueries();
    ReceiverCalls();
    ChangeNoticeOncePerChange();
    return Finish("hidusb_discovery");
}
