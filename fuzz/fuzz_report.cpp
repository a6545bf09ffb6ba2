// The report callback of the device link (Worker::OnProtocolData) with any
// header and any data of any length, as a faulty or hostile device could
// send them, and the five pages listening as in the program. No link is
// open, so the reads and writes the callback asks for go nowhere.
//
// Input: one byte picks the device (model, kind byte), then up to 16
// reports, each:
//   byte   bits 0..3 header length (9..15: no header buffer at all),
//          bit 4 fix the checksum of a 6912-byte dump, bit 5 no data buffer
//   the header bytes
//   u16    data length (little-endian; cut to what is left)
//   the data bytes
// Every buffer is a heap block of exactly its length, so a read past its
// end is caught.
#include "FuzzSupport.h"

#include "BenchFlash.h"
#include "DeviceRecords.h"
#include "Dialog.h"
#include "Globals.h"
#include "Worker.h"


#include <cstring>
#include <memory>

namespace {
Dialog* pages = nullptr;

std::unique_ptr<unsigned char[]> copyOf(const uint8_t* bytes, size_t length)
{
    std::unique_ptr<unsigned char[]> out(new unsigned char[length ? length : 1]);
    if (length)
        std::memcpy(out.get(), bytes, length);
    return out;
}

const uint8_t kinds[] = {0, 1, 4, 5, 2, 3};
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::SetUp(argc, argv);
    pages = fuzz::BuildPages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t pick = data[0];
    ++data;
    --size;

    // Each input starts from the same state: a selected device whose image
    // has not been read yet.
    fuzz::SelectUnreadDevice(pick & 1, kinds[(pick >> 1) % sizeof kinds]);

    for (int report = 0; report < 16 && size > 0; ++report) {
        const uint8_t control = data[0];
        ++data;
        --size;
        const int headerLength = control & 0x0F;
        const bool noHeader = headerLength > 8;
        const bool fixChecksum = control & 0x10;
        const bool noData = control & 0x20;

        const size_t headerTaken = noHeader ? 0 : qMin<size_t>(size_t(headerLength), size);
        auto header = copyOf(data, headerTaken);
        data += headerTaken;
        size -= headerTaken;

        size_t length = 0;
        if (size >= 2) {
            length = size_t(data[0]) | (size_t(data[1]) << 8);
            data += 2;
            size -= 2;
        }
        length = qMin(length, size);
        auto body = copyOf(data, length);
        data += length;
        size -= length;
        if (fixChecksum && length == DeviceDumpSize) {
            const uint32_t crc = hidusb::Crc32(body.get(), DeviceDumpSize - 4);
            for (int i = 0; i < 4; ++i)
                body[DeviceDumpSize - 4 + i] = uint8_t(crc >> (8 * i));
        }

        Worker::OnProtocolData(noHeader ? nullptr : header.get(), noHeader ? headerLength : int(headerTaken),
                               noData ? nullptr : body.get(), static_cast<unsigned int>(length));
        fuzz::FlushPostedEvents();
    }
    return 0;
}
