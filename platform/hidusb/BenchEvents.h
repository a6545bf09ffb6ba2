// Device-side events across processes.
//
// The bench tool runs in another process than the program whose link should
// see a device-side event (the DPI button, a battery change, a reset, ...).
// The tool changes the device's state in the bench files first, then appends
// one line to events.log in the bench folder:
//     <device id> <event> [argument]
// events: "status <mask>"   status change report, bit i = flag [i]
//         "defaults"        model-defaults report (after a device-side reset)
//         "dongle-light"    receiver light report
//         "long-range <0|1>" long-range report
// Each line is written with one append-mode write, so lines of several
// writers never interleave. Every open link looks at the log when it
// changed (the library's change notice, else a size check every 50 ms),
// reads the lines added since the link opened and turns those for its
// device into reports on its own thread, in order.
#pragma once

#include <string>
#include <vector>

namespace hidusb {

struct BenchEvent {
    std::string device;
    std::string name;
    int arg = 0;
};

std::string EventLogPath(const std::string& dir);
bool AppendEvent(const std::string& dir, const BenchEvent& event);

// Reads the events appended after the position it was started at.
class EventReader {
public:
    // Starts at the present end of the log: earlier events are history.
    void Start(const std::string& dir);
    // New complete lines since the last call.
    std::vector<BenchEvent> Poll();

private:
    std::string file_;
    unsigned long long offset_ = 0;
};

}  // namespace hidusb
