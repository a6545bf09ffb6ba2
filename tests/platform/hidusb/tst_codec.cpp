// The image codec: every image the program can produce comes back byte for
// byte through update -> full read -> parse; an image the device cannot
// hold, or a device that cannot take it, leaves the flash as it was.
#include "TestSupport.h"

#include <random>

using namespace t;

namespace {

// The fullest image: every byte the program can set is used, 16 macros of
// 70 events with 30-byte names, all key records, delays up to 65535 ms.
FlashDataMap FullestImage(unsigned seed)
{
    std::mt19937 rng(seed);
    auto byte = [&] { return static_cast<uint8_t>(rng() & 0xFF); };
    FlashDataMap img;
    uint8_t* p = FlashBytes(img);
    for (size_t i = 0; i < 124; ++i)  // settings, DPI stages, lights, keys, reserved
        p[i] = byte();
    static const uint16_t keyCodes[] = {0x01, 0x04, 0x1D, 0x28, 0x39, 0x4F, 0x62, 0x65, 0x80, 0xE2, 0x183, 0x22A};
    static const uint8_t macroTypes[] = {0, 1, 4};
    for (int k = 0; k < KeyCount; ++k) {
        KeyEventRecord& r = img.keyEvents[k];
        r.count = static_cast<uint8_t>(k % 7);
        r.reserved[0] = byte();
        r.reserved[1] = byte();
        r.reserved[2] = byte();
        for (int i = 0; i < KeyEventRecordEvents; ++i) {
            r.events[i].state = static_cast<uint8_t>(rng() % 2);
            r.events[i].kind = static_cast<uint8_t>(rng() % 3);
            r.events[i].code = keyCodes[rng() % 12];
            r.events[i].delay = i == 5 ? 65535 : 10;
        }
        MacroRecord& m = img.macros[k];
        m.nameLength = 30;
        for (int i = 0; i < MacroNameBytes; ++i)
            m.name[i] = static_cast<uint8_t>(0x80 | byte());  // UTF-8 bytes, no zero
        m.eventCount = 70;
        for (int i = 0; i < MacroRecordEvents; ++i) {
            m.events[i].state = static_cast<uint8_t>(i % 2);
            m.events[i].kind = macroTypes[rng() % 3];
            m.events[i].code = static_cast<uint16_t>(i == 0 ? 0xFFFF : rng() & 0xFF);
            m.events[i].delay = i == 69 ? 65535u : static_cast<uint32_t>(rng() % 65536);
        }
    }
    return img;
}

FlashDataMap ReadBack()
{
    Recorder& rec = Recorder::Get();
    rec.Clear();
    CHECK(UsbServer_ReadAllFlashData());
    FlashDataMap img;
    std::memset(&img, 0xEE, sizeof img);
    if (!rec.WaitType(8, 0)) {
        CHECK(!"no full read");
        return img;
    }
    Rec r = rec.Last(8, 0);
    CHECK_EQ(r.data.size(), DeviceDumpSize);
    CHECK_EQ(r.subA, 0);
    CHECK(r.data.size() == DeviceDumpSize && ProtocolDataParser(r.data.data(), &img));
    return img;
}

void FullestImageRoundTrip()
{
    ResetBench();
    for (const char* path : {"hidbench/mouse2", "hidbench/rx8k"}) {
        CHECK(UsbServerC_Start(path, path, &Recorder::Callback));
        FlashDataMap img = FullestImage(path[9] == 'm' ? 1 : 2);
        CHECK(ProtocolDataUpdate(&img));
        FlashDataMap back = ReadBack();
        CHECK(std::memcmp(&img, &back, sizeof img) == 0);
        UsbServer_Exit();
    }
    // The receiver wrote the flash of its mouse, not the cable mouse's.
    FlashDataMap viaReceiver = FlashImage("mouse1");
    FlashDataMap expect = FullestImage(2);
    CHECK(std::memcmp(&viaReceiver, &expect, sizeof expect) == 0);
    FlashDataMap cable = FlashImage("mouse2");
    FlashDataMap expect1 = FullestImage(1);
    CHECK(std::memcmp(&cable, &expect1, sizeof expect1) == 0);
}

void ImageTheDeviceCannotHoldIsRefusedWhole()
{
    ResetBench();
    CHECK(UsbServerC_Start("hidbench/mouse2", "hidbench/mouse2", &Recorder::Callback));
    FlashDataMap good = FullestImage(7);
    CHECK(ProtocolDataUpdate(&good));
    std::string file = hidusb::FlashFilePath(Dir(), "mouse2");
    std::string before = FileBytes(file);
    CHECK(!before.empty());

    FlashDataMap bad = good;
    bad.reportRate = 64;  // also changed, must not land
    bad.macros[15].events[69].delay = 65536;
    CHECK(!ProtocolDataUpdate(&bad));
    CHECK(FileBytes(file) == before);

    bad = good;
    bad.keyEvents[3].events[0].delay = 100000;
    CHECK(!ProtocolDataUpdate(&bad));
    bad = good;
    bad.macros[0].events[0].state = 16;
    CHECK(!ProtocolDataUpdate(&bad));
    bad = good;
    bad.keyEvents[0].events[5].kind = 200;  // an event past the count counts too
    bad.keyEvents[0].count = 0;
    CHECK(!ProtocolDataUpdate(&bad));
    CHECK(FileBytes(file) == before);
    FlashDataMap back = ReadBack();
    CHECK(std::memcmp(&good, &back, sizeof good) == 0);
    CHECK(!ProtocolDataUpdate(nullptr));
    UsbServer_Exit();
}

void DeviceThatCannotTakeItKeepsItsFlash()
{
    ResetBench();
    FlashDataMap img = FullestImage(3);
    std::string file = hidusb::FlashFilePath(Dir(), "mouse1");
    // No link.
    UsbServer_Exit();
    CHECK(!ProtocolDataUpdate(&img));
    CHECK(FileBytes(file).empty());

    CHECK(UsbServerC_Start("hidbench/rx8k", "hidbench/rx8k", &Recorder::Callback));
    // Offline mouse behind the receiver.
    EditBench([](hidusb::Bench& b) { b.Find("mouse1")->online = false; });
    CHECK(UsbFinderC_GetDeviceOnLine("hidbench/rx8k") == 0);
    CHECK(!ProtocolDataUpdate(&img));
    // Refused writes.
    EditBench([](hidusb::Bench& b) {
        b.Find("mouse1")->online = true;
        b.Find("mouse1")->refuseWrites = true;
    });
    CHECK(UsbFinderC_GetDeviceOnLine("hidbench/rx8k") == 1);
    CHECK(!ProtocolDataUpdate(&img));
    // Unplugged receiver.
    EditBench([](hidusb::Bench& b) {
        b.Find("mouse1")->refuseWrites = false;
        b.Find("rx8k")->plugged = false;
    });
    CHECK(!ProtocolDataUpdate(&img));
    CHECK(FileBytes(file).empty());
    // Back: the write lands.
    EditBench([](hidusb::Bench& b) { b.Find("rx8k")->plugged = true; });
    CHECK(ProtocolDataUpdate(&img));
    FlashDataMap stored = FlashImage("mouse1");
    CHECK(std::memcmp(&stored, &img, sizeof img) == 0);
    UsbServer_Exit();
}

void ParserRefusesDamagedDumps()
{
    hidusb::Dump dump;
    FlashDataMap img = FullestImage(9);
    CHECK(hidusb::EncodeDump(img, dump));
    FlashDataMap out;
    CHECK(ProtocolDataParser(dump.data(), &out));
    CHECK(std::memcmp(&out, &img, sizeof img) == 0);
    for (size_t at : {size_t(0), size_t(500), size_t(6779), size_t(6780), size_t(6911)}) {
        hidusb::Dump broken = dump;
        broken[at] ^= 0x40;
        FlashDataMap untouched;
        std::memset(&untouched, 0x33, sizeof untouched);
        CHECK(!ProtocolDataParser(broken.data(), &untouched));
        CHECK(FlashBytes(untouched)[100] == 0x33);
    }
    CHECK(!ProtocolDataParser(nullptr, &out));
    CHECK(!ProtocolDataParser(dump.data(), nullptr));
}

void SmallDecoders()
{
    unsigned char image[FlashDataMapSize];
    std::memset(image, 0xAA, sizeof image);
    const unsigned char dpiLed[8] = {3, 230, 4, 1, 9, 9, 9, 9};
    BufferToDPILed(dpiLed, image + 63);
    CHECK(image[62] == 0xAA && image[63] == 3 && image[64] == 230 && image[65] == 4 && image[66] == 1 &&
          image[67] == 0xAA);
    const unsigned char led[9] = {5, 10, 20, 30, 6, 7, 1, 9, 9};
    BufferToLedBar(led, image + 67);
    CHECK(image[66] == 1 && image[67] == 5 && image[68] == 10 && image[69] == 20 && image[70] == 30 &&
          image[71] == 6 && image[72] == 7 && image[73] == 1 && image[74] == 0xAA);

    unsigned char status[2] = {0, 0};
    const unsigned char battery[2] = {57, 1};
    GetDeviceBatteryStatus(battery, status);
    CHECK(status[0] == 57 && status[1] == 1);
    const unsigned char flags = 0x45;  // [0], [2], [6]
    unsigned char out[7];
    std::memset(out, 9, sizeof out);
    GetDeviceStatusChanged(&flags, out);
    CHECK(out[0] == 1 && out[1] == 0 && out[2] == 1 && out[3] == 0 && out[4] == 0 && out[5] == 0 && out[6] == 1);
}

void ReportsCarryTheirFields()
{
    ResetBench();
    CHECK(UsbServerC_Start("hidbench/mouse2", "hidbench/mouse2", &Recorder::Callback));
    FlashDataMap img = hidusb::ModelDefaultImage(1);
    img.reportRate = 16;
    img.dpiStage = 3;
    img.dpiLightMode = 2;
    img.dpiLightBrightness = 90;
    img.dpiLightSpeed = 5;
    img.dpiLightOn = 1;
    img.lightMode = 4;
    img.lightR = 1;
    img.lightG = 2;
    img.lightB = 3;
    img.lightSpeed = 8;
    img.lightBrightness = 6;
    img.lightOn = 1;
    CHECK(ProtocolDataUpdate(&img));
    Recorder& rec = Recorder::Get();
    rec.Clear();
    CHECK(UsbServer_ReadReportRate());
    CHECK(UsbServer_ReadCurrentDPI());
    CHECK(UsbServer_ReadDPILed());
    CHECK(UsbServer_ReadLedBar());
    CHECK(UsbServer_ReadBatteryLevel());
    CHECK(UsbServer_ReadVersion());
    CHECK(UsbServer_ReadConfig());
    CHECK(rec.WaitCount(7));
    auto r = rec.Take();
    if (r.size() == 7) {
        CHECK(r[0].type == 8 && r[0].subB == 0 && r[0].data.size() == 1 && r[0].data[0] == 16);
        CHECK(r[1].type == 8 && r[1].subB == 4 && r[1].data.size() == 1 && r[1].data[0] == 3);
        CHECK(r[2].type == 8 && r[2].subB == 76 && r[2].data.size() == 8);
        unsigned char bytes[FlashDataMapSize] = {};
        BufferToDPILed(r[2].data.data(), bytes + 63);
        CHECK(std::memcmp(bytes + 63, FlashBytes(img) + 63, 4) == 0);
        CHECK(r[3].type == 8 && r[3].subB == 160 && r[3].data.size() == 9);
        BufferToLedBar(r[3].data.data(), bytes + 67);
        CHECK(std::memcmp(bytes + 67, FlashBytes(img) + 67, 7) == 0);
        CHECK(r[4].type == 4);
        unsigned char status[2];
        GetDeviceBatteryStatus(r[4].data.data(), status);
        CHECK(status[0] == 100 && status[1] == 1);  // the default cable mouse charges
        CHECK(r[5].type == 18);
        CHECK(r[6].type == 14 && r[6].data.size() == 1 && r[6].data[0] == 0);
    }
    UsbServer_Exit();
}

}  // namespace

int main()
{
    FullestImageRoundTrip();
    ImageTheDeviceCannotHoldIsRefusedWhole();
    DeviceThatCannotTakeItKeepsItsFlash();
    ParserRefusesDamagedDumps();
    SmallDecoders();
    ReportsCarryTheirFields();
    return Finish("hidusb_codec");
}
