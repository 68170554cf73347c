#include "device/event_channel.h"
#include "tests/support/fake_clock.h"
#include "tools/virtual-mouse/in_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

using vela::events::EventChannel;

namespace {

struct Call {
    uint8_t code;
    uint8_t firstByte; // the value byte, or the first byte of the block
    uint8_t lastByte;  // the block's last byte (0 for a value)
    uint32_t extra;
};

// The callback is a plain function pointer, so what it sees goes here.
struct Calls {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Call> calls;
    EventChannel *closeFromCallback = nullptr;

    std::vector<Call> waitFor(size_t count)
    {
        std::unique_lock lock(mutex);
        changed.wait_for(lock, std::chrono::seconds(10), [&] { return calls.size() >= count; });
        return calls;
    }
} recorded;

void Record(uint8_t *code, void *value, uint32_t *extra)
{
    const auto *bytes = static_cast<const uint8_t *>(value);
    const bool block = *code == 35 || *code == 36;
    {
        std::lock_guard lock(recorded.mutex);
        recorded.calls.push_back({*code, bytes[0], block ? bytes[1023] : uint8_t(0), *extra});
    }
    if (recorded.closeFromCallback)
        recorded.closeFromCallback->close();
    recorded.changed.notify_all();
}

struct BlockFetch {
    uint8_t button, profile;
    bool zeroed;
};

class EventChannelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::lock_guard lock(recorded.mutex);
        recorded.calls.clear();
        recorded.closeFromCallback = nullptr;
    }

    std::vector<std::string> history(const char *what)
    {
        std::vector<std::string> out;
        for (auto &line : mouse.handleHistory())
            if (line.rfind(what, 0) == 0)
                out.push_back(line);
        return out;
    }

    vela::test::FakeClock clock;
    vela::vmouse::VirtualMouse mouse{clock};
    std::unique_ptr<vela::hid::Backend> backend = vela::vmouse::makeInProcessBackend(mouse);
    std::mutex fetchMutex;
    std::vector<BlockFetch> fetches;
    EventChannel channel{*backend, clock, [this](uint8_t button, uint8_t profile, uint8_t *block) {
                             std::lock_guard lock(fetchMutex);
                             fetches.push_back({button, profile, std::all_of(block, block + 1024, [](uint8_t b) { return b == 0; })});
                             block[0] = 0xB0;
                             block[1023] = 0xBF;
                         }};
};

} // namespace

TEST(EventDecode, FollowsTheCallbackTable)
{
    using Kind = vela::events::Event::Kind;
    for (uint8_t code = 0; code < 40; ++code) {
        const auto event = vela::events::DecodeReport({0x01, code, 3, 0x10, 2, 1, 0, 0, 0});
        const Kind expected = code >= 1 && code <= 5 ? Kind::Value : code == 35 || code == 36 ? Kind::Block : Kind::None;
        EXPECT_EQ(event.kind, expected) << int(code);
        EXPECT_EQ(event.code, code);
    }
    const auto value = vela::events::DecodeReport({0x01, 2, 3, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(value.value, 3);
    EXPECT_EQ(value.extra, 1u);
    const auto block = vela::events::DecodeReport({0x01, 36, 0x34, 0x12, 6, 5, 0, 0, 0});
    EXPECT_EQ(block.extra, 0x1234u);
    EXPECT_EQ(block.button, 6);
    EXPECT_EQ(block.profile, 5);
}

TEST_F(EventChannelTest, WithoutACallbackNothingIsOpened)
{
    EXPECT_EQ(channel.capture(nullptr), 20);
    EXPECT_FALSE(channel.running());
    EXPECT_TRUE(history("open").empty());
}

TEST_F(EventChannelTest, AnAbsentMouseGives255)
{
    mouse.unplug();
    EXPECT_EQ(channel.capture(Record), 255);
    EXPECT_FALSE(channel.running());
}

TEST_F(EventChannelTest, ReportsReachTheCallbackAsTheTableSays)
{
    ASSERT_EQ(channel.capture(Record), 5);
    // The first interface of the mouse, as an open by vendor and product picks it.
    EXPECT_EQ(history("open"), (std::vector<std::string>{"open " + mouse.enumerate().front().path}));

    mouse.queueInput({0x01, 2, 3, 0, 0, 0, 0, 0, 0});
    mouse.queueInput({0x01, 6, 9, 0, 0, 0, 0, 0, 0});
    mouse.queueInput({0x01, 35, 0x10, 0x00, 2, 1, 0, 0, 0});
    mouse.queueInput({0x01, 5}); // a short report reads as zeros beyond its end
    const auto calls = recorded.waitFor(3);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].code, 2);
    EXPECT_EQ(calls[0].firstByte, 3);
    EXPECT_EQ(calls[0].extra, 1u);
    EXPECT_EQ(calls[1].code, 35); // code 6 made no call
    EXPECT_EQ(calls[1].firstByte, 0xB0);
    EXPECT_EQ(calls[1].lastByte, 0xBF);
    EXPECT_EQ(calls[1].extra, 16u);
    EXPECT_EQ(calls[2].code, 5);
    EXPECT_EQ(calls[2].firstByte, 0);
    {
        std::lock_guard lock(fetchMutex);
        ASSERT_EQ(fetches.size(), 1u);
        EXPECT_EQ(fetches[0].button, 2);
        EXPECT_EQ(fetches[0].profile, 1);
        EXPECT_TRUE(fetches[0].zeroed);
    }
    channel.close();
    // One 80 ms pause per report, the one without a call included.
    const auto sleeps = clock.sleeps();
    EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), 80u), 4);
    EXPECT_EQ(history("close").size(), 1u);
}

TEST_F(EventChannelTest, CloseEndsTheReaderWithoutAnotherReport)
{
    ASSERT_EQ(channel.capture(Record), 5);
    channel.close(); // would hang here if the reader waited for a report
    EXPECT_FALSE(channel.running());
    EXPECT_EQ(history("close").size(), 1u);
    channel.close(); // closing twice is harmless
}

TEST_F(EventChannelTest, ASecondCaptureReplacesTheReaderAndItsDevice)
{
    ASSERT_EQ(channel.capture(Record), 5);
    ASSERT_EQ(channel.capture(Record), 5);
    // The first input device was closed before the second was opened.
    const auto handles = mouse.handleHistory();
    ASSERT_EQ(handles.size(), 3u);
    EXPECT_EQ(handles[0].rfind("open", 0), 0u);
    EXPECT_EQ(handles[1].rfind("close", 0), 0u);
    EXPECT_EQ(handles[2].rfind("open", 0), 0u);
    mouse.queueInput({0x01, 1, 4});
    EXPECT_EQ(recorded.waitFor(1).size(), 1u);
    channel.close();
    EXPECT_EQ(history("close").size(), 2u);
}

TEST_F(EventChannelTest, AnUnpluggedMouseIsPolledUntilClose)
{
    ASSERT_EQ(channel.capture(Record), 5);
    mouse.unplug();
    // Failed reads pause 80 ms each instead of spinning.
    while (clock.sleeps().size() < 3)
        std::this_thread::yield();
    channel.close();
    EXPECT_FALSE(channel.running());
    EXPECT_TRUE(recorded.calls.empty());
}

TEST_F(EventChannelTest, CloseFromInsideTheCallbackDoesNotDeadlock)
{
    recorded.closeFromCallback = &channel;
    ASSERT_EQ(channel.capture(Record), 5);
    mouse.queueInput({0x01, 3, 1});
    EXPECT_EQ(recorded.waitFor(1).size(), 1u);
    // The reader finishes on its own once the callback returns.
    while (channel.running() || history("close").empty())
        std::this_thread::yield();
    EXPECT_EQ(history("close").size(), 1u);
}
