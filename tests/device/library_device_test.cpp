// The library's commands against the in-process virtual mouse.
#include "device/button_codec.h"
#include "device/library_device.h"
#include "tests/support/in_process_mouse.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

using namespace vela;

namespace {

struct Library : ::testing::Test, test::InProcessMouse {
    library::LibraryDevice device{*backend, clock};

    vmouse::LibraryProfile profile(int number)
    {
        vmouse::LibraryProfile copy;
        mouse.withFirmware([&](vmouse::Firmware &f) { copy = f.state().profiles[number - 1]; });
        return copy;
    }
};

VelaButtonEvent keyEvent(int16_t code, uint8_t release, uint32_t delay)
{
    VelaButtonEvent e{};
    e.kind = 18;
    e.code = code;
    e.release = release;
    e.delay[0] = uint8_t(delay);
    e.delay[1] = uint8_t(delay >> 8);
    e.delay[2] = uint8_t(delay >> 16);
    return e;
}

// Button settings with room for events.
struct Settings {
    alignas(VelaButtonSettings) uint8_t storage[sizeof(VelaButtonSettings) + 200 * sizeof(VelaButtonEvent)] = {};
    VelaButtonSettings &operator*() { return *reinterpret_cast<VelaButtonSettings *>(storage); }
    VelaButtonSettings *operator->() { return reinterpret_cast<VelaButtonSettings *>(storage); }
};

} // namespace

TEST_F(Library, ArgumentChecksComeBeforeAnyDeviceAccess)
{
    VelaDpiBlock dpi{};
    VelaLightingBlock lighting{};
    const uint8_t four[4] = {};
    struct Case {
        const char *what;
        std::function<uint8_t()> call;
    } cases[] = {
        {"300 Hz", [&] { return device.setPollingRate(1, 300); }},
        {"profile 0", [&] { return device.setPollingRate(0, 500); }},
        {"profile 6", [&] { return device.setLod(6, 1); }},
        {"response 3", [&] { return device.setButtonResponseTime(1, 3); }},
        {"response 14", [&] { return device.setButtonResponseTime(1, 14); }},
        {"response 0", [&] { return device.setButtonResponseTime(1, 0); }},
        {"angle 2", [&] { return device.setAngleSnapping(1, 2); }},
        {"dpi profile 9", [&] { return device.setDpiSettings(9, dpi); }},
        {"sensor profile 0", [&] { return device.resetSensorSettings(0, four, dpi); }},
        {"lighting profile 7", [&] { return device.updateLighting(7, 0, lighting, 0, 0, 0); }},
        {"sync 7", [&] { return device.syncProfile(7); }},
        {"copy to 6", [&] { return device.copyProfile(1, 6); }},
        {"read profile 0", [&] { return device.readProfileData(0, nullptr, nullptr); }},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.call(), 2) << c.what;
    EXPECT_TRUE(mouse.logLines().empty());
    EXPECT_TRUE(mouse.handleHistory().empty()); // not even opened
}

TEST_F(Library, SettingsReachTheMouseWithTheirBytesAndWaits)
{
    EXPECT_EQ(device.setPollingRate(2, 500), 1);
    EXPECT_EQ(exchanges(), (std::vector<std::string>{"set a1 0d 01 00 00 02 02", "get a1"}));
    EXPECT_EQ(clock.sleeps(), std::vector<uint32_t>{50});

    for (uint8_t time : {2, 12})
        EXPECT_EQ(device.setButtonResponseTime(1, time), 1);
    clock.clear();
    EXPECT_EQ(device.setAngleSnapping(1, 1), 1);
    EXPECT_EQ(clock.sleeps(), std::vector<uint32_t>{30});

    VelaDpiBlock dpi{7, 9, {100, 200, 300, 400, 500, 600, 700, 800, 900, 1000}};
    EXPECT_EQ(device.setDpiSettings(3, dpi), 1);
    VelaLightingBlock lighting;
    for (int i = 0; i < 24; ++i)
        lighting.bytes[i] = uint8_t(i + 1);
    clock.clear();
    EXPECT_EQ(device.updateLighting(3, 5, lighting, 50, 1, 2), 1);
    EXPECT_EQ(clock.sleeps(), std::vector<uint32_t>{100});

    VelaProfileData data;
    EXPECT_EQ(device.readProfileData(3, &data, nullptr), 1);
    EXPECT_EQ(data.dpi.first, 7);
    EXPECT_EQ(data.dpi.second, 9);
    EXPECT_EQ(data.dpi.value[9], 1000);
    EXPECT_EQ(data.lighting_mode, 5);
    EXPECT_EQ(std::memcmp(data.lighting.bytes, lighting.bytes, 24), 0);
    EXPECT_EQ(data.brightness, 50);
    EXPECT_EQ(data.lighting_value2, 1);
    EXPECT_EQ(data.lighting_value3, 2);
    EXPECT_EQ(data.polling_rate, 1000); // profile 3 kept its default

    const uint8_t four[4] = {0x11, 0x22, 0x33, 0x44};
    VelaDpiBlock reset{1, 2, {11, 12, 13, 14, 15, 16, 17, 18, 19, 20}};
    mouse.clearLog();
    EXPECT_EQ(device.resetSensorSettings(4, four, reset), 1);
    EXPECT_EQ(exchanges()[0], "set a1 0d 0f 00 00 04 00 00 00 00 00 00 00 00 00 00 11 22 33 44 01 02 0b 00 0c 00 0d 00 "
                              "0e 00 0f 00 10 00 11 00 12 00 13 00 14");
    EXPECT_EQ(device.readProfileData(4, &data, nullptr), 1);
    EXPECT_EQ(data.dpi.first, 1);
    EXPECT_EQ(data.dpi.value[0], 11);
    EXPECT_EQ(data.dpi.value[9], 20);
}

TEST_F(Library, FirmwareVersionDigitsAreReadAsDecimal)
{
    mouse.setFirmwareVersion(0x0105); // reply bytes 16-17: 05 01
    int16_t version = 0;
    EXPECT_EQ(device.getFirmwareVersion(&version), 1);
    EXPECT_EQ(version, 105);
    EXPECT_EQ(device.getBootloaderVersion(&version), 1);
    EXPECT_EQ(version, 101);
    EXPECT_EQ(device.getFirmwareVersion(nullptr), 20);
}

TEST_F(Library, MissingMouseRefusedCommandAndFailedSendGive20)
{
    mouse.unplug();
    EXPECT_EQ(device.setLod(1, 1), 20);
    uint8_t status = 0;
    EXPECT_EQ(device.getDeviceStatus(&status), 20);
    EXPECT_EQ(status, 255);
    mouse.plug();
    EXPECT_EQ(device.getDeviceStatus(&status), 1);
    EXPECT_EQ(status, 1);

    mouse.statusNext(2, 1);
    EXPECT_EQ(device.setLod(1, 1), 20);
    mouse.failNext(vmouse::VirtualMouse::Direction::Send, 4, EIO);
    EXPECT_EQ(device.setLod(1, 1), 20);
    EXPECT_EQ(device.setLod(1, 1), 1);
}

TEST_F(Library, MacroSendsTheShortCommandThenTheBlock)
{
    Settings s;
    s->button = 2;
    s->family = 19;
    s->sub_value = 1;
    s->macro_param = 3;
    s->event_count = 2;
    s->events[0] = keyEvent('A', 0, 0);
    s->events[1] = keyEvent('A', 1, 300);
    ASSERT_EQ(device.setButtonSettings(1, &*s), 1);
    const auto log = exchanges();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0], "set a1 0a 00 00 00 01 02 00 00 00 00 00 00 00 00 00 03 f1 03 00 02 00 0f");
    EXPECT_EQ(log[1], "get a1");
    // Checksum of 01 04 00 00 00 00 00 01 04 00 01 2c 01 00 is 0x0038.
    EXPECT_EQ(log[2], "set a0 21 02 00 00 01 00 38 00 00 00 00 00 00 00 00 01 04 00 00 00 00 00 01 04 00 01 2c 01");
    EXPECT_EQ(log[3], "get a1");
    EXPECT_EQ(clock.sleeps(), (std::vector<uint32_t>{50, 100}));

    VelaProfileData data;
    ASSERT_EQ(device.readProfileData(1, &data, nullptr), 1);
    const VelaProfileButton &b = data.buttons[1];
    EXPECT_EQ(b.family, 19u);
    EXPECT_EQ(b.sub_value, 1);
    EXPECT_EQ(b.macro_param, 3);
    ASSERT_EQ(b.event_count, 2);
    EXPECT_EQ(b.events[1].kind, 18);
    EXPECT_EQ(b.events[1].code, 'A');
    EXPECT_EQ(b.events[1].release, 1);
    EXPECT_EQ(b.events[1].delay[0] | b.events[1].delay[1] << 8, 300);
}

TEST_F(Library, FourRefusedBlockWritesGive20)
{
    mouse.withFirmware([](vmouse::Firmware &f) {
        f.addHandler(vmouse::Mode::Normal, 0xA0, 0x21, [](auto &, auto, auto, auto &) { return uint8_t(2); });
    });
    Settings s;
    s->button = 1;
    s->family = 19;
    s->event_count = 1;
    s->events[0] = keyEvent('B', 0, 20);
    EXPECT_EQ(device.setButtonSettings(1, &*s), 20);
    auto log = exchanges();
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](auto &l) { return l.rfind("set a0 21", 0) == 0; }), 4);
    // Command wait, then per try its 100 ms, with 50 and 100 ms between tries.
    EXPECT_EQ(clock.sleeps(), (std::vector<uint32_t>{50, 100, 100, 50, 100, 100, 100}));

    // A refused short command sends no block at all.
    mouse.clearLog();
    mouse.statusNext(2, 1);
    EXPECT_EQ(device.setButtonSettings(1, &*s), 20);
    EXPECT_EQ(exchanges().size(), 2u);
}

TEST_F(Library, TooManyEventsAreRefusedBeforeAnySend)
{
    Settings s;
    s->family = 19;
    s->button = 1;
    s->event_count = VELA_MAX_BLOCK_EVENTS + 1;
    EXPECT_EQ(device.setButtonSettings(1, &*s), 2);
    EXPECT_EQ(device.setButtonSettings(1, nullptr), 20);
    EXPECT_TRUE(mouse.logLines().empty());
}

TEST_F(Library, PresetAndLaunchersReadBack)
{
    Settings preset;
    preset->button = 4;
    preset->family = 25;
    preset->sub_value = 2;
    ASSERT_EQ(device.setButtonSettings(2, &*preset), 1);
    const auto block = profile(2).blocks[3];
    const uint8_t expected[] = {1, 0xE3, 0, 0, 5, 0, 0, 1, 0x0F, 0, 0, 150, 0, 0,
                                1, 0xE3, 0, 1, 5, 0, 0, 1, 0x0F, 0, 1, 5,   0, 0};
    EXPECT_EQ(std::memcmp(block.data(), expected, sizeof(expected)), 0);
    EXPECT_EQ(block[sizeof(expected)], 0);

    const char path[] = "/usr/bin/true";
    VelaLaunchRequest program{2, 3, path, sizeof(path) - 1, {}};
    ASSERT_EQ(device.setButtonLaunch(&program, 0x23), 1);
    const char url[] = "https://example.org/";
    VelaLaunchRequest browser{2, 6, url, sizeof(url) - 1, {}};
    ASSERT_EQ(device.setButtonLaunch(&browser, 0x24), 1);

    VelaProfileData data;
    uint8_t blocks[6][1024];
    std::memset(blocks, 0xAA, sizeof(blocks));
    ASSERT_EQ(device.readProfileData(2, &data, blocks), 1);
    EXPECT_EQ(data.buttons[2].family, 25u);
    EXPECT_EQ(data.buttons[2].sub_value, 6);
    EXPECT_EQ(data.buttons[2].launch_size, sizeof(path) - 1);
    EXPECT_STREQ(reinterpret_cast<char *>(blocks[2]), path);
    EXPECT_EQ(data.buttons[5].sub_value, 1);
    EXPECT_STREQ(reinterpret_cast<char *>(blocks[5]), url);
    EXPECT_EQ(data.buttons[3].family, 25u); // the preset: no block copied
    EXPECT_EQ(data.buttons[3].sub_value, 2);
    EXPECT_EQ(blocks[3][0], 0);

    VelaLaunchRequest bad{2, 7, url, 4, {}};
    EXPECT_EQ(device.setButtonLaunch(&bad, 0x23), 2);
    VelaLaunchRequest big{2, 1, url, 1025, {}};
    EXPECT_EQ(device.setButtonLaunch(&big, 0x23), 2);
    VelaLaunchRequest noData{2, 1, nullptr, 4, {}};
    EXPECT_EQ(device.setButtonLaunch(&noData, 0x23), 20);
}

TEST_F(Library, ProfileManagement)
{
    uint8_t value = 0;
    EXPECT_EQ(device.setCurrentProfile(4), 1);
    EXPECT_EQ(device.getCurrentProfile(&value), 1);
    EXPECT_EQ(value, 4);
    EXPECT_EQ(mouse.activeSlot(), 3);

    EXPECT_EQ(device.setAngleSnapping(1, 1), 1);
    EXPECT_EQ(device.copyProfile(1, 5), 1);
    EXPECT_EQ(profile(5).settings[3], 1);
    EXPECT_EQ(device.resetProfileDefault(5), 1);
    EXPECT_EQ(profile(5).settings[3], 0);

    for (uint8_t p = 1; p <= 5; ++p)
        EXPECT_EQ(device.deleteProfile(p), 1);
    // The count is written even when it is out of range.
    EXPECT_EQ(device.getProfileCount(&value), 20);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(device.addProfile(2), 1);
    EXPECT_EQ(device.getProfileCount(&value), 1);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(device.resetFactoryDefault(), 1);
}

TEST_F(Library, TheLockKeepsCommandsWhole)
{
    // With the real clock's waits replaced by a fake one, each command is a
    // set followed by its get; two threads must never interleave them.
    std::thread a([&] {
        for (int i = 0; i < 50; ++i)
            device.setLod(1, 1);
    });
    std::thread b([&] {
        for (int i = 0; i < 50; ++i)
            device.setAngleSnapping(2, 0);
    });
    a.join();
    b.join();
    const auto log = exchanges();
    ASSERT_EQ(log.size(), 200u);
    for (size_t i = 0; i < log.size(); i += 2) {
        EXPECT_EQ(log[i].rfind("set", 0), 0u);
        EXPECT_EQ(log[i + 1], "get a1");
    }
}
