#include "platform/clock.h"

#include <chrono>
#include <thread>

namespace vela {
namespace {

class SystemClock final : public Clock {
public:
    void sleepMs(uint32_t ms) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    uint64_t nowMs() override
    {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
};

} // namespace

Clock &systemClock()
{
    static SystemClock clock;
    return clock;
}

} // namespace vela
