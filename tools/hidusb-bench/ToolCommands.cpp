// The commands of hidusb-bench. Bench changes go through the bench lock and
// atomic file replacement, like the library's own writes; device-side
// events change the device's state first, then append to events.log, where
// an open link of a running program picks them up.
#include "BenchEvents.h"
#include "BenchFlash.h"
#include "Tool.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>

using namespace hidusb;

namespace bench {

void Fail(const std::string& message, int code) { throw Failure{code, message}; }
void Usage(const std::string& message) { throw Failure{2, message}; }

int ResolveDevice(const Bench& b, const std::string& name)
{
    int index;
    if (!name.empty() && name.find_first_not_of("0123456789") == std::string::npos && ParseInt(name, index)) {
        if (index >= 1 && index <= int(b.devices.size()))
            return index - 1;
        Fail("no device " + name + " (the bench has " + std::to_string(b.devices.size()) + ")");
    }
    for (size_t i = 0; i < b.devices.size(); ++i)
        if (b.devices[i].id == name)
            return int(i);
    for (size_t i = 0; i < b.devices.size(); ++i)
        if (b.devices[i].path == name)
            return int(i);
    Fail("no device " + name);
}

const BenchDevice& ConfigDevice(const Bench& b, const BenchDevice& d)
{
    if (!d.IsReceiver())
        return d;
    const BenchDevice* m = d.paired.empty() ? nullptr : b.Find(d.paired);
    if (!m || m->IsReceiver())
        Fail("receiver " + d.id + " has no paired mouse");
    return *m;
}

namespace {

struct Ctx {
    std::string dir;
    std::ostream& out;
    const Args& args;
};

void Need(const Args& a, size_t n, const char* usage)
{
    if (a.size() < n)
        Usage(std::string("usage: hidusb-bench ") + usage);
}

bool OnOff(const std::string& v, const char* usage)
{
    if (v == "on" || v == "1" || v == "true" || v == "yes")
        return true;
    if (v == "off" || v == "0" || v == "false" || v == "no")
        return false;
    Usage(std::string("usage: hidusb-bench ") + usage);
}

Bench Load(const Ctx& c)
{
    Bench b;
    if (!LoadBench(c.dir, b, nullptr))
        Fail("cannot read or create the bench in " + c.dir);
    return b;
}

// Changes the device named by args[1] in bench.ini.
template <class Fn>
BenchDevice ChangeDevice(const Ctx& c, Fn fn)
{
    BenchDevice result;
    Failure error{0, ""};
    bool ok = ModifyBench(c.dir, [&](Bench& b) {
        try {
            BenchDevice& d = b.devices[ResolveDevice(b, c.args[1])];
            fn(b, d);
            result = d;
            return true;
        } catch (const Failure& f) {
            error = f;
            return false;
        }
    });
    if (error.code)
        throw error;
    if (!ok)
        Fail("cannot write the bench in " + c.dir);
    return result;
}

// Changes the current profile's image of the mouse behind args[1] and
// tells open links with a status change (flag mask).
template <class Fn>
void DeviceSideImageChange(const Ctx& c, int flagMask, Fn fn)
{
    Bench b = Load(c);
    const BenchDevice& m = ConfigDevice(b, b.devices[ResolveDevice(b, c.args[1])]);
    {
        BenchLock lock(c.dir);
        FlashMemory flash = ReadFlash(c.dir, m.id, m.mid);
        FlashDataMap img = CurrentImage(flash);
        fn(flash, img);
        Dump dump;
        if (!EncodeDump(img, dump))
            Fail("the device cannot hold the changed image");
        flash.profiles[flash.current] = dump;
        if (!WriteFlash(c.dir, m.id, flash))
            Fail("cannot write the flash of " + m.id);
    }
    if (flagMask >= 0)
        AppendEvent(c.dir, BenchEvent{m.id, "status", flagMask});
}

void Event(const Ctx& c, const std::string& device, const std::string& name, int arg)
{
    if (!AppendEvent(c.dir, BenchEvent{device, name, arg}))
        Fail("cannot write the event log in " + c.dir);
}

int CmdShow(const Ctx& c)
{
    Need(c.args, 2, "show DEVICE [FIELD]");
    Bench b = Load(c);
    const BenchDevice& d = b.devices[ResolveDevice(b, c.args[1])];
    const BenchDevice& m = ConfigDevice(b, d);
    FlashMemory flash = ReadFlash(c.dir, m.id, m.mid);
    FlashDataMap img = CurrentImage(flash);
    std::string field = c.args.size() > 2 ? c.args[2] : "all";
    if (field == "all")
        c.out << "device: " << m.id << (m.id != d.id ? " (through " + d.id + ")" : std::string()) << "\n";
    Args extra(c.args.size() > 3 ? c.args.begin() + 3 : c.args.end(), c.args.end());
    if (!ShowField(c.out, img, flash.current, field, extra))
        Usage("unknown field " + field +
              " (all, profile, rate, dpi, debounce, sleep, lift-off, sensor, lighting, keys, key-events, macros, bytes)");
    return 0;
}

int CmdAdd(const Ctx& c)
{
    Need(c.args, 2, "add TYPE [KEY=VALUE...]");
    const std::string& type = c.args[1];
    BenchDevice d;
    std::string prefix = type;
    if (type == "mouse") {
        d.kind = 2;
    } else if (type == "wireless-mouse") {
        d.kind = 2;
        d.plugged = false;
        prefix = "mouse";
    } else if (type == "rx1k" || type == "rx2k" || type == "rx4k" || type == "rx8k") {
        d.kind = type == "rx1k" ? 0 : type == "rx2k" ? 4 : type == "rx4k" ? 1 : 5;
    } else {
        Usage("TYPE is one of mouse, wireless-mouse, rx1k, rx2k, rx4k, rx8k");
    }
    d.pid = DefaultPid(d.kind);
    std::set<std::string> given;
    for (size_t i = 2; i < c.args.size(); ++i) {
        auto eq = c.args[i].find('=');
        if (eq == std::string::npos || !SetDeviceField(d, c.args[i].substr(0, eq), c.args[i].substr(eq + 1)))
            Usage("not a device field: " + c.args[i]);
        given.insert(c.args[i].substr(0, eq));
    }
    if (!given.count("pid"))
        d.pid = DefaultPid(d.kind);
    if (!given.count("firmware_name"))
        d.firmwareName = DefaultFirmwareName(d.kind, d.mid);
    int index = 0;
    std::string error;
    bool ok = ModifyBench(c.dir, [&](Bench& b) {
        if (!given.count("id")) {
            for (int n = 1;; ++n)
                if (!b.Find(prefix + std::to_string(n))) {
                    d.id = prefix + std::to_string(n);
                    break;
                }
        }
        if (!ValidDeviceId(d.id) || b.Find(d.id)) {
            error = "id " + d.id + " is not usable (letters, digits, _ - . and not taken)";
            return false;
        }
        if (!given.count("path"))
            d.path = "hidbench/" + d.id;
        if (b.FindPath(d.path)) {
            error = "path " + d.path + " is taken";
            return false;
        }
        if (d.IsReceiver() && !given.count("address")) {
            uint32_t h = Crc32(reinterpret_cast<const uint8_t*>(d.id.data()), d.id.size());
            d.address = {{uint8_t(h), uint8_t(h >> 8), uint8_t(h >> 16)}};
        }
        b.devices.push_back(d);
        index = int(b.devices.size());
        return true;
    });
    if (!error.empty())
        Fail(error);
    if (!ok)
        Fail("cannot write the bench in " + c.dir);
    c.out << ListLine(index, d) << "\n";
    return 0;
}

int CmdRemove(const Ctx& c)
{
    Need(c.args, 2, "remove DEVICE");
    BenchDevice gone = ChangeDevice(c, [](Bench&, BenchDevice&) {});
    ModifyBench(c.dir, [&](Bench& b) {
        std::vector<BenchDevice> kept;
        for (auto& d : b.devices) {
            if (d.id == gone.id)
                continue;
            if (d.paired == gone.id)
                d.paired.clear();
            kept.push_back(d);
        }
        b.devices = kept;
        return true;
    });
    std::remove(FlashFilePath(c.dir, gone.id).c_str());
    c.out << "removed " << gone.id << "\n";
    return 0;
}

int CmdPair(const Ctx& c)
{
    Need(c.args, 3, "pair RECEIVER MOUSE");
    std::string error;
    ModifyBench(c.dir, [&](Bench& b) {
        try {
            BenchDevice& rx = b.devices[ResolveDevice(b, c.args[1])];
            BenchDevice& m = b.devices[ResolveDevice(b, c.args[2])];
            if (!rx.IsReceiver() || m.IsReceiver())
                Fail("pair RECEIVER MOUSE: first a receiver, then a mouse");
            for (auto& other : b.devices)
                if (other.IsReceiver() && other.paired == m.id)
                    other.paired.clear();
            rx.paired = m.id;
            m.address = rx.address;
            return true;
        } catch (const Failure& f) {
            error = f.message;
            return false;
        }
    });
    if (!error.empty())
        Fail(error);
    c.out << "paired " << c.args[2] << " with " << c.args[1] << "\n";
    return 0;
}

int CmdFault(const Ctx& c)
{
    const char* usage =
        "fault DEVICE silent-id K | refuse-writes on|off | upgrade-fail PERCENT|off | pair-fail on|off | clear";
    Need(c.args, 3, usage);
    const std::string& what = c.args[2];
    if (what != "clear")
        Need(c.args, 4, usage);
    std::string v = c.args.size() > 3 ? c.args[3] : "";
    int n = 0;
    if (what == "silent-id" && (!ParseInt(v, n) || n < 0))
        Usage(usage);
    if (what == "upgrade-fail" && v != "off" && (!ParseInt(v, n) || n < 0 || n > 100))
        Usage("upgrade-fail takes a percent 0..100 or off");
    bool flag = (what == "refuse-writes" || what == "pair-fail") ? OnOff(v, usage) : false;
    if (what != "clear" && what != "silent-id" && what != "refuse-writes" && what != "upgrade-fail" &&
        what != "pair-fail")
        Usage(usage);
    BenchDevice d = ChangeDevice(c, [&](Bench&, BenchDevice& dev) {
        if (what == "silent-id") {
            dev.silentId = n;
            ++dev.silentIdSerial;
        } else if (what == "refuse-writes") {
            dev.refuseWrites = flag;
        } else if (what == "upgrade-fail") {
            dev.upgradeFail = v == "off" ? -1 : n;
        } else if (what == "pair-fail") {
            dev.pairFail = flag;
        } else {
            dev.silentId = 0;
            ++dev.silentIdSerial;
            dev.refuseWrites = false;
            dev.upgradeFail = -1;
            dev.pairFail = false;
        }
    });
    c.out << ListLine(ResolveDevice(Load(c), d.id) + 1, d) << "\n";
    return 0;
}

int CmdSet(const Ctx& c)
{
    Need(c.args, 3, "set DEVICE KEY=VALUE...");
    BenchDevice d = ChangeDevice(c, [&](Bench& b, BenchDevice& dev) {
        for (size_t i = 2; i < c.args.size(); ++i) {
            auto eq = c.args[i].find('=');
            std::string key = eq == std::string::npos ? c.args[i] : c.args[i].substr(0, eq);
            if (eq == std::string::npos || key == "id" || !SetDeviceField(dev, key, c.args[i].substr(eq + 1)))
                Usage("not a settable device field: " + c.args[i]);
        }
        (void)b;
    });
    c.out << ListLine(ResolveDevice(Load(c), d.id) + 1, d) << "\n";
    return 0;
}

int CmdOption(const Ctx& c)
{
    Need(c.args, 2, "option KEY=VALUE...");
    ModifyBench(c.dir, [&](Bench& b) {
        for (size_t i = 1; i < c.args.size(); ++i) {
            auto eq = c.args[i].find('=');
            std::string key = eq == std::string::npos ? "" : c.args[i].substr(0, eq);
            std::string value = eq == std::string::npos ? "" : c.args[i].substr(eq + 1);
            int n;
            if (key == "pair_delay_ms" && ParseInt(value, n) && n >= 0)
                b.pairDelayMs = n;
            else if (key == "upgrade_step_ms" && ParseInt(value, n) && n >= 0)
                b.upgradeStepMs = n;
            else if (key == "trace")
                b.trace = OnOff(value, "option trace=on|off");
            else
                Usage("options: pair_delay_ms=MS upgrade_step_ms=MS trace=on|off");
        }
        return true;
    });
    Bench b = Load(c);
    c.out << "pair_delay_ms=" << b.pairDelayMs << " upgrade_step_ms=" << b.upgradeStepMs << " trace=" << b.trace
          << "\n";
    return 0;
}

int CmdImage(const Ctx& c, bool import)
{
    Need(c.args, 3, import ? "import DEVICE FILE" : "export DEVICE FILE");
    Bench b = Load(c);
    const BenchDevice& m = ConfigDevice(b, b.devices[ResolveDevice(b, c.args[1])]);
    if (!import) {
        FlashDataMap img = CurrentImage(ReadFlash(c.dir, m.id, m.mid));
        if (!WriteFileAtomic(c.args[2], std::string(reinterpret_cast<const char*>(&img), sizeof img), 0644))
            Fail("cannot write " + c.args[2]);
        c.out << "exported " << m.id << " to " << c.args[2] << "\n";
        return 0;
    }
    std::string data;
    if (!ReadWholeFile(c.args[2], data) || data.size() != FlashDataMapSize)
        Fail(c.args[2] + " is not a 10428-byte configuration image");
    FlashDataMap img;
    std::memcpy(&img, data.data(), sizeof img);
    Dump dump;
    if (!EncodeDump(img, dump))
        Fail("the device cannot hold this image (an event state or type above 15, or a delay above 65535)");
    BenchLock lock(c.dir);
    FlashMemory flash = ReadFlash(c.dir, m.id, m.mid);
    flash.profiles[flash.current] = dump;
    if (!WriteFlash(c.dir, m.id, flash))
        Fail("cannot write the flash of " + m.id);
    c.out << "imported " << c.args[2] << " into " << m.id << "\n";
    return 0;
}

int CmdDeviceSide(const Ctx& c, const std::string& cmd)
{
    if (cmd == "dpi-button") {
        Need(c.args, 2, "dpi-button DEVICE");
        int stage = 0;
        DeviceSideImageChange(c, 1 << 0, [&](FlashMemory&, FlashDataMap& img) {
            int count = img.dpiStageCount >= 1 && img.dpiStageCount <= DpiStageCount ? img.dpiStageCount : 1;
            img.dpiStage = static_cast<uint8_t>((img.dpiStage + 1) % count);
            stage = img.dpiStage;
        });
        c.out << "dpi-current: " << stage + 1 << "\n";
    } else if (cmd == "light-button") {
        Need(c.args, 2, "light-button DEVICE");
        int mode = 0;
        DeviceSideImageChange(c, 1 << 5, [&](FlashMemory&, FlashDataMap& img) {
            img.lightMode = static_cast<uint8_t>((img.lightMode + 1) % 7);
            img.lightOn = img.lightMode ? 1 : 0;
            mode = img.lightMode;
        });
        c.out << "light: mode " << mode << "\n";
    } else if (cmd == "profile") {
        Need(c.args, 3, "profile DEVICE N (1..4)");
        int n;
        if (!ParseInt(c.args[2], n) || n < 1 || n > ProfileCount)
            Usage("profile DEVICE N: N is 1..4");
        DeviceSideImageChange(c, 1 << 2, [&](FlashMemory& flash, FlashDataMap& img) {
            flash.current = n - 1;
            img = CurrentImage(flash);
        });
        c.out << "profile: " << n << " of 4\n";
    } else if (cmd == "reset") {
        Need(c.args, 2, "reset DEVICE");
        Bench b = Load(c);
        const BenchDevice& m = ConfigDevice(b, b.devices[ResolveDevice(b, c.args[1])]);
        {
            BenchLock lock(c.dir);
            if (!WriteFlash(c.dir, m.id, DefaultFlash(m.mid)))
                Fail("cannot write the flash of " + m.id);
        }
        Event(c, m.id, "defaults", 0);
        c.out << "reset " << m.id << " to the model defaults\n";
    } else if (cmd == "battery") {
        Need(c.args, 3, "battery DEVICE LEVEL [charging]");
        int level;
        if (!ParseInt(c.args[2], level) || level < 0 || level > 100)
            Usage("battery DEVICE LEVEL: LEVEL is 0..100");
        bool charging = c.args.size() > 3 && (c.args[3] == "charging" || OnOff(c.args[3], "battery DEVICE LEVEL [charging]"));
        std::string mouse;
        ChangeDevice(c, [&](Bench& b, BenchDevice& d) {
            BenchDevice* m = d.IsReceiver() ? b.Find(d.paired) : &d;
            if (!m || m->IsReceiver())
                Fail("receiver " + d.id + " has no paired mouse");
            m->battery = level;
            m->charging = charging;
            mouse = m->id;
        });
        Event(c, mouse, "status", 1 << 6);
        c.out << "battery: " << level << (charging ? " charging" : "") << "\n";
    } else if (cmd == "status") {
        Need(c.args, 3, "status DEVICE FLAG... (0..6)");
        int mask = 0;
        for (size_t i = 2; i < c.args.size(); ++i) {
            int f;
            if (!ParseInt(c.args[i], f) || f < 0 || f > 6)
                Usage("status DEVICE FLAG...: flags are 0..6");
            mask |= 1 << f;
        }
        Bench b = Load(c);
        const BenchDevice& m = ConfigDevice(b, b.devices[ResolveDevice(b, c.args[1])]);
        Event(c, m.id, "status", mask);
        c.out << "status: " << mask << "\n";
    } else if (cmd == "dongle-light" || cmd == "long-range") {
        Need(c.args, 3, cmd == "dongle-light" ? "dongle-light RECEIVER MODE" : "long-range RECEIVER on|off");
        int value;
        if (cmd == "dongle-light") {
            if (!ParseInt(c.args[2], value) || value < 0 || value > 255)
                Usage("dongle-light RECEIVER MODE: MODE 0..255");
        } else {
            value = OnOff(c.args[2], "long-range RECEIVER on|off") ? 1 : 0;
        }
        BenchDevice rx = ChangeDevice(c, [&](Bench&, BenchDevice& d) {
            if (!d.IsReceiver())
                Fail(d.id + " is not a receiver");
            if (cmd == "dongle-light")
                d.dongleLight[0] = static_cast<uint8_t>(value);
            else
                d.longRange = value;
        });
        Event(c, rx.id, cmd, value);
        c.out << cmd << ": " << value << "\n";
    } else {
        return -1;
    }
    return 0;
}

int CmdBenchState(const Ctx& c, const std::string& cmd)
{
    static const char* const known[] = {"plug", "unplug", "online", "offline", "boot", "firmware"};
    if (std::find(std::begin(known), std::end(known), cmd) == std::end(known))
        return -1;
    Need(c.args, 2, (cmd + " DEVICE").c_str());
    BenchDevice d;
    if (cmd == "plug" || cmd == "unplug")
        d = ChangeDevice(c, [&](Bench&, BenchDevice& dev) { dev.plugged = cmd == "plug"; });
    else if (cmd == "online" || cmd == "offline")
        d = ChangeDevice(c, [&](Bench&, BenchDevice& dev) { dev.online = cmd == "online"; });
    else if (cmd == "boot") {
        Need(c.args, 3, "boot DEVICE on|off");
        bool on = OnOff(c.args[2], "boot DEVICE on|off");
        d = ChangeDevice(c, [&](Bench&, BenchDevice& dev) { dev.boot = on; });
    } else if (cmd == "firmware") {
        Need(c.args, 3, "firmware DEVICE VERSION (e.g. 1.5 or 0x0105)");
        int v = ParseVersion(c.args[2]);
        if (v < 0)
            Usage("firmware DEVICE VERSION: e.g. 1.5, v1.a or 0x0105");
        d = ChangeDevice(c, [&](Bench&, BenchDevice& dev) {
            dev.firmware = v;
            dev.usbVersion = v;
        });
    } else {
        return -1;
    }
    c.out << ListLine(ResolveDevice(Load(c), d.id) + 1, d) << "\n";
    return 0;
}

int Dispatch(const Ctx& c)
{
    const std::string& cmd = c.args[0];
    if (cmd == "help" || cmd == "--help" || cmd == "-h") {
        PrintHelp(c.out);
        return 0;
    }
    if (cmd == "path") {
        c.out << c.dir << "\n";
        return 0;
    }
    if (cmd == "make-firmware" || cmd == "make-firmware-set" || cmd == "firmware-info")
        return FirmwareCommand(c.args, c.out);
    if (c.dir.empty())
        Fail("no bench folder: set HIDUSB_BENCH or HOME");
    if (!OpenBenchDir(c.dir))
        Fail("cannot create the bench folder " + c.dir);
    if (cmd == "init") {
        bool force = c.args.size() > 1 && c.args[1] == "--force";
        BenchLock lock(c.dir);
        if (force) {
            // Read the old bench directly: loading it through the library
            // would take the bench lock a second time and wait for ourselves.
            std::string text;
            Bench old;
            if (ReadWholeFile(BenchIniPath(c.dir), text))
                old = ParseBench(text);
            for (const auto& d : old.devices)
                std::remove(FlashFilePath(c.dir, d.id).c_str());
            std::remove(EventLogPath(c.dir).c_str());
            std::remove((c.dir + "/calls.log").c_str());
            // A running program remembers the silent-identity fault it last
            // saw by its serial: keep counting from there, so that a fault
            // injected after the reset is a new one.
            Bench fresh = DefaultBench();
            for (auto& d : fresh.devices)
                for (const auto& o : old.devices)
                    if (o.id == d.id)
                        d.silentIdSerial = o.silentIdSerial;
            if (!WriteFileAtomic(BenchIniPath(c.dir), FormatBench(fresh)))
                Fail("cannot write the bench in " + c.dir);
        } else if (!WriteDefaultBenchLocked(c.dir, false)) {
            Fail("cannot write the bench in " + c.dir);
        }
        c.out << c.dir << "\n";
        return 0;
    }
    if (cmd == "list") {
        Bench b = Load(c);
        for (size_t i = 0; i < b.devices.size(); ++i)
            c.out << ListLine(int(i) + 1, b.devices[i]) << "\n";
        return 0;
    }
    if (cmd == "show")
        return CmdShow(c);
    if (cmd == "add")
        return CmdAdd(c);
    if (cmd == "remove")
        return CmdRemove(c);
    if (cmd == "pair")
        return CmdPair(c);
    if (cmd == "fault")
        return CmdFault(c);
    if (cmd == "set")
        return CmdSet(c);
    if (cmd == "option")
        return CmdOption(c);
    if (cmd == "export" || cmd == "import")
        return CmdImage(c, cmd == "import");
    int rc = CmdBenchState(c, cmd);
    if (rc >= 0)
        return rc;
    rc = CmdDeviceSide(c, cmd);
    if (rc >= 0)
        return rc;
    Usage("unknown command " + cmd + " (hidusb-bench help lists them)");
}

}  // namespace

int Run(const Args& argsIn, std::ostream& out, std::ostream& err)
{
    Args args = argsIn;
    if (args.size() >= 2 && args[0] == "--bench") {
        setenv("HIDUSB_BENCH", args[1].c_str(), 1);
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty()) {
        PrintHelp(err);
        return 2;
    }
    try {
        Ctx c{BenchDir(), out, args};
        return Dispatch(c);
    } catch (const Failure& f) {
        err << "hidusb-bench: " << f.message << "\n";
        return f.code;
    }
}

}  // namespace bench
