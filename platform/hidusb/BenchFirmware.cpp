#include "BenchFirmware.h"

#include "BenchFlash.h"

#include <algorithm>
#include <cstring>

namespace hidusb {

namespace {

constexpr uint8_t Magic[4] = {'D', 'Z', 'F', 'W'};

uint32_t Get32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
void Put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

std::string FieldText(const uint8_t* p, size_t n)
{
    size_t len = 0;
    while (len < n && p[len])
        ++len;
    return std::string(reinterpret_cast<const char*>(p), len);
}

}  // namespace

bool ParseFirmware(const uint8_t* image, FirmwareInfo& info, std::string* why)
{
    auto fail = [why](const char* text) {
        if (why)
            *why = text;
        return false;
    };
    if (!image)
        return fail("no image");
    if (std::memcmp(image, Magic, 4) != 0)
        return fail("not a firmware image (bad magic)");
    uint32_t length = Get32(image + 4);
    if (length < FirmwareHeaderSize || length > FirmwareMaxSize)
        return fail("bad image length");
    if ((image[12] | (image[13] << 8)) != FirmwareHeaderSize || (image[14] | (image[15] << 8)) != 1)
        return fail("unknown header format");
    if (Crc32(image + 12, length - 12) != Get32(image + 8))
        return fail("checksum mismatch");
    int type = image[20];
    if (type != FirmwareTypeMouse && type != FirmwareTypeReceiver)
        return fail("unknown device type");
    info.length = length;
    info.version = Get32(image + 16);
    info.type = type;
    info.id = image[21];
    info.mid = image[22];
    info.description = FieldText(image + 23, 64);
    info.name = FieldText(image + 87, 64);
    return true;
}

std::vector<uint8_t> MakeFirmware(const FirmwareInfo& info, uint32_t bodySize)
{
    std::vector<uint8_t> img(FirmwareHeaderSize + bodySize, 0);
    uint8_t* p = img.data();
    std::memcpy(p, Magic, 4);
    Put32(p + 4, static_cast<uint32_t>(img.size()));
    p[12] = FirmwareHeaderSize & 0xFF;
    p[13] = FirmwareHeaderSize >> 8;
    p[14] = 1;
    Put32(p + 16, info.version);
    p[20] = static_cast<uint8_t>(info.type);
    p[21] = static_cast<uint8_t>(info.id);
    p[22] = static_cast<uint8_t>(info.mid);
    std::memcpy(p + 23, info.description.data(), std::min<size_t>(info.description.size(), 63));
    std::memcpy(p + 87, info.name.data(), std::min<size_t>(info.name.size(), 64));
    // Filler: xorshift seeded from the header, so the same fields give the same file.
    uint32_t x = Crc32(p + 16, 135) | 1u;
    for (uint32_t i = FirmwareHeaderSize; i < img.size(); ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        p[i] = static_cast<uint8_t>(x);
    }
    Put32(p + 8, Crc32(p + 12, img.size() - 12));
    return img;
}

}  // namespace hidusb
