// A wait during which the GUI keeps running: pending events are processed
// (at most 100 ms at a time) until ms milliseconds have passed, measured on
// a monotonic clock (the time of day may jump, e.g. at midnight or when the
// clock is set).
#pragma once

void PumpEventsFor(int ms);
