#include "device/library_services.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_notice_source.h"
#include "tools/virtual-mouse/in_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

using vela::DeviceNoticeKind;

namespace {

// The callbacks are plain function pointers; what they see goes here.
struct Seen {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::pair<int, uint32_t>> firmware;
    std::vector<uint8_t> device;
    std::vector<std::vector<uint8_t>> events; // code, extra, then the value's bytes
    bool holdFirmware = false;                // blocks the worker in its first callback

    void clear()
    {
        std::lock_guard lock(mutex);
        firmware.clear();
        device.clear();
        events.clear();
        holdFirmware = false;
    }
    template <typename Pred> bool waitUntil(Pred pred)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(10), pred);
    }
} seen;

void OnFirmware(uint8_t *status, uint32_t *progress)
{
    std::unique_lock lock(seen.mutex);
    seen.firmware.emplace_back(*status, *progress);
    seen.changed.notify_all();
    seen.changed.wait(lock, [] { return !seen.holdFirmware; });
}

void OnDevice(uint8_t *value)
{
    std::lock_guard lock(seen.mutex);
    seen.device.push_back(*value);
    seen.changed.notify_all();
}

void OnEvent(uint8_t *code, void *value, uint32_t *extra)
{
    const auto *bytes = static_cast<const uint8_t *>(value);
    const size_t size = *code == 35 || *code == 36 ? 1024 : 1;
    std::vector<uint8_t> record{*code, uint8_t(*extra)};
    record.insert(record.end(), bytes, bytes + size);
    std::lock_guard lock(seen.mutex);
    seen.events.push_back(std::move(record));
    seen.changed.notify_all();
}

class LibraryServicesTest : public ::testing::Test {
protected:
    void SetUp() override { seen.clear(); }

    std::vector<std::string> log(const char *prefix)
    {
        std::vector<std::string> out;
        for (const auto &line : mouse.logLines()) {
            const std::string exchange = line.substr(line.find(' ') + 1);
            if (exchange.rfind(prefix, 0) == 0)
                out.push_back(exchange);
        }
        return out;
    }

    vela::test::FakeClock clock;
    vela::vmouse::VirtualMouse mouse{clock};
    std::unique_ptr<vela::hid::Backend> backend = vela::vmouse::makeInProcessBackend(mouse);
    vela::library::LibraryDevice device{*backend, clock};
    vela::test::FakeSubscription fake;
    vela::library::LibraryServices services{device, clock, [this] { return std::move(fake.notifications); }};
};

} // namespace

TEST_F(LibraryServicesTest, AnUpdateRunsThroughTheBootloaderToTheNewVersion)
{
    mouse.withFirmware([](vela::vmouse::Firmware &f) { f.state().updateVersion = 0x0107; });
    std::vector<uint8_t> image(2049, 0x11);
    ASSERT_EQ(services.setFirmwareCallback(OnFirmware), 1);
    ASSERT_TRUE(services.updateFirmware(uint32_t(image.size()), image.data()));
    image.assign(image.size(), 0); // the worker has its own copy
    services.waitForFirmwareWorker();

    EXPECT_EQ(seen.firmware, (std::vector<std::pair<int, uint32_t>>{
                                 {1, 1}, {1, 3}, {1, 4}, {1, 4}, {1, 37}, {1, 70}, {1, 100}, {0x60, 107}}));
    EXPECT_EQ(mouse.mode(), vela::vmouse::Mode::Normal);
    int16_t version = 0;
    EXPECT_EQ(device.getFirmwareVersion(&version), 1);
    EXPECT_EQ(version, 107);
    // The bootloader saw the entry code, the start and chunks 12, 13, 14.
    EXPECT_EQ(log("set a1 3a").size(), 1u);
    EXPECT_EQ(log("set a1 3a")[0], "set a1 3a 00 00 00 6b 1e d4");
    const auto chunks = log("set a0 06");
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].substr(0, 24), "set a0 06 0c 00 44 00 00");
    EXPECT_EQ(chunks[2].substr(0, 24), "set a0 06 0e 11 00 00 00");
}

TEST_F(LibraryServicesTest, AMouseInItsBootloaderIsUpdatedWithoutTheSwitch)
{
    mouse.setMode(vela::vmouse::Mode::Bootloader);
    services.setFirmwareCallback(OnFirmware);
    const std::vector<uint8_t> image(1024, 1);
    ASSERT_TRUE(services.updateFirmware(1024, image.data()));
    services.waitForFirmwareWorker();
    ASSERT_GE(seen.firmware.size(), 3u);
    EXPECT_EQ(seen.firmware[0], (std::pair<int, uint32_t>{1, 1}));
    EXPECT_EQ(seen.firmware[1], (std::pair<int, uint32_t>{1, 4}));
    EXPECT_EQ(seen.firmware.back(), (std::pair<int, uint32_t>{0x60, 106})); // 0x0105 + 1
    EXPECT_TRUE(log("set a1 3a").empty());
    // Checksum of 1024 ones.
    EXPECT_EQ(log("set a0 06")[0].substr(0, 18), "set a0 06 0c 00 04");
}

TEST_F(LibraryServicesTest, AnOversizedImageEndsWith0x50AndNoTraffic)
{
    services.setFirmwareCallback(OnFirmware);
    const std::vector<uint8_t> image(102401, 0xAA);
    ASSERT_TRUE(services.updateFirmware(uint32_t(image.size()), image.data()));
    services.waitForFirmwareWorker();
    EXPECT_EQ(seen.firmware, (std::vector<std::pair<int, uint32_t>>{{0x50, 0}}));
    EXPECT_TRUE(mouse.logLines().empty());
    EXPECT_TRUE(mouse.handleHistory().empty());
}

TEST_F(LibraryServicesTest, ASecondUpdateWhileOneRunsIsRefused)
{
    EXPECT_EQ(services.setFirmwareCallback(nullptr), 20);
    services.setFirmwareCallback(OnFirmware);
    {
        std::lock_guard lock(seen.mutex);
        seen.holdFirmware = true;
    }
    const std::vector<uint8_t> image(1024, 1);
    ASSERT_TRUE(services.updateFirmware(1024, image.data()));
    ASSERT_TRUE(seen.waitUntil([] { return !seen.firmware.empty(); }));
    EXPECT_FALSE(services.updateFirmware(1024, image.data()));
    {
        std::lock_guard lock(seen.mutex);
        seen.holdFirmware = false;
    }
    seen.changed.notify_all();
    services.waitForFirmwareWorker();
    EXPECT_EQ(seen.firmware.back().first, 0x60);
    // Once it has ended, the next update is accepted.
    EXPECT_TRUE(services.updateFirmware(1024, image.data()));
    services.waitForFirmwareWorker();
}

TEST_F(LibraryServicesTest, ALaunchEventFetchesTheButtonBlockFromTheMouse)
{
    mouse.withFirmware([](vela::vmouse::Firmware &f) {
        auto &block = f.state().profiles[0].blocks[1]; // profile 1, button 2
        for (size_t i = 0; i < block.size(); ++i)
            block[i] = uint8_t(i * 7);
    });
    EXPECT_EQ(services.captureEvents(nullptr), 20);
    ASSERT_EQ(services.captureEvents(OnEvent), 5);
    mouse.queueInput({0x01, 35, 0x10, 0x00, 2, 1, 0, 0, 0});
    ASSERT_TRUE(seen.waitUntil([] { return !seen.events.empty(); }));
    const auto event = seen.events[0];
    EXPECT_EQ(event[0], 35);
    EXPECT_EQ(event[1], 16);
    ASSERT_EQ(event.size(), 2u + 1024u);
    for (size_t i = 0; i < 1024; ++i)
        ASSERT_EQ(event[2 + i], uint8_t(i * 7)) << i;
    EXPECT_EQ(log("set a1 25").front(), "set a1 25 02 00 00 01");
    EXPECT_EQ(services.closeDevice(), 1);
}

TEST_F(LibraryServicesTest, TheListenerCallsBackAndClosesTheDeviceOnRemoval)
{
    auto *source = fake.source;
    EXPECT_EQ(services.setDeviceCallback(nullptr), 20);
    ASSERT_EQ(services.setDeviceCallback(OnDevice), 1);
    ASSERT_EQ(services.startListener(), 1);
    EXPECT_EQ(services.startListener(), 20); // one listener at a time

    ASSERT_EQ(services.captureEvents(OnEvent), 5);
    ASSERT_TRUE(device.openDevice(0x132B));
    source->push({DeviceNoticeKind::Arrival, "\\\\?\\HID#VID_3282&PID_0003&MI_00#1#{g}"});
    source->push({DeviceNoticeKind::Arrival, "\\\\?\\HID#VID_22D4&PID_132B&MI_00#1#{g}"});
    source->push({DeviceNoticeKind::Removal, "\\\\?\\HID#VID_0000&PID_0004&MI_01#1#{g}"});
    ASSERT_TRUE(seen.waitUntil([] { return seen.device.size() >= 2; }));
    EXPECT_EQ(seen.device, (std::vector<uint8_t>{1, 255}));
    // Close_device followed the removal: no reader, no command interface.
    for (int i = 0; i < 10000 && (device.transport().isOpen() || services.eventsRunning()); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_FALSE(device.transport().isOpen());
    EXPECT_FALSE(services.eventsRunning());
    EXPECT_EQ(mouse.handleHistory().back().rfind("close", 0), 0u);
}
