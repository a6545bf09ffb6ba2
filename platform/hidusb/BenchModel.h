// The device bench: the list of simulated devices (bench.ini) and the files
// around it, shared by the device library and the hidusb-bench tool.
//
// Folder: $HIDUSB_BENCH, else ${XDG_STATE_HOME:-~/.local/state}/hidusb-bench.
//   bench.ini       the devices and the bench options (format below)
//   <id>.flash      the configuration memory of device <id> (BenchFlash.h)
//   events.log      device-side events for open links (BenchEvents.h)
//   bench.lock      taken (flock) around every read-modify-write of the files
//   calls.log       call trace of the library, written only while trace=1
//
// bench.ini:
//   [Bench]
//   pair_delay_ms=1500     time a receiver needs to pair
//   upgrade_step_ms=60     time per 5 % of a firmware upgrade
//   trace=0                1: the library appends its calls to calls.log
//   [Device1] ... [DeviceN], in list order (the number is only a name), with
//   id, path, vid, pid, cid, mid, kind, plugged, online, boot, address,
//   usb_version, firmware, firmware_name, battery, charging, paired,
//   dongle_light, long_range, silent_id, silent_id_serial, refuse_writes,
//   upgrade_fail, pair_fail (see FormatBench for the exact text).
// Every write replaces the whole file atomically (temporary file + rename).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace hidusb {

struct BenchDevice {
    std::string id;            // [A-Za-z0-9_.-], names the flash file
    std::string path;          // HID path the finder returns
    std::string vid = "7A51";  // vendor and product id texts
    std::string pid = "F001";
    int cid = 24;
    int mid = 1;
    int kind = 2;              // 0, 4, 1, 5: receiver of 1, 2, 4, 8 kHz; else a mouse
    bool plugged = true;       // on the USB bus (a wireless mouse: false)
    bool online = true;        // answers (a receiver: its mouse is in reach)
    bool boot = false;         // waits in boot mode for a firmware image
    std::array<uint8_t, 3> address{{0, 0, 0}};  // receiver address (a mouse: of its receiver)
    int usbVersion = 0x0105;   // u16, high byte major, low byte minor
    int firmware = 0x0105;
    std::string firmwareName;  // name in the firmware image header
    int battery = 100;
    bool charging = false;
    std::string paired;        // receiver: id of its mouse
    std::array<uint8_t, 10> dongleLight{{1, 255, 128, 0, 5, 10, 0, 0, 0, 0}};
    int longRange = 0;
    // Faults on demand.
    int silentId = 0;          // answer CID 0 / MID 0 to the first silentId queries
    int silentIdSerial = 0;    // bumped whenever the fault is armed again
    bool refuseWrites = false;
    int upgradeFail = -1;      // an upgrade fails on reaching this percent; -1 never
    bool pairFail = false;

    bool IsReceiver() const { return IsReceiverKind(kind); }
    static bool IsReceiverKind(int k) { return k == 0 || k == 1 || k == 4 || k == 5; }
};

struct Bench {
    int pairDelayMs = 1500;
    int upgradeStepMs = 60;
    bool trace = false;
    std::vector<BenchDevice> devices;

    BenchDevice* Find(const std::string& id);
    const BenchDevice* Find(const std::string& id) const;
    const BenchDevice* FindPath(const std::string& path) const;
};

// Receiver rate class of a kind byte (1, 2, 4, 8 kHz) or 0 for a mouse.
int ReceiverRateClass(int kind);
// Product id and firmware name the shipped model table gives a kind / MID.
std::string DefaultPid(int kind);
std::string DefaultFirmwareName(int kind, int mid);

bool ValidDeviceId(const std::string& id);
std::string ToUpperHex(int value, int digits);
// "v1.5" for 0x0105 (minor in lower-case hexadecimal).
std::string VersionText(int version);
// Accepts "0x0105", "261", "1.5", "v1.5" (minor in hexadecimal). -1 on error.
int ParseVersion(const std::string& text);
bool ParseInt(const std::string& text, int& out);  // decimal or 0x hexadecimal

// Sets one device field from its bench.ini key and text; false for an
// unknown key. Values that do not read leave the field as it was.
bool SetDeviceField(BenchDevice& device, const std::string& key, const std::string& value);

// ---- bench.ini text ----------------------------------------------------
Bench ParseBench(const std::string& text);
std::string FormatBench(const Bench& bench);
// The bench of a new folder: an 8 kHz receiver (rx8k) with its wireless mouse
// (mouse1), both of the first model, and a mouse of the second model on its
// cable (mouse2).
Bench DefaultBench();

// ---- the folder and its files ------------------------------------------
// The bench folder (not created). Empty when no folder can be named.
std::string BenchDir();
// Creates the folder (mode 0700) when missing; false when it cannot, with
// errno telling why (ENOENT for no folder name, ENOTDIR for a path that is
// not a folder).
bool EnsureBenchDir(const std::string& dir);
// Opening a bench folder (the library's first use, every tool command):
// creates it like EnsureBenchDir and removes the temporary files that a
// writer killed mid-write left behind (IsBenchTemporary). Every writer of
// the bench's files holds the bench lock while its temporary file exists,
// so they are removed only when the lock can be taken at once: a live
// writer's file is never touched, and a busy bench is swept next time.
bool OpenBenchDir(const std::string& dir);
// "bench.ini.tmp.XXXXXX" or "<id>.flash.tmp.XXXXXX" (WriteFileAtomic's
// names for the bench's own files); files the tool writes elsewhere on
// request (exports) are none of the bench's.
bool IsBenchTemporary(const std::string& name);
bool ReadWholeFile(const std::string& file, std::string& out);
// Writes through a temporary file in the same folder and renames it.
bool WriteFileAtomic(const std::string& file, const std::string& data, unsigned mode = 0600);
// Appends text to a log of the bench folder with one write, so that lines
// of several writers never interleave; the log is made when missing. Only a
// regular file takes it: a link in its place is not followed, and a FIFO or
// a device neither blocks nor is written. True when all of text was written.
bool AppendToLog(const std::string& file, const std::string& text);

// Exclusive lock of the bench folder (flock on bench.lock): serialises the
// read-modify-write of bench files between threads and processes. Waits for
// the lock, or with wait false takes it only when it is free at once.
// Held() is false when the lock was not taken (busy, or no lock file could
// be made: a waiting writer then goes on without it).
class BenchLock {
public:
    explicit BenchLock(const std::string& dir, bool wait = true);
    ~BenchLock();
    BenchLock(const BenchLock&) = delete;
    BenchLock& operator=(const BenchLock&) = delete;
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// Identity of the bench.ini file as last seen (inode, size, mtime).
struct FileSignature {
    bool exists = false;
    unsigned long long inode = 0, size = 0;
    long long mtimeSec = 0, mtimeNsec = 0;
    bool operator==(const FileSignature& o) const;
    bool operator!=(const FileSignature& o) const { return !(*this == o); }
};
FileSignature SignatureOf(const std::string& file);

std::string BenchIniPath(const std::string& dir);
// Writes the default bench unless bench.ini exists (or always with force).
// Caller holds the BenchLock.
bool WriteDefaultBenchLocked(const std::string& dir, bool force);
// Reads bench.ini (writing the default bench first when it is missing).
bool LoadBench(const std::string& dir, Bench& bench, FileSignature* sig);
// Read-modify-write under the bench lock; fn returns false to write nothing.
// On success *after holds the bench as written.
template <class Fn>
bool ModifyBench(const std::string& dir, Fn fn, Bench* after = nullptr, FileSignature* sig = nullptr);

bool ModifyBenchImpl(const std::string& dir, bool (*apply)(Bench&, void*), void* ctx, Bench* after,
                     FileSignature* sig);

template <class Fn>
bool ModifyBench(const std::string& dir, Fn fn, Bench* after, FileSignature* sig)
{
    return ModifyBenchImpl(
        dir, [](Bench& b, void* c) -> bool { return (*static_cast<Fn*>(c))(b); }, &fn, after, sig);
}

}  // namespace hidusb
