// The simulated device's memory: the 6912-byte configuration dump it sends
// on a full read, the codec between that dump and the 10428-byte image, the
// model defaults and the per-device flash file.
//
// Dump layout (all multi-byte values little-endian):
//   0..123      image bytes 0..123 as they are (settings, DPI stages,
//               lights, the 16 key entries, the two reserved bytes)
//   124..667    16 key event records of 34 bytes: count, the 3 reserved
//               bytes, 6 packed events
//   668..6779   16 macro records of 382 bytes: name length, 30 name bytes,
//               event count, 70 packed events
//   6780..6783  "DZDP", 6784 layout version (1), then zero bytes
//   6908..6911  CRC-32 of bytes 0..6907
// A packed event is 5 bytes: state (low nibble) | type (high nibble), the
// u16 code, the delay as u16 milliseconds. Every event slot is stored, in
// use or not, so an image comes back byte for byte. An image with a value
// the memory cannot hold (state or type above 15, a delay above 65535) is
// refused whole.
//
// Flash file <id>.flash: "DZFL", u16 format (1), u8 profile count (4), u8
// current profile, u32 CRC-32 of the bytes from 16 on, 4 reserved bytes,
// then one dump per profile. A missing or damaged file reads as the model
// defaults (the state of a device fresh from the factory).
#pragma once

#include "DeviceImage.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace hidusb {

constexpr int ProfileCount = 4;
constexpr int MaxEventDelay = 65535;

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);

using Dump = std::array<uint8_t, DeviceDumpSize>;

// Image -> dump; false (out untouched) when the device cannot hold the image.
bool EncodeDump(const FlashDataMap& image, Dump& out);
// Dump -> image; false (image untouched) for a damaged dump.
bool DecodeDump(const uint8_t* dump, FlashDataMap& image);

// The configuration a device of this model leaves the factory with.
FlashDataMap ModelDefaultImage(int mid);

struct FlashMemory {
    int current = 0;
    std::array<Dump, ProfileCount> profiles;
};

FlashMemory DefaultFlash(int mid);
std::string FlashFilePath(const std::string& dir, const std::string& id);
// Reads the flash of device id; the model defaults when missing or damaged.
FlashMemory ReadFlash(const std::string& dir, const std::string& id, int mid);
bool WriteFlash(const std::string& dir, const std::string& id, const FlashMemory& flash);
// The image of the current profile.
FlashDataMap CurrentImage(const FlashMemory& flash);

}  // namespace hidusb
