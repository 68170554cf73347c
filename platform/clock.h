#pragma once
// Every wait of the device protocol goes through a Clock so tests can check
// waits and retry counts without sleeping.
#include <cstdint>

namespace vela {

class Clock {
public:
    virtual ~Clock() = default;
    // Blocks the calling thread for ms milliseconds (a fake clock only records it).
    virtual void sleepMs(uint32_t ms) = 0;
    // Monotonic milliseconds; the origin is arbitrary.
    virtual uint64_t nowMs() = 0;
};

// The real clock, shared by every thread.
Clock &systemClock();

} // namespace vela
