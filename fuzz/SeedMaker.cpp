// Writes the seed corpora of the fuzz targets into <corpus>/<target>/:
//   fuzz-seeds <corpus folder> <install folder>
// Binary seeds are made from the simulated devices' own images, text seeds
// are the installed files and a few variants of them. Run it again after a
// format changes (cmake --build <fuzz build> --target fuzz-seeds) and
// commit the result.
#include "BenchFirmware.h"
#include "BenchFlash.h"
#include "DeviceImage.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
std::string corpus;
std::string install;

void put(const std::string& target, const std::string& name, const Bytes& bytes)
{
    const std::string dir = corpus + "/" + target;
    mkdir(corpus.c_str(), 0755);
    mkdir(dir.c_str(), 0755);
    std::ofstream out(dir + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s/%s\n", dir.c_str(), name.c_str());
        std::exit(1);
    }
}

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        std::exit(1);
    }
    std::ostringstream s;
    s << in.rdbuf();
    return text(s.str());
}

const uint8_t* raw(const FlashDataMap& image) { return reinterpret_cast<const uint8_t*>(&image); }

// A busy image: every macro and key record full, names of 30 bytes.
FlashDataMap fullImage()
{
    FlashDataMap image = hidusb::ModelDefaultImage(1);
    image.dpiStageCount = 8;
    image.dpiStage = 7;
    for (int k = 0; k < KeyCount; ++k) {
        image.keyEvents[k].count = KeyEventRecordEvents;
        for (int e = 0; e < KeyEventRecordEvents; ++e)
            image.keyEvents[k].events[e] = KeyEvent{uint8_t(e & 1), 1, uint16_t(4 + e), 20};
        MacroRecord& m = image.macros[k];
        m.nameLength = MacroNameBytes;
        std::memset(m.name, 'A' + k, MacroNameBytes);
        m.eventCount = MacroRecordEvents;
        for (int e = 0; e < MacroRecordEvents; ++e)
            m.events[e] = KeyEvent{uint8_t(e & 1), uint8_t(e % 3), uint16_t(4 + e), uint32_t(e * 100)};
    }
    image.keys[0] = KeyFunction{6, 0, 1};   // a macro key
    image.keys[1] = KeyFunction{5, 1, 0};   // a key event record
    image.keys[2] = KeyFunction{10, 15, 0}; // DPI lock
    return image;
}

// ---- the image cache file: big-endian u32 length, then the image ----------
Bytes cacheFile(const FlashDataMap& image, uint32_t length, size_t keep)
{
    Bytes out{uint8_t(length >> 24), uint8_t(length >> 16), uint8_t(length >> 8), uint8_t(length)};
    out.insert(out.end(), raw(image), raw(image) + FlashDataMapSize);
    out.resize(4 + keep);
    return out;
}

void cacheSeeds()
{
    const char* t = "fuzz_device_cache";
    put(t, "model1", cacheFile(hidusb::ModelDefaultImage(1), 10428, 10428));
    put(t, "model2", cacheFile(hidusb::ModelDefaultImage(2), 10428, 10428));
    put(t, "full", cacheFile(fullImage(), 10428, 10428));
    put(t, "short-length", cacheFile(hidusb::ModelDefaultImage(1), 100, 100));
    Bytes longer = cacheFile(hidusb::ModelDefaultImage(1), 20000, 10428);
    longer.resize(longer.size() + 64, 0xEE);
    put(t, "long-length", longer);
    put(t, "cut", cacheFile(hidusb::ModelDefaultImage(1), 10428, 5000));
    put(t, "length-only", Bytes{0, 0, 0x28, 0xBC});
    put(t, "empty", Bytes{});
}

// ---- reports: one device byte, then records -------------------------------
struct Stream {
    Bytes bytes;
    explicit Stream(uint8_t device) { bytes.push_back(device); }
    // control: header length | 0x10 fix the dump checksum | 0x20 no data
    Stream& report(uint8_t type, uint8_t subA, uint8_t subB, const Bytes& data, uint8_t control = 8)
    {
        bytes.push_back(control);
        const uint16_t n = uint16_t(data.size());
        const Bytes header{0x5A, type, 0, subA, subB, uint8_t(n), uint8_t(n >> 8), 0};
        bytes.insert(bytes.end(), header.begin(), header.begin() + std::min<int>(control & 0x0F, 8));
        bytes.push_back(uint8_t(n));
        bytes.push_back(uint8_t(n >> 8));
        bytes.insert(bytes.end(), data.begin(), data.end());
        return *this;
    }
};

Bytes dump(const FlashDataMap& image)
{
    hidusb::Dump d{};
    if (!hidusb::EncodeDump(image, d)) {
        std::fprintf(stderr, "the seed image does not encode\n");
        std::exit(1);
    }
    return Bytes(d.begin(), d.end());
}

void reportSeeds()
{
    const char* t = "fuzz_report";
    // Device byte: bit 0 model, bits 1.. kind (0, 1, 4, 5, 2, 3).
    put(t, "fullread-model1", Stream(6).report(8, 0, 0, dump(hidusb::ModelDefaultImage(1)), 0x18).bytes);
    put(t, "fullread-model2-mouse", Stream(9).report(8, 0, 0, dump(hidusb::ModelDefaultImage(2)), 0x18).bytes);
    put(t, "fullread-full-then-small",
        Stream(6)
            .report(8, 0, 0, dump(fullImage()), 0x18)
            .report(8, 0, 0, {16})
            .report(8, 0, 4, {3})
            .report(8, 0, 76, {1, 2, 3, 1, 0, 0, 0, 0})
            .report(8, 0, 160, {2, 255, 0, 128, 3, 4, 1, 0, 0})
            .report(4, 0, 0, {55, 1})
            .bytes);
    put(t, "small-reports",
        Stream(2)
            .report(4, 0, 0, {120, 0})
            .report(10, 0, 0, {0x7F})
            .report(14, 0, 0, {2})
            .report(14, 0, 0, {})
            .report(18, 0, 0, {1, 5})
            .report(21, 0, 0, {1})
            .report(23, 0, 0, Bytes(10, 1))
            .bytes);
    put(t, "model-defaults", Stream(6).report(9, 0, 0, {}).report(8, 0, 0, dump(hidusb::ModelDefaultImage(1)), 0x18).bytes);
    put(t, "short-headers", Stream(0).report(8, 0, 4, {1}, 2).report(8, 0, 0, {8}, 4).report(4, 0, 0, {}, 0x09).bytes);
    put(t, "no-data", Stream(4).report(8, 0, 0, {1}, 0x28).report(4, 0, 0, {50, 1}, 0x28).bytes);
}

// ---- whole images -------------------------------------------------------------
void imageSeeds()
{
    const char* t = "fuzz_image";
    // Control byte: bit 0 model, bit 1 the bytes lie over the model's factory image.
    auto seed = [](uint8_t control, const FlashDataMap& image) {
        Bytes bytes{control};
        bytes.insert(bytes.end(), raw(image), raw(image) + sizeof image);
        return bytes;
    };
    put(t, "factory-model1", seed(0, hidusb::ModelDefaultImage(1)));
    FlashDataMap last = hidusb::ModelDefaultImage(2);
    last.dpiStage = last.dpiStageCount;
    put(t, "current-stage-past-count", seed(1, last));
    FlashDataMap keys = hidusb::ModelDefaultImage(1);
    for (KeyFunction& k : keys.keys)
        k = KeyFunction{0xFF, 0xFF, 0xFF};
    put(t, "keys-ff", seed(0, keys));
    put(t, "full-records", seed(0, fullImage()));
    put(t, "head-over-factory", Bytes{3, 255, 9, 9, 0, 0, 255, 255, 0, 255});
}

// ---- the settings export file: three blocks of u32 big-endian length + bytes
void block(Bytes& out, const uint8_t* bytes, size_t size)
{
    const uint32_t n = uint32_t(size);
    out.insert(out.end(), {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)});
    out.insert(out.end(), bytes, bytes + size);
}

Bytes settingsFile(const std::string& tag, const std::string& sensor, const FlashDataMap& image, size_t imageBytes)
{
    Bytes out;
    std::string t = tag, s = sensor;
    t.resize(12, '\0');
    s.resize(12, '\0');
    block(out, reinterpret_cast<const uint8_t*>(t.data()), 12);
    block(out, reinterpret_cast<const uint8_t*>(s.data()), 12);
    block(out, raw(image), imageBytes);
    return out;
}

void settingsFileSeeds()
{
    const char* t = "fuzz_settings_file";
    // Byte 0: bit 0 the model (1: AX72, 2: IX90), bits 1..7 a size near
    // the cap (64: at it, 65: one byte over), then the file.
    auto seed = [](uint8_t model, const Bytes& file, uint8_t nearCap = 0) {
        Bytes bytes{uint8_t(model | nearCap << 1)};
        bytes.insert(bytes.end(), file.begin(), file.end());
        return bytes;
    };
    put(t, "export-model1", seed(0, settingsFile("Durod", "AX72", hidusb::ModelDefaultImage(1), FlashDataMapSize)));
    put(t, "export-model2", seed(1, settingsFile("Durod", "IX90", hidusb::ModelDefaultImage(2), FlashDataMapSize)));
    put(t, "other-model", seed(1, settingsFile("Durod", "AX72", hidusb::ModelDefaultImage(1), FlashDataMapSize)));
    put(t, "full-records", seed(0, settingsFile("Durod", "AX72", fullImage(), FlashDataMapSize)));
    put(t, "short-image", seed(0, settingsFile("Durod", "AX72", hidusb::ModelDefaultImage(1), 48)));
    put(t, "other-tag", seed(0, settingsFile("Macro", "AX72", hidusb::ModelDefaultImage(1), FlashDataMapSize)));
    put(t, "export-at-cap", seed(0, settingsFile("Durod", "AX72", hidusb::ModelDefaultImage(1), FlashDataMapSize), 64));
    put(t, "export-past-cap", seed(0, settingsFile("Durod", "AX72", hidusb::ModelDefaultImage(1), FlashDataMapSize), 65));
}

// ---- text files -------------------------------------------------------------
void textSeeds()
{
    const Bytes config = readFile(install + "/usersetting/Config.ini");
    put("fuzz_config", "shipped", config);
    std::string s(config.begin(), config.end());
    std::string more = s;
    more.replace(more.find("DeviceTotal=2"), 13, "DeviceTotal=7");
    put("fuzz_config", "more-models", text(more));
    std::string odd = s;
    odd.replace(odd.find("CID=MjQ="), 8, "CID=!!not base64\\,x,\"q\"");
    put("fuzz_config", "odd-values", text(odd));
    put("fuzz_config", "small",
        text("[Option]\nDeviceTotal=1\nCID=MjQ=\nVID=N0E1MQ==\nUSB_PID=RjAwMQ==\n[Drive1]\nMID=1\n"
             "KeyParam1=0x05,0,0,Ctrl+C\n"));

    put("fuzz_language", "english", readFile(install + "/Language/0-English.xml"));
    put("fuzz_language", "chinese", readFile(install + "/Language/1-\xE7\xAE\x80\xE4\xBD\x93\xE4\xB8\xAD\xE6\x96\x87.xml"));
    put("fuzz_language", "net", readFile(install + "/Language/Net.xml"));
    put("fuzz_language", "sections",
        text("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Total><Test><label>A &amp; B</label><OK>&amp;OK</OK>"
             "<Tips>t</Tips><a><b/></a><x><y><z>deep</z></y></x></Test><DialogMain><label>second</label>"
             "</DialogMain><Test><label>last</label></Test></Total>\n"));
    put("fuzz_language", "wrong-root", text("<Other><Test><label>x</label></Test></Other>"));

    const Bytes sensor = readFile(install + "/driver_sensor.h");
    put("fuzz_sensor_defines", "shipped", sensor);
    put("fuzz_sensor_defines", "small",
        text("#define SUPPORT_LOD_CAL\tAX72|IX90\n#define SENSOR_AX72_DPI_100\t0x02\n"
             "#define SENSOR_AX72_DPI_200\t4 //comment\r\n#define SENSOR_IX90_DPI_x\t7\n#define NAME\n"
             "#define SENSOR__DPI_50\t0x01"));
    // A model's range list (four ranges, mode 0x33) beside a 10-bit sensor's table.
    put("fuzz_sensor_defines", "ranges",
        text("DPIRange=50,10000,50,10050,20000,50,20100,30000,100,30200,51200,200,0x33\n"
             "#define SENSOR_3950_DPI_50\t0x00\n#define SENSOR_3950_DPI_26000\t0x0207\n"
             "#define SENSOR_3395_DPI_2147483647\t0x01\n"));
}

// ---- macros: the per-macro text file and the export stream -------------------
void macroFileSeeds()
{
    const char* t = "fuzz_macro_file";
    put(t, "examples", text("254\n0x2B 1 0\n10ms\n0x02 0 1\n20ms\n0x01 4 0\n"));
    put(t, "crlf-no-final", text("255\r\n0x04 1 0\r\n10ms\r\n0x04 1 1"));
    put(t, "junk", text("abc\n\nhello\n0x04 1\n10 ms\n-5ms\n0x2b 1 2\n0x1234 2 0\n4294967296ms\n 7ms \r\n"));
    std::string full = "1\n";
    for (int i = 0; i < 71; ++i)
        full += "0x" + std::string(1, "0123456789ABCDEF"[(4 + i) / 16]) + std::string(1, "0123456789ABCDEF"[(4 + i) % 16])
                + " 1 " + std::to_string(i % 2) + "\n65535ms\n";
    put(t, "full", text(full));
    put(t, "empty", Bytes{});
}

// QDataStream pieces, big-endian, as the export file holds them.
void be32(Bytes& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(v >> shift));
}
void block(Bytes& out, const std::string& content, size_t size)
{
    be32(out, uint32_t(size));
    std::string padded = content.substr(0, size);
    padded.resize(size, '\0');
    out.insert(out.end(), padded.begin(), padded.end());
}
void qstring(Bytes& out, const std::u16string& s)
{
    be32(out, uint32_t(2 * s.size()));
    for (const char16_t c : s) {
        out.push_back(uint8_t(c >> 8));
        out.push_back(uint8_t(c));
    }
}
// A pixmap-engine icon with one picture: PNG signature, an IHDR and an IEND
// chunk (the import only skips it), then file name, size, mode and state.
void icon(Bytes& out)
{
    qstring(out, u"QPixmapIconEngine");
    be32(out, 1);
    be32(out, 1);
    const uint8_t png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    out.insert(out.end(), png, png + 8);
    be32(out, 13);
    const std::string ihdr = "IHDR";
    out.insert(out.end(), ihdr.begin(), ihdr.end());
    for (const uint8_t b : {0, 0, 0, 8, 0, 0, 0, 8, 8, 6, 0, 0, 0})
        out.push_back(b);
    be32(out, 0);  // CRC
    be32(out, 0);
    const std::string iend = "IEND";
    out.insert(out.end(), iend.begin(), iend.end());
    be32(out, 0xAE426082);
    qstring(out, u"/p/MacroDown.png");
    be32(out, 8);
    be32(out, 8);
    be32(out, 0);
    be32(out, 1);
}
Bytes exportStream(const std::string& name, const std::string& repeat, int32_t count, bool icons)
{
    Bytes out;
    block(out, "Durod", 12);
    block(out, name, 48);
    block(out, repeat, 12);
    be32(out, uint32_t(count));
    const std::u16string keys[] = {u"A", u"Left button", u"\uC624\uB978\uCABD \uBC84\uD2BC", u""};
    for (int i = 0; i < count; ++i) {
        if (i % 2 == 1) {
            qstring(out, u"10ms");
            icons ? icon(out) : be32(out, 0xFFFFFFFF);
            continue;
        }
        qstring(out, keys[(i / 2) % 4]);
        icons ? icon(out) : be32(out, 0xFFFFFFFF);
        block(out, i % 4 == 0 ? std::string("0") : std::string("1"), 2);
    }
    return out;
}

void macroImportSeeds()
{
    const char* t = "fuzz_macro_import";
    put(t, "rows", exportStream("macro", "254", 7, false));
    put(t, "icons", exportStream("\xE5\xAE\x8F icons", "3", 4, true));
    put(t, "no-rows", exportStream("empty", "1", 0, false));
    put(t, "full", exportStream(std::string(30, 'f'), "255", 141, false));
    Bytes cut = exportStream("cut", "253", 5, true);
    cut.resize(cut.size() - 20);
    put(t, "cut", cut);
    put(t, "wrong-tag", [] {
        Bytes b = exportStream("tag", "1", 1, false);
        b[4] = 'X';
        return b;
    }());
}

// Firmware images: a shipped one, one cut short of the length its header
// announces, one shorter than a header, one of another device.
void firmwareSeeds()
{
    const Bytes shipped = readFile(install + "/bin/CDM_RX8K_MID1_v1.5.bin");
    put("fuzz_firmware_header", "shipped", shipped);
    put("fuzz_firmware_header", "truncated", Bytes(shipped.begin(), shipped.begin() + 1000));
    put("fuzz_firmware_header", "header-only", Bytes(shipped.begin(), shipped.begin() + 728));
    put("fuzz_firmware_header", "short", Bytes(shipped.begin(), shipped.begin() + 100));
    hidusb::FirmwareInfo mouse;
    mouse.version = 0x0110;
    mouse.type = hidusb::FirmwareTypeMouse;
    mouse.id = 24;
    mouse.mid = 2;
    mouse.name = "CDM_IX90_MOUSE";
    put("fuzz_firmware_header", "mouse-1.10", hidusb::MakeFirmware(mouse, 64));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <corpus folder> <install folder>\n", argv[0]);
        return 2;
    }
    corpus = argv[1];
    install = argv[2];
    cacheSeeds();
    reportSeeds();
    imageSeeds();
    settingsFileSeeds();
    textSeeds();
    macroFileSeeds();
    macroImportSeeds();
    firmwareSeeds();
    std::printf("seeds written to %s\n", corpus.c_str());
    return 0;
}
