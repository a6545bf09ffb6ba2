#include "BenchFlash.h"

#include "BenchModel.h"

#include <cstring>

namespace hidusb {

namespace {

constexpr size_t SettingsBytes = offsetof(FlashDataMap, keyEvents);  // image bytes 0..123 kept as they are
constexpr size_t EventBytes = 5;
constexpr size_t KeyRecordBytes = 1 + 3 + KeyEventRecordEvents * EventBytes;         // 34
constexpr size_t MacroBytes = 1 + MacroNameBytes + 1 + MacroRecordEvents * EventBytes;  // 382
constexpr size_t KeyRecordsAt = SettingsBytes;
constexpr size_t MacrosAt = KeyRecordsAt + KeyCount * KeyRecordBytes;  // 668
constexpr size_t TrailerAt = MacrosAt + KeyCount * MacroBytes;        // 6780
constexpr size_t CrcAt = DeviceDumpSize - 4;                          // 6908
static_assert(TrailerAt + 8 <= CrcAt, "the device memory holds every record");
constexpr uint8_t DumpMagic[4] = {'D', 'Z', 'D', 'P'};
constexpr uint8_t DumpLayoutVersion = 1;

constexpr uint8_t FlashMagic[4] = {'D', 'Z', 'F', 'L'};
constexpr size_t FlashHeaderBytes = 16;

void Put16(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t Get16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t Get32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }

bool Packable(const KeyEvent& e) { return e.state <= 15 && e.kind <= 15 && e.delay <= MaxEventDelay; }

void PackEvent(const KeyEvent& e, uint8_t* p)
{
    p[0] = static_cast<uint8_t>((e.state & 0x0F) | (e.kind << 4));
    Put16(p + 1, e.code);
    Put16(p + 3, e.delay);
}

KeyEvent UnpackEvent(const uint8_t* p)
{
    KeyEvent e;
    e.state = p[0] & 0x0F;
    e.kind = p[0] >> 4;
    e.code = static_cast<uint16_t>(Get16(p + 1));
    e.delay = Get16(p + 3);
    return e;
}

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc)
{
    static const struct Table {
        uint32_t t[256];
        Table()
        {
            for (uint32_t i = 0; i < 256; ++i) {
                uint32_t c = i;
                for (int k = 0; k < 8; ++k)
                    c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
                t[i] = c;
            }
        }
    } table;
    crc = ~crc;
    for (size_t i = 0; i < size; ++i)
        crc = table.t[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

bool EncodeDump(const FlashDataMap& image, Dump& out)
{
    // Check everything first: a refused image leaves nothing half written.
    for (const auto& rec : image.keyEvents)
        for (const auto& e : rec.events)
            if (!Packable(e))
                return false;
    for (const auto& m : image.macros)
        for (const auto& e : m.events)
            if (!Packable(e))
                return false;

    Dump d{};
    std::memcpy(d.data(), FlashBytes(image), SettingsBytes);
    for (int k = 0; k < KeyCount; ++k) {
        const KeyEventRecord& rec = image.keyEvents[k];
        uint8_t* p = d.data() + KeyRecordsAt + k * KeyRecordBytes;
        p[0] = rec.count;
        std::memcpy(p + 1, rec.reserved, 3);
        for (int i = 0; i < KeyEventRecordEvents; ++i)
            PackEvent(rec.events[i], p + 4 + i * EventBytes);
    }
    for (int k = 0; k < KeyCount; ++k) {
        const MacroRecord& m = image.macros[k];
        uint8_t* p = d.data() + MacrosAt + k * MacroBytes;
        p[0] = m.nameLength;
        std::memcpy(p + 1, m.name, MacroNameBytes);
        p[1 + MacroNameBytes] = m.eventCount;
        for (int i = 0; i < MacroRecordEvents; ++i)
            PackEvent(m.events[i], p + 2 + MacroNameBytes + i * EventBytes);
    }
    std::memcpy(d.data() + TrailerAt, DumpMagic, 4);
    d[TrailerAt + 4] = DumpLayoutVersion;
    Put32(d.data() + CrcAt, Crc32(d.data(), CrcAt));
    out = d;
    return true;
}

bool DecodeDump(const uint8_t* dump, FlashDataMap& image)
{
    if (!dump)
        return false;
    if (std::memcmp(dump + TrailerAt, DumpMagic, 4) != 0 || dump[TrailerAt + 4] != DumpLayoutVersion)
        return false;
    if (Get32(dump + CrcAt) != Crc32(dump, CrcAt))
        return false;
    FlashDataMap img;
    std::memset(&img, 0, sizeof img);
    std::memcpy(FlashBytes(img), dump, SettingsBytes);
    for (int k = 0; k < KeyCount; ++k) {
        KeyEventRecord& rec = img.keyEvents[k];
        const uint8_t* p = dump + KeyRecordsAt + k * KeyRecordBytes;
        rec.count = p[0];
        std::memcpy(rec.reserved, p + 1, 3);
        for (int i = 0; i < KeyEventRecordEvents; ++i)
            rec.events[i] = UnpackEvent(p + 4 + i * EventBytes);
    }
    for (int k = 0; k < KeyCount; ++k) {
        MacroRecord& m = img.macros[k];
        const uint8_t* p = dump + MacrosAt + k * MacroBytes;
        m.nameLength = p[0];
        std::memcpy(m.name, p + 1, MacroNameBytes);
        m.eventCount = p[1 + MacroNameBytes];
        for (int i = 0; i < MacroRecordEvents; ++i)
            m.events[i] = UnpackEvent(p + 2 + MacroNameBytes + i * EventBytes);
    }
    image = img;
    return true;
}

FlashDataMap ModelDefaultImage(int mid)
{
    FlashDataMap img;
    std::memset(&img, 0, sizeof img);
    img.reportRate = 1;  // 1000 Hz
    img.dpiStageCount = 6;
    img.dpiStage = 1;
    img.liftOff = 1;
    img.debounce = 8;
    img.sleepTime = 6;  // 60 s
    struct Stage {
        uint8_t code, flags;
    };
    // Register codes of the DPI grades of Config.ini as both sensors take
    // them (driver_sensor.h): code = DPI / 50; above the first DPI range
    // (12750 on the AX72, 3200 on the IX90) flags 0x22 double the step.
    static const Stage ax72[DpiStageCount] = {{0x08, 0}, {0x10, 0}, {0x20, 0},    {0x30, 0},
                                              {0x40, 0}, {0x80, 0}, {0x80, 0x22}, {0xFF, 0x22}};
    static const Stage ix90[DpiStageCount] = {{0x08, 0}, {0x10, 0}, {0x20, 0},    {0x40, 0},
                                              {0x40, 0x22}, {0x78, 0x22}, {0x78, 0x22}, {0x78, 0x22}};
    static const uint8_t colours[DpiStageCount][3] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},     {255, 255, 0},
                                                      {0, 255, 255}, {255, 0, 255}, {255, 255, 255}, {255, 128, 0}};
    const Stage* stages = mid == 2 ? ix90 : ax72;
    for (int i = 0; i < DpiStageCount; ++i) {
        img.dpiStages[i] = DpiStage{stages[i].code, stages[i].code, stages[i].flags, colours[i][0], colours[i][1],
                                    colours[i][2]};
    }
    img.dpiLightMode = 1;
    img.dpiLightBrightness = 128;
    img.dpiLightSpeed = 3;
    img.dpiLightOn = 1;
    img.lightMode = 1;
    img.lightR = 255;
    img.lightG = 128;
    img.lightB = 0;
    img.lightSpeed = 4;
    img.lightBrightness = 9;
    img.lightOn = 1;
    static const KeyFunction keys[6] = {{1, 1, 0}, {1, 2, 0}, {1, 4, 0}, {1, 8, 0}, {1, 16, 0}, {2, 1, 0}};
    for (int k = 0; k < 6; ++k)
        img.keys[k] = keys[k];
    if (mid == 2) {
        // Keys 5 and 6 of this model leave the factory as play/pause and Ctrl+C.
        img.keys[4] = KeyFunction{5, 0, 0};
        KeyEventRecord& play = img.keyEvents[4];
        play.count = 2;
        play.events[0] = KeyEvent{0, 2, 0x00CD, 10};
        play.events[1] = KeyEvent{1, 2, 0x00CD, 10};
        img.keys[5] = KeyFunction{5, 0, 0};
        KeyEventRecord& copy = img.keyEvents[5];
        copy.count = 4;
        copy.events[0] = KeyEvent{0, 0, 0x01, 10};
        copy.events[1] = KeyEvent{0, 1, 0x06, 10};
        copy.events[2] = KeyEvent{1, 1, 0x06, 10};
        copy.events[3] = KeyEvent{1, 0, 0x01, 10};
    }
    return img;
}

FlashMemory DefaultFlash(int mid)
{
    FlashMemory f;
    Dump d{};
    EncodeDump(ModelDefaultImage(mid), d);
    for (auto& p : f.profiles)
        p = d;
    f.current = 0;
    return f;
}

std::string FlashFilePath(const std::string& dir, const std::string& id) { return dir + "/" + id + ".flash"; }

FlashMemory ReadFlash(const std::string& dir, const std::string& id, int mid)
{
    std::string data;
    if (!ValidDeviceId(id) || !ReadWholeFile(FlashFilePath(dir, id), data))
        return DefaultFlash(mid);
    const size_t want = FlashHeaderBytes + ProfileCount * DeviceDumpSize;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(data.data());
    if (data.size() != want || std::memcmp(p, FlashMagic, 4) != 0 || Get16(p + 4) != 1 || p[6] != ProfileCount ||
        p[7] >= ProfileCount || Get32(p + 8) != Crc32(p + FlashHeaderBytes, want - FlashHeaderBytes))
        return DefaultFlash(mid);
    FlashMemory f;
    f.current = p[7];
    for (int i = 0; i < ProfileCount; ++i)
        std::memcpy(f.profiles[i].data(), p + FlashHeaderBytes + i * DeviceDumpSize, DeviceDumpSize);
    return f;
}

bool WriteFlash(const std::string& dir, const std::string& id, const FlashMemory& flash)
{
    if (!ValidDeviceId(id) || flash.current < 0 || flash.current >= ProfileCount)
        return false;
    std::string data(FlashHeaderBytes + ProfileCount * DeviceDumpSize, '\0');
    uint8_t* p = reinterpret_cast<uint8_t*>(&data[0]);
    std::memcpy(p, FlashMagic, 4);
    Put16(p + 4, 1);
    p[6] = ProfileCount;
    p[7] = static_cast<uint8_t>(flash.current);
    for (int i = 0; i < ProfileCount; ++i)
        std::memcpy(p + FlashHeaderBytes + i * DeviceDumpSize, flash.profiles[i].data(), DeviceDumpSize);
    Put32(p + 8, Crc32(p + FlashHeaderBytes, data.size() - FlashHeaderBytes));
    return WriteFileAtomic(FlashFilePath(dir, id), data);
}

FlashDataMap CurrentImage(const FlashMemory& flash)
{
    FlashDataMap img;
    if (!DecodeDump(flash.profiles[flash.current].data(), img))
        std::memset(&img, 0, sizeof img);
    return img;
}

}  // namespace hidusb
