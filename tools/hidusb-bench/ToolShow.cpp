// `list` lines and `show` output. Both are read by tests: keep the texts
// stable (they are listed in the README and in `hidusb-bench help`).
#include "Tool.h"

#include <cstdio>
#include <sstream>

namespace bench {

namespace {

std::string Hex2(int v)
{
    char b[8];
    std::snprintf(b, sizeof b, "0x%02X", v & 0xFF);
    return b;
}

std::string Hex4(int v)
{
    char b[8];
    std::snprintf(b, sizeof b, "0x%04X", v & 0xFFFF);
    return b;
}

std::string RateText(int code)
{
    switch (code) {
    case 8: return "125 Hz";
    case 4: return "250 Hz";
    case 2: return "500 Hz";
    case 1: return "1000 Hz";
    case 16: return "2000 Hz";
    case 32: return "4000 Hz";
    case 64: return "8000 Hz";
    default: return "unknown (code " + std::to_string(code) + ")";
    }
}

// Register code and flags -> DPI as the register tables of both sensors
// (install/driver_sensor.h) give it: code * 50, doubled for flags 0x22 and
// again for 0x11.
int DpiValue(int code, int flags)
{
    int d = code * 50;
    if (flags & 0x22)
        d *= 2;
    return (flags & 0x11) ? d * 2 : d;
}

std::string Colour(int r, int g, int b) { return std::to_string(r) + "," + std::to_string(g) + "," + std::to_string(b); }

std::string KeyText(const KeyFunction& k)
{
    auto pick = [](int v, std::initializer_list<std::pair<int, const char*>> names) -> std::string {
        for (auto& n : names)
            if (n.first == v)
                return n.second;
        return "value " + std::to_string(v);
    };
    switch (k.type) {
    case 0: return "disabled";
    case 1: return "mouse button " + pick(k.value1, {{1, "left"}, {2, "right"}, {4, "middle"}, {8, "back"}, {16, "forward"}});
    case 2: return "DPI " + pick(k.value1, {{1, "cycle"}, {2, "up"}, {3, "down"}});
    case 3: return "horizontal scroll " + pick(k.value1, {{1, "left"}, {2, "right"}});
    case 4: return "fire key interval " + std::to_string(k.value1) + " count " + std::to_string(k.value2);
    case 5: return "key events";
    case 6: return "macro " + std::to_string(k.value1 + 1) + " repeat " + std::to_string(k.value2);
    case 7: return "report-rate switch";
    case 8:
        return "light switch " + pick(k.value1, {{0, "all"}, {1, "DPI light"}, {3, "light strip"}, {4, "next effect"}});
    case 9: return "profile switch";
    case 10: return "DPI lock step " + std::to_string(k.value1);
    case 11: return "vertical scroll " + pick(k.value1, {{1, "up"}, {2, "down"}});
    default: return "unknown type";
    }
}

std::string EventText(const KeyEvent& e, bool macro)
{
    std::string kind;
    if (macro)
        kind = e.kind == 0 ? "modifier" : e.kind == 1 ? "key" : e.kind == 4 ? "mouse-button" : "type " + std::to_string(e.kind);
    else
        kind = e.kind == 0 ? "modifier" : e.kind == 1 ? "key" : e.kind == 2 ? "consumer" : "kind " + std::to_string(e.kind);
    std::string state = e.state == 0 ? "press" : e.state == 1 ? "release" : "state " + std::to_string(e.state);
    return state + " " + kind + " " + Hex4(e.code) + " " + std::to_string(e.delay) + " ms";
}

std::string NameText(const MacroRecord& m)
{
    int n = m.nameLength > MacroNameBytes ? MacroNameBytes : m.nameLength;
    std::string s = "\"";
    for (int i = 0; i < n && m.name[i]; ++i) {
        unsigned char c = m.name[i];
        if (c == '"' || c == '\\') {
            s += '\\';
            s += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char b[8];
            std::snprintf(b, sizeof b, "\\x%02X", c);
            s += b;
        } else {
            s += static_cast<char>(c);  // UTF-8 passes as it is
        }
    }
    return s + "\"";
}

void ShowRate(std::ostream& o, const FlashDataMap& img) { o << "report-rate: " << RateText(img.reportRate) << "\n"; }

void ShowDpi(std::ostream& o, const FlashDataMap& img)
{
    o << "dpi-stages: " << int(img.dpiStageCount) << "\n";
    o << "dpi-current: " << img.dpiStage + 1 << "\n";
    for (int i = 0; i < DpiStageCount; ++i) {
        const DpiStage& s = img.dpiStages[i];
        o << "dpi " << i + 1 << ": " << DpiValue(s.xCode, s.flags) << " colour " << Colour(s.r, s.g, s.b) << " (x "
          << int(s.xCode) << ", y " << int(s.yCode) << ", flags " << Hex2(s.flags) << ")"
          << (i >= img.dpiStageCount ? " unused" : "") << "\n";
    }
}

void ShowDebounce(std::ostream& o, const FlashDataMap& img) { o << "debounce: " << int(img.debounce) << "\n"; }

void ShowSleep(std::ostream& o, const FlashDataMap& img)
{
    o << "sleep: " << img.sleepTime * 10 << " s (" << int(img.sleepTime) << ")\n";
}

void ShowLiftOff(std::ostream& o, const FlashDataMap& img)
{
    const char* mm = img.liftOff == 1 ? "1 mm" : img.liftOff == 2 ? "2 mm" : img.liftOff == 3 ? "0.7 mm" : "unknown";
    o << "lift-off: " << int(img.liftOff) << " (" << mm << ")\n";
}

void ShowSensor(std::ostream& o, const FlashDataMap& img)
{
    ShowLiftOff(o, img);
    o << "motion-sync: " << int(img.motionSync) << "\n"
      << "straight-line: " << int(img.straightLine) << "\n"
      << "ripple-control: " << int(img.rippleControl) << "\n"
      << "performance: " << int(img.performance) << " mode " << int(img.performanceMode) << "\n"
      << "sensor-mode: " << int(img.sensorMode) << "\n";
}

void ShowLighting(std::ostream& o, const FlashDataMap& img)
{
    o << "light: mode " << int(img.lightMode) << " colour " << Colour(img.lightR, img.lightG, img.lightB) << " speed "
      << int(img.lightSpeed) << " brightness " << int(img.lightBrightness) << " on " << int(img.lightOn) << "\n"
      << "move-light-off: " << int(img.moveLightOff) << "\n"
      << "dpi-light: mode " << int(img.dpiLightMode) << " brightness " << int(img.dpiLightBrightness) << " speed "
      << int(img.dpiLightSpeed) << " on " << int(img.dpiLightOn) << "\n";
}

void ShowKeys(std::ostream& o, const FlashDataMap& img)
{
    for (int k = 0; k < KeyCount; ++k) {
        const KeyFunction& f = img.keys[k];
        if (k >= 6 && f.type == 0 && f.value1 == 0 && f.value2 == 0)
            continue;
        o << "key " << k + 1 << ": " << int(f.type) << "," << int(f.value1) << "," << int(f.value2) << " "
          << KeyText(f) << "\n";
    }
}

void ShowKeyEvents(std::ostream& o, const FlashDataMap& img)
{
    bool any = false;
    for (int k = 0; k < KeyCount; ++k) {
        const KeyEventRecord& r = img.keyEvents[k];
        if (r.count == 0 && img.keys[k].type != 5)
            continue;
        any = true;
        o << "key-events " << k + 1 << ": " << int(r.count) << " events";
        for (int i = 0; i < r.count && i < KeyEventRecordEvents; ++i)
            o << (i ? ", " : ": ") << EventText(r.events[i], false);
        o << "\n";
    }
    if (!any)
        o << "key-events: none\n";
}

void ShowMacros(std::ostream& o, const FlashDataMap& img)
{
    bool any = false;
    for (int k = 0; k < KeyCount; ++k) {
        const MacroRecord& m = img.macros[k];
        if (m.nameLength == 0 && m.eventCount == 0)
            continue;
        any = true;
        o << "macro " << k + 1 << ": " << NameText(m) << " " << int(m.eventCount) << " events\n";
        for (int i = 0; i < m.eventCount && i < MacroRecordEvents; ++i)
            o << "  " << i + 1 << ": " << EventText(m.events[i], true) << "\n";
    }
    if (!any)
        o << "macros: none\n";
}

}  // namespace

std::string ListLine(int index, const hidusb::BenchDevice& d)
{
    std::ostringstream o;
    int rate = hidusb::ReceiverRateClass(d.kind);
    std::string faults;
    auto add = [&](const std::string& f) { faults += (faults.empty() ? "" : ",") + f; };
    if (d.silentId > 0)
        add("silent-id:" + std::to_string(d.silentId));
    if (d.refuseWrites)
        add("refuse-writes");
    if (d.upgradeFail >= 0)
        add("upgrade-fail:" + std::to_string(d.upgradeFail));
    if (d.pairFail)
        add("pair-fail");
    o << index << " id=" << d.id << " path=" << d.path << " vid=" << d.vid << " pid=" << d.pid << " kind=" << d.kind
      << " role=" << (rate ? "receiver-" + std::to_string(rate) + "k" : std::string("mouse")) << " cid=" << d.cid
      << " mid=" << d.mid << " plugged=" << d.plugged << " online=" << d.online << " boot=" << d.boot
      << " address=" << hidusb::ToUpperHex(d.address[0], 2) << "," << hidusb::ToUpperHex(d.address[1], 2) << ","
      << hidusb::ToUpperHex(d.address[2], 2) << " firmware=" << hidusb::VersionText(d.firmware)
      << " usb_version=" << hidusb::VersionText(d.usbVersion) << " firmware_name=" << d.firmwareName
      << " paired=" << (d.paired.empty() ? "-" : d.paired) << " battery=" << d.battery << " charging=" << d.charging
      << " faults=" << (faults.empty() ? "none" : faults);
    return o.str();
}

bool ShowField(std::ostream& o, const FlashDataMap& img, int profile, const std::string& field, const Args& extra)
{
    if (field == "all") {
        o << "profile: " << profile + 1 << " of 4\n";
        ShowRate(o, img);
        ShowDpi(o, img);
        ShowDebounce(o, img);
        ShowSleep(o, img);
        ShowSensor(o, img);
        ShowLighting(o, img);
        ShowKeys(o, img);
        ShowKeyEvents(o, img);
        ShowMacros(o, img);
    } else if (field == "profile") {
        o << "profile: " << profile + 1 << " of 4\n";
    } else if (field == "rate") {
        ShowRate(o, img);
    } else if (field == "dpi") {
        ShowDpi(o, img);
    } else if (field == "debounce") {
        ShowDebounce(o, img);
    } else if (field == "sleep") {
        ShowSleep(o, img);
    } else if (field == "lift-off") {
        ShowLiftOff(o, img);
    } else if (field == "sensor") {
        ShowSensor(o, img);
    } else if (field == "lighting") {
        ShowLighting(o, img);
    } else if (field == "keys") {
        ShowKeys(o, img);
    } else if (field == "key-events") {
        ShowKeyEvents(o, img);
    } else if (field == "macros") {
        ShowMacros(o, img);
    } else if (field == "bytes") {
        int from = 0, count = 1;
        if (extra.empty() || !hidusb::ParseInt(extra[0], from) || from < 0 || from >= int(FlashDataMapSize))
            Usage("show DEVICE bytes OFFSET [COUNT]: OFFSET 0..10427");
        if (extra.size() > 1 && (!hidusb::ParseInt(extra[1], count) || count < 1))
            Usage("show DEVICE bytes OFFSET [COUNT]: COUNT 1 or more");
        if (from + count > int(FlashDataMapSize))
            count = int(FlashDataMapSize) - from;
        const uint8_t* p = FlashBytes(img);
        for (int i = 0; i < count; ++i)
            o << (i ? " " : "") << hidusb::ToUpperHex(p[from + i], 2);
        o << "\n";
    } else {
        return false;
    }
    return true;
}

}  // namespace bench
