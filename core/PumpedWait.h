// A wait during which the GUI keeps running: the events that come are
// processed until ms milliseconds have passed, measured on a monotonic clock
// (the time of day may jump, e.g. at midnight or when the clock is set).
// Between events the thread sleeps in a local event loop: an idle wait costs
// no wakeups.
#pragma once

void PumpEventsFor(int ms);
