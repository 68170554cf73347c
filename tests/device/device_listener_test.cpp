#include "device/device_listener.h"
#include "tests/support/fake_notice_source.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

using vela::DeviceNoticeKind;
using vela::listener::NoticeValue;

namespace {
constexpr auto Arrival = DeviceNoticeKind::Arrival;
constexpr auto Removal = DeviceNoticeKind::Removal;
const std::string kFirst = "\\\\?\\HID#VID_3282&PID_0003&MI_00#7&1A2B&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
const std::string kSecond = "\\\\?\\HID#VID_3282&PID_0004&MI_01#7&1A2B&0&0001#{4d1e55b2-f16f-11cf-88cb-001111000030}";
} // namespace

TEST(ListenerMatch, FollowsTheIdentifierTable)
{
    struct Case {
        DeviceNoticeKind kind;
        std::string path;
        std::optional<uint8_t> value;
    };
    const std::vector<Case> cases = {
        {Arrival, kFirst, 1},
        {Arrival, kSecond, 2},
        {Arrival, "HID#VID_3282&PID_0003&PID_0004&MI_00", 1}, // the first combination wins
        {Arrival, "HID#VID_3282&PID_0003&MI_01", std::nullopt}, // no "MI_00"
        {Arrival, "HID#VID_3282&PID_0003", std::nullopt},
        {Arrival, "HID#VID_1234&PID_0004", std::nullopt},       // arrival needs "VID_3282"
        {Arrival, "hid#vid_3282&pid_0003&mi_00", std::nullopt}, // case-sensitive
        {Arrival, "", std::nullopt},
        {Removal, kFirst, 255},
        {Removal, kSecond, 255},
        {Removal, "HID#VID_1234&PID_0004&MI_02", 255}, // "PID_0004" alone is enough
        {Removal, "HID#VID_3282&PID_0003&MI_01", std::nullopt},
        {Removal, "hid#vid_3282&pid_0004", std::nullopt},
        {Removal, "\\\\?\\HID#VID_22D4&PID_132B&MI_00#X#{g}", std::nullopt}, // the mouse itself is not this identity
    };
    for (const Case &c : cases)
        EXPECT_EQ(NoticeValue(c.kind, c.path), c.value) << c.path;
}

namespace {

struct Recorder {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<uint8_t> values;
    void add(uint8_t value)
    {
        std::lock_guard lock(mutex);
        values.push_back(value);
        changed.notify_all();
    }
    std::vector<uint8_t> waitFor(size_t count)
    {
        std::unique_lock lock(mutex);
        changed.wait_for(lock, std::chrono::seconds(10), [&] { return values.size() >= count; });
        return values;
    }
};

} // namespace

TEST(Listener, ItsThreadReportsMatchingNoticesAndStopsWhenWoken)
{
    auto fake = std::make_shared<vela::test::FakeSubscription>();
    Recorder recorder;
    vela::listener::Listener listener;
    ASSERT_TRUE(listener.start([&] { return std::move(fake->notifications); },
                               [&](uint8_t value) { recorder.add(value); }));
    EXPECT_TRUE(listener.running());
    fake->source->push({Arrival, "HID#VID_22D4&PID_132B&MI_00"});
    fake->source->push({Arrival, kFirst});
    fake->source->push({Arrival, kSecond});
    fake->source->push({Removal, kSecond});
    EXPECT_EQ(recorder.waitFor(3), (std::vector<uint8_t>{1, 2, 255}));

    // A second start while it runs is refused; the first keeps listening.
    vela::test::FakeSubscription other;
    EXPECT_FALSE(listener.start([&] { return std::move(other.notifications); }, [](uint8_t) {}));
    fake->source->push({Removal, kFirst});
    EXPECT_EQ(recorder.waitFor(4).back(), 255);

    listener.stop(); // returns although no further notice arrives
    EXPECT_FALSE(listener.running());
}

TEST(Listener, AFailedSubscriptionStartsNothing)
{
    vela::listener::Listener listener;
    EXPECT_FALSE(listener.start([] { return std::unique_ptr<vela::DeviceNotifications>(); }, [](uint8_t) {}));
    EXPECT_FALSE(listener.running());
}
