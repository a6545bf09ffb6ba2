// The open link with one device: a queue of requests answered in order by
// the link's own thread, which calls the report callback.
//
// The thread sleeps until a request is due or the device-event log changed
// (LibChanges.h): an idle link costs no wakeups.
//
// Threads: the thread is detached. Closing a link (UsbServer_Exit or a new
// UsbServerC_Start) only marks it closed and wakes it: a thread that is
// inside the application's callback (which may block until the GUI thread
// takes the data, while the GUI thread calls UsbServer_Exit) finishes that
// report and ends on its own; nobody waits for it. Requests made from
// inside a callback join the queue and are answered after it returns.
//
// Report header (8 bytes): 0x5A, type, 0, sub-code A, sub-code B, data
// length (u16 little-endian), 0.
#pragma once

#include "BenchEvents.h"
#include "HIDUsb.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace hidusb {

struct Request {
    enum Kind {
        AllFlash,
        ReportRate,
        CurrentDpi,
        LedBar,
        DpiLed,
        Battery,
        Version,
        Config,
        Status,       // arg: flag mask
        Defaults,     // model defaults after a reset
        DongleLight,  // receiver light
        LongRange,    // arg: mode
        PairStatus,
        PairFinish,   // arg: pairing generation
    };
    Kind kind;
    int arg = 0;
};

struct Report {
    uint8_t type = 0, subA = 0, subB = 0;
    std::vector<uint8_t> data;
};

class Link {
public:
    Link(std::string path, ProtocolDataCallback callback) : path_(std::move(path)), callback_(callback) {}

    const std::string& Path() const { return path_; }
    void Push(const Request& r);
    void PushAt(std::chrono::steady_clock::time_point when, const Request& r);
    void Close();
    bool Closed();

    // Pairing: state 0 idle, 1 pairing, 2 failed, 3 paired. Start returns
    // the generation that the finishing request must carry.
    int StartPairing(int cid);
    // An attempt that cannot start (the link is not to a receiver).
    void FailPairing();
    int PairState();

    // Thread body; events: the device-event log, positioned when the link opened.
    void Run(EventReader events);

private:
    void PollEvents(EventReader& events);
    std::vector<Report> Answer(const Request& r);
    std::vector<Report> FinishPairing(int generation);
    void Deliver(const Report& report);

    const std::string path_;
    const ProtocolDataCallback callback_;
    std::mutex m_;
    std::condition_variable cv_;
    std::deque<Request> queue_;
    std::multimap<std::chrono::steady_clock::time_point, Request> timed_;
    bool closed_ = false;
    int pairState_ = 0;
    int pairGeneration_ = 0;
    int pairCid_ = 0;
};

// Queues r on the open link when it is a link to path (or to the receiver of
// the mouse at path); nothing otherwise.
void SendToLinkOf(const std::string& path, const Request& r);
// The open link (null when none).
std::shared_ptr<Link> OpenLink();

}  // namespace hidusb
