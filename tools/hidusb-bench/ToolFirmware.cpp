// Firmware image commands: make one image, make the sample set shipped in
// install/bin, print an image's header.
#include "BenchFirmware.h"
#include "Tool.h"

using namespace hidusb;

namespace bench {

namespace {

constexpr uint32_t SampleBodySize = 4096;
constexpr int SampleCid = 24;

std::vector<uint8_t> ReadImage(const std::string& file)
{
    std::string data;
    if (!ReadWholeFile(file, data))
        Fail("cannot read " + file);
    return std::vector<uint8_t>(data.begin(), data.end());
}

void Write(const std::string& file, const std::vector<uint8_t>& image)
{
    if (!WriteFileAtomic(file, std::string(image.begin(), image.end()), 0644))
        Fail("cannot write " + file);
}

int MakeOne(const Args& args, std::ostream& out)
{
    const char* usage = "usage: hidusb-bench make-firmware FILE type=mouse|receiver name=NAME [cid=24] [mid=1] "
                        "[version=1.5] [size=4096] [description=TEXT]";
    if (args.size() < 2)
        Usage(usage);
    FirmwareInfo fw;
    fw.id = SampleCid;
    fw.mid = 1;
    fw.version = 0x0105;
    fw.description = "Corvane Dizadi firmware";
    int size = SampleBodySize;
    bool haveType = false;
    for (size_t i = 2; i < args.size(); ++i) {
        auto eq = args[i].find('=');
        if (eq == std::string::npos)
            Usage(usage);
        std::string k = args[i].substr(0, eq), v = args[i].substr(eq + 1);
        int n = 0;
        if (k == "type") {
            fw.type = v == "mouse" || v == "210" ? FirmwareTypeMouse
                      : v == "receiver" || v == "211" ? FirmwareTypeReceiver
                                                      : 0;
            haveType = fw.type != 0;
        } else if (k == "name" && v.size() <= 64) {
            fw.name = v;
        } else if (k == "description" && v.size() <= 63) {
            fw.description = v;
        } else if (k == "cid" && ParseInt(v, n) && n >= 0) {
            fw.id = n & 0xFF;
        } else if (k == "mid" && ParseInt(v, n) && n >= 0 && n <= 255) {
            fw.mid = n;
        } else if (k == "version" && (n = ParseVersion(v)) >= 0) {
            fw.version = static_cast<uint32_t>(n);
        } else if (k == "size" && ParseInt(v, n) && n >= 0 && n <= int(FirmwareMaxSize - FirmwareHeaderSize)) {
            size = n;
        } else {
            Usage(usage);
        }
    }
    if (!haveType || fw.name.empty())
        Usage(usage);
    Write(args[1], MakeFirmware(fw, static_cast<uint32_t>(size)));
    out << args[1] << "\n";
    return 0;
}

// The images shipped beside the program: the mouse of each model and the
// four receivers of each model.
int MakeSet(const Args& args, std::ostream& out)
{
    if (args.size() < 2)
        Usage("usage: hidusb-bench make-firmware-set DIR [version=1.5]");
    int version = 0x0105;
    if (args.size() > 2) {
        if (args[2].compare(0, 8, "version=") != 0 || (version = ParseVersion(args[2].substr(8))) < 0)
            Usage("usage: hidusb-bench make-firmware-set DIR [version=1.5]");
    }
    if (!EnsureBenchDir(args[1]))
        Fail("cannot create " + args[1]);
    std::string v = VersionText(version);
    struct Item {
        int type, mid, kind;
    };
    std::vector<Item> items = {{FirmwareTypeMouse, 1, 2}, {FirmwareTypeMouse, 2, 2}};
    for (int mid : {1, 2})
        for (int kind : {0, 4, 1, 5})
            items.push_back({FirmwareTypeReceiver, mid, kind});
    for (const Item& it : items) {
        FirmwareInfo fw;
        fw.type = it.type;
        fw.id = SampleCid;
        fw.mid = it.mid;
        fw.version = static_cast<uint32_t>(version);
        fw.name = DefaultFirmwareName(it.kind, it.mid);
        fw.description = it.type == FirmwareTypeMouse ? "Corvane Dizadi mouse firmware" : "Corvane Dizadi receiver firmware";
        std::string file = args[1] + "/" + fw.name + (it.type == FirmwareTypeReceiver ? "_MID" + std::to_string(it.mid) : "") +
                           "_" + v + ".bin";
        Write(file, MakeFirmware(fw, SampleBodySize));
        out << file << "\n";
    }
    return 0;
}

int Info(const Args& args, std::ostream& out)
{
    if (args.size() < 2)
        Usage("usage: hidusb-bench firmware-info FILE");
    std::vector<uint8_t> image = ReadImage(args[1]);
    if (image.size() < 16)
        Fail(args[1] + ": not a firmware image (too short)");
    uint32_t stated = image[4] | (image[5] << 8) | (image[6] << 16) | (uint32_t(image[7]) << 24);
    if (stated > image.size())
        Fail(args[1] + ": the header states " + std::to_string(stated) + " bytes, the file has " +
             std::to_string(image.size()));
    FirmwareInfo fw;
    std::string why;
    if (!ParseFirmware(image.data(), fw, &why))
        Fail(args[1] + ": " + why);
    out << "type: " << fw.type << (fw.type == FirmwareTypeMouse ? " (mouse)" : " (receiver)") << "\n"
        << "id: " << fw.id << "\n"
        << "mid: " << fw.mid << "\n"
        << "name: " << fw.name << "\n"
        << "version: " << VersionText(static_cast<int>(fw.version)) << "\n"
        << "length: " << fw.length << "\n"
        << "description: " << fw.description << "\n";
    return 0;
}

}  // namespace

int FirmwareCommand(const Args& args, std::ostream& out)
{
    if (args[0] == "make-firmware")
        return MakeOne(args, out);
    if (args[0] == "make-firmware-set")
        return MakeSet(args, out);
    return Info(args, out);
}

}  // namespace bench
