// Firmware image files: a 728-byte header, then the body.
//
// Header (little-endian):
//   0..3    "DZFW"
//   4..7    u32 length of the whole file, header included (728 .. 64 MiB)
//   8..11   u32 CRC-32 of bytes 12 .. length-1
//   12..13  u16 header size, 728
//   14..15  u16 header format, 1
//   16..19  u32 version: bits 8..31 major, bits 0..7 minor
//   20      device type: 210 mouse, 211 receiver
//   21      id: low byte of the customer id
//   22      MID
//   23..86  description text (zero padded)
//   87..150 firmware name (zero padded, e.g. "CDM_RX8K")
//   151..727 zero
// A reader is given only the start of the file: it checks the first 16 bytes,
// then never reads past the length they state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hidusb {

constexpr uint32_t FirmwareHeaderSize = 728;
constexpr uint32_t FirmwareMaxSize = 64u << 20;
constexpr int FirmwareTypeMouse = 210;
constexpr int FirmwareTypeReceiver = 211;

struct FirmwareInfo {
    uint32_t length = 0;
    uint32_t version = 0;
    int type = 0;
    int id = 0;
    int mid = 0;
    std::string description;
    std::string name;
};

// Checks magic, length, header size and checksum; why (if given) says what
// is wrong when it answers false.
bool ParseFirmware(const uint8_t* image, FirmwareInfo& info, std::string* why = nullptr);

// A complete image with a valid header and a body of bodySize bytes
// (deterministic filler derived from the header fields).
std::vector<uint8_t> MakeFirmware(const FirmwareInfo& info, uint32_t bodySize);

}  // namespace hidusb
