#pragma once
// A clock that never sleeps: it records every wait and advances its time.
#include "platform/clock.h"

#include <mutex>
#include <vector>

namespace vela::test {

class FakeClock final : public Clock {
public:
    void sleepMs(uint32_t ms) override
    {
        std::lock_guard lock(mutex_);
        sleeps_.push_back(ms);
        now_ += ms;
    }
    uint64_t nowMs() override
    {
        std::lock_guard lock(mutex_);
        return now_;
    }
    std::vector<uint32_t> sleeps() const
    {
        std::lock_guard lock(mutex_);
        return sleeps_;
    }
    void clear()
    {
        std::lock_guard lock(mutex_);
        sleeps_.clear();
    }
    void advance(uint64_t ms)
    {
        std::lock_guard lock(mutex_);
        now_ += ms;
    }

private:
    mutable std::mutex mutex_;
    std::vector<uint32_t> sleeps_;
    uint64_t now_ = 1000;
};

} // namespace vela::test
