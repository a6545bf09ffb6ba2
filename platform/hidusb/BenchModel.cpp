#include "BenchModel.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hidusb {

BenchDevice* Bench::Find(const std::string& id)
{
    for (auto& d : devices)
        if (d.id == id)
            return &d;
    return nullptr;
}

const BenchDevice* Bench::Find(const std::string& id) const
{
    for (auto& d : devices)
        if (d.id == id)
            return &d;
    return nullptr;
}

const BenchDevice* Bench::FindPath(const std::string& path) const
{
    for (auto& d : devices)
        if (d.path == path)
            return &d;
    return nullptr;
}

int ReceiverRateClass(int kind)
{
    switch (kind) {
    case 0: return 1;
    case 4: return 2;
    case 1: return 4;
    case 5: return 8;
    default: return 0;
    }
}

std::string DefaultPid(int kind)
{
    switch (kind) {
    case 0: return "F010";
    case 4: return "F020";
    case 1: return "F040";
    case 5: return "F080";
    default: return "F001";
    }
}

std::string DefaultFirmwareName(int kind, int mid)
{
    switch (kind) {
    case 0: return "CDM_RX1K";
    case 4: return "CDM_RX2K";
    case 1: return "CDM_RX4K";
    case 5: return "CDM_RX8K";
    default: return mid == 2 ? "CDM_IX90_MOUSE" : "CDM_AX72_MOUSE";
    }
}

bool ValidDeviceId(const std::string& id)
{
    if (id.empty() || id.size() > 64 || id == "." || id == "..")
        return false;
    for (char c : id) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                  c == '-' || c == '.';
        if (!ok)
            return false;
    }
    return true;
}

std::string ToUpperHex(int value, int digits)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*X", digits, static_cast<unsigned>(value));
    return buf;
}

std::string VersionText(int version)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "v%d.%x", (version >> 8) & 0xFFFFFF, version & 0xFF);
    return buf;
}

bool ParseInt(const std::string& text, int& out)
{
    if (text.empty())
        return false;
    const char* s = text.c_str();
    char* end = nullptr;
    errno = 0;
    long v;
    if (text.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
        v = std::strtol(s + 2, &end, 16);
    else
        v = std::strtol(s, &end, 10);
    if (errno || !end || *end || end == s || v < -2147483647L || v > 2147483647L)
        return false;
    out = static_cast<int>(v);
    return true;
}

int ParseVersion(const std::string& textIn)
{
    std::string text = textIn;
    if (!text.empty() && (text[0] == 'v' || text[0] == 'V'))
        text.erase(0, 1);
    auto dot = text.find('.');
    if (dot == std::string::npos) {
        int v;
        if (!ParseInt(text, v) || v < 0 || v > 0xFFFF)
            return -1;
        return v;
    }
    int major;
    if (!ParseInt(text.substr(0, dot), major) || major < 0 || major > 255)
        return -1;
    std::string minorText = text.substr(dot + 1);
    if (minorText.empty() || minorText.size() > 2)
        return -1;
    char* end = nullptr;
    long minor = std::strtol(minorText.c_str(), &end, 16);
    if (!end || *end)
        return -1;
    return (major << 8) | static_cast<int>(minor);
}

// ---- bench.ini -----------------------------------------------------------

namespace {

std::string Trim(const std::string& s)
{
    size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos)
        return std::string();
    size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

bool ParseBool(const std::string& v) { return v == "1" || v == "true" || v == "on" || v == "yes"; }

std::vector<std::string> SplitComma(const std::string& v)
{
    std::vector<std::string> parts;
    std::string cur;
    for (char c : v) {
        if (c == ',' || c == ' ') {
            if (!cur.empty())
                parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty())
        parts.push_back(cur);
    return parts;
}

template <size_t N>
void ParseBytes(const std::string& v, std::array<uint8_t, N>& out)
{
    auto parts = SplitComma(v);
    for (size_t i = 0; i < N && i < parts.size(); ++i) {
        char* end = nullptr;
        long b = std::strtol(parts[i].c_str(), &end, 16);
        if (end && !*end && b >= 0 && b <= 255)
            out[i] = static_cast<uint8_t>(b);
    }
}

template <size_t N>
std::string FormatBytes(const std::array<uint8_t, N>& bytes)
{
    std::string s;
    for (size_t i = 0; i < N; ++i) {
        if (i)
            s += ',';
        s += ToUpperHex(bytes[i], 2);
    }
    return s;
}

void SetInt(const std::string& v, int& out)
{
    int x;
    if (ParseInt(v, x))
        out = x;
}

}  // namespace

bool SetDeviceField(BenchDevice& d, const std::string& k, const std::string& v)
{
    if (k == "id") d.id = v;
    else if (k == "path") d.path = v;
    else if (k == "vid") d.vid = v;
    else if (k == "pid") d.pid = v;
    else if (k == "cid") SetInt(v, d.cid);
    else if (k == "mid") SetInt(v, d.mid);
    else if (k == "kind") SetInt(v, d.kind);
    else if (k == "plugged") d.plugged = ParseBool(v);
    else if (k == "online") d.online = ParseBool(v);
    else if (k == "boot") d.boot = ParseBool(v);
    else if (k == "address") ParseBytes(v, d.address);
    else if (k == "usb_version") { int x = ParseVersion(v); if (x >= 0) d.usbVersion = x; }
    else if (k == "firmware") { int x = ParseVersion(v); if (x >= 0) d.firmware = x; }
    else if (k == "firmware_name") d.firmwareName = v;
    else if (k == "battery") SetInt(v, d.battery);
    else if (k == "charging") d.charging = ParseBool(v);
    else if (k == "paired") d.paired = v;
    else if (k == "dongle_light") ParseBytes(v, d.dongleLight);
    else if (k == "long_range") SetInt(v, d.longRange);
    else if (k == "silent_id") SetInt(v, d.silentId);
    else if (k == "silent_id_serial") SetInt(v, d.silentIdSerial);
    else if (k == "refuse_writes") d.refuseWrites = ParseBool(v);
    else if (k == "upgrade_fail") { if (v == "off" || v.empty()) d.upgradeFail = -1; else SetInt(v, d.upgradeFail); }
    else if (k == "pair_fail") d.pairFail = ParseBool(v);
    else return false;
    return true;
}


Bench ParseBench(const std::string& text)
{
    Bench bench;
    std::istringstream in(text);
    std::string line;
    enum { None, Options, Device } section = None;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            std::string name = line.substr(1, line.size() - 2);
            if (name == "Bench") {
                section = Options;
            } else if (name.compare(0, 6, "Device") == 0) {
                section = Device;
                bench.devices.emplace_back();
                bench.devices.back().id.clear();
            } else {
                section = None;
            }
            continue;
        }
        auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        std::string k = Trim(line.substr(0, eq));
        std::string v = Trim(line.substr(eq + 1));
        if (section == Options) {
            if (k == "pair_delay_ms") SetInt(v, bench.pairDelayMs);
            else if (k == "upgrade_step_ms") SetInt(v, bench.upgradeStepMs);
            else if (k == "trace") bench.trace = ParseBool(v);
        } else if (section == Device) {
            SetDeviceField(bench.devices.back(), k, v);
        }
    }
    // A device without a usable id or path cannot be addressed: drop it, and
    // keep only the first of two devices with one id.
    std::vector<BenchDevice> kept;
    for (auto& d : bench.devices) {
        if (!ValidDeviceId(d.id) || d.path.empty())
            continue;
        bool dup = false;
        for (auto& k : kept)
            dup = dup || k.id == d.id;
        if (!dup)
            kept.push_back(d);
    }
    bench.devices = std::move(kept);
    if (bench.pairDelayMs < 0)
        bench.pairDelayMs = 0;
    if (bench.upgradeStepMs < 0)
        bench.upgradeStepMs = 0;
    return bench;
}

std::string FormatBench(const Bench& bench)
{
    std::ostringstream o;
    o << "; Simulated device bench (written by the HIDUsb library and hidusb-bench).\n"
      << "; Edit with `hidusb-bench` while programs run; the whole file is replaced on every write.\n"
      << "[Bench]\n"
      << "pair_delay_ms=" << bench.pairDelayMs << "\n"
      << "upgrade_step_ms=" << bench.upgradeStepMs << "\n"
      << "trace=" << (bench.trace ? 1 : 0) << "\n";
    int n = 0;
    for (auto& d : bench.devices) {
        o << "\n[Device" << ++n << "]\n"
          << "id=" << d.id << "\n"
          << "path=" << d.path << "\n"
          << "vid=" << d.vid << "\n"
          << "pid=" << d.pid << "\n"
          << "cid=" << d.cid << "\n"
          << "mid=" << d.mid << "\n"
          << "kind=" << d.kind << "\n"
          << "plugged=" << (d.plugged ? 1 : 0) << "\n"
          << "online=" << (d.online ? 1 : 0) << "\n"
          << "boot=" << (d.boot ? 1 : 0) << "\n"
          << "address=" << FormatBytes(d.address) << "\n"
          << "usb_version=0x" << ToUpperHex(d.usbVersion, 4) << "\n"
          << "firmware=0x" << ToUpperHex(d.firmware, 4) << "\n"
          << "firmware_name=" << d.firmwareName << "\n"
          << "battery=" << d.battery << "\n"
          << "charging=" << (d.charging ? 1 : 0) << "\n"
          << "paired=" << d.paired << "\n"
          << "dongle_light=" << FormatBytes(d.dongleLight) << "\n"
          << "long_range=" << d.longRange << "\n"
          << "silent_id=" << d.silentId << "\n"
          << "silent_id_serial=" << d.silentIdSerial << "\n"
          << "refuse_writes=" << (d.refuseWrites ? 1 : 0) << "\n"
          << "upgrade_fail=" << d.upgradeFail << "\n"
          << "pair_fail=" << (d.pairFail ? 1 : 0) << "\n";
    }
    return o.str();
}

Bench DefaultBench()
{
    Bench b;
    BenchDevice rx;
    rx.id = "rx8k";
    rx.path = "hidbench/rx8k";
    rx.kind = 5;
    rx.pid = DefaultPid(5);
    rx.firmwareName = DefaultFirmwareName(5, 1);
    rx.address = {{0x5A, 0x8C, 0x21}};
    rx.paired = "mouse1";
    b.devices.push_back(rx);

    BenchDevice m1;  // the receiver's mouse: wireless, not on the USB bus itself
    m1.id = "mouse1";
    m1.path = "hidbench/mouse1";
    m1.plugged = false;
    m1.firmwareName = DefaultFirmwareName(2, 1);
    m1.address = rx.address;
    m1.battery = 80;
    b.devices.push_back(m1);

    // A mouse of the second model on its cable, paired with a receiver not
    // attached; its memory starts from that model's defaults. The device list
    // hides a receiver beside a cabled mouse of its own model, so with the
    // first model here a new user would see the cabled mouse only.
    BenchDevice m2;
    m2.id = "mouse2";
    m2.path = "hidbench/mouse2";
    m2.mid = 2;
    m2.firmwareName = DefaultFirmwareName(2, 2);
    m2.address = {{0x3C, 0x71, 0x9E}};
    m2.battery = 100;
    m2.charging = true;
    b.devices.push_back(m2);
    return b;
}

// ---- files ---------------------------------------------------------------

std::string BenchDir()
{
    const char* env = std::getenv("HIDUSB_BENCH");
    if (env && *env)
        return env;
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/')
        return std::string(state) + "/hidusb-bench";
    const char* home = std::getenv("HOME");
    std::string h = home && *home ? home : "";
    if (h.empty()) {
        struct passwd pw, *res = nullptr;
        char buf[4096];
        if (getpwuid_r(getuid(), &pw, buf, sizeof buf, &res) == 0 && res && res->pw_dir)
            h = res->pw_dir;
    }
    if (h.empty())
        return std::string();
    return h + "/.local/state/hidusb-bench";
}

bool EnsureBenchDir(const std::string& dir)
{
    if (dir.empty()) {
        errno = ENOENT;
        return false;
    }
    struct stat st;
    if (stat(dir.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return true;
        errno = ENOTDIR;
        return false;
    }
    // mkdir -p
    for (size_t pos = 1; pos <= dir.size(); ++pos) {
        if (pos == dir.size() || dir[pos] == '/') {
            std::string part = dir.substr(0, pos);
            if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
                return false;
        }
    }
    if (stat(dir.c_str(), &st) != 0)
        return false;
    if (!S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

bool IsBenchTemporary(const std::string& name)
{
    static const std::string tmp = ".tmp.";
    constexpr size_t suffix = 6;  // mkostemp's XXXXXX
    if (name.size() < tmp.size() + suffix)
        return false;
    const size_t at = name.size() - suffix - tmp.size();
    if (name.compare(at, tmp.size(), tmp) != 0)
        return false;
    const std::string file = name.substr(0, at);
    static const std::string flash = ".flash";
    return file == "bench.ini"
           || (file.size() > flash.size() && file.compare(file.size() - flash.size(), flash.size(), flash) == 0);
}

bool OpenBenchDir(const std::string& dir)
{
    if (!EnsureBenchDir(dir))
        return false;
    const BenchLock lock(dir, false);
    if (!lock.Held())
        return true;
    if (DIR* folder = opendir(dir.c_str())) {
        while (const dirent* entry = readdir(folder)) {
            const std::string name = entry->d_name;
            if (IsBenchTemporary(name))
                unlink((dir + "/" + name).c_str());
        }
        closedir(folder);
    }
    return true;
}

bool ReadWholeFile(const std::string& file, std::string& out)
{
    out.clear();
    int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char buf[65536];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            close(fd);
            return false;
        }
        if (n == 0)
            break;
        out.append(buf, static_cast<size_t>(n));
    }
    close(fd);
    return true;
}

bool AppendToLog(const std::string& file, const std::string& text)
{
    int fd = open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600);
    if (fd < 0)
        return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return false;
    }
    ssize_t n;
    do {
        n = write(fd, text.data(), text.size());
    } while (n < 0 && errno == EINTR);
    close(fd);
    return n == static_cast<ssize_t>(text.size());
}

bool WriteFileAtomic(const std::string& file, const std::string& data, unsigned mode)
{
    std::string tmpl = file + ".tmp.XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    fchmod(fd, static_cast<mode_t>(mode));
    size_t done = 0;
    bool ok = true;
    while (done < data.size()) {
        ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (close(fd) != 0)
        ok = false;
    if (ok && rename(name.data(), file.c_str()) != 0)
        ok = false;
    if (!ok)
        unlink(name.data());
    return ok;
}

BenchLock::BenchLock(const std::string& dir, bool wait)
{
    if (dir.empty())
        return;
    fd_ = open((dir + "/bench.lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
    if (fd_ < 0)
        return;
    int locked;
    do {
        locked = flock(fd_, wait ? LOCK_EX : LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        close(fd_);
        fd_ = -1;
    }
}

BenchLock::~BenchLock()
{
    if (fd_ >= 0) {
        flock(fd_, LOCK_UN);
        close(fd_);
    }
}

bool FileSignature::operator==(const FileSignature& o) const
{
    return exists == o.exists && inode == o.inode && size == o.size && mtimeSec == o.mtimeSec &&
           mtimeNsec == o.mtimeNsec;
}

FileSignature SignatureOf(const std::string& file)
{
    FileSignature s;
    struct stat st;
    if (stat(file.c_str(), &st) != 0)
        return s;
    s.exists = true;
    s.inode = st.st_ino;
    s.size = static_cast<unsigned long long>(st.st_size);
    s.mtimeSec = st.st_mtim.tv_sec;
    s.mtimeNsec = st.st_mtim.tv_nsec;
    return s;
}

std::string BenchIniPath(const std::string& dir) { return dir + "/bench.ini"; }

bool WriteDefaultBenchLocked(const std::string& dir, bool force)
{
    std::string ini = BenchIniPath(dir);
    if (!force && SignatureOf(ini).exists)
        return true;
    return WriteFileAtomic(ini, FormatBench(DefaultBench()));
}

bool LoadBench(const std::string& dir, Bench& bench, FileSignature* sig)
{
    if (!EnsureBenchDir(dir))
        return false;
    std::string ini = BenchIniPath(dir);
    if (!SignatureOf(ini).exists) {
        BenchLock lock(dir);
        if (!WriteDefaultBenchLocked(dir, false))
            return false;
    }
    // The signature is taken before the read: a write in between shows up as
    // a changed signature next time and the file is read again.
    FileSignature s = SignatureOf(ini);
    std::string text;
    if (!ReadWholeFile(ini, text))
        return false;
    bench = ParseBench(text);
    if (sig)
        *sig = s;
    return true;
}

bool ModifyBenchImpl(const std::string& dir, bool (*apply)(Bench&, void*), void* ctx, Bench* after,
                     FileSignature* sig)
{
    if (!EnsureBenchDir(dir))
        return false;
    BenchLock lock(dir);
    std::string ini = BenchIniPath(dir);
    if (!WriteDefaultBenchLocked(dir, false))
        return false;
    std::string text;
    if (!ReadWholeFile(ini, text))
        return false;
    Bench bench = ParseBench(text);
    if (!apply(bench, ctx))
        return false;
    if (!WriteFileAtomic(ini, FormatBench(bench)))
        return false;
    if (sig)
        *sig = SignatureOf(ini);
    if (after)
        *after = std::move(bench);
    return true;
}

}  // namespace hidusb
