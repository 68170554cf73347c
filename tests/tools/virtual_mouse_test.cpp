// The virtual mouse model in process, and its socket server through the
// HID layer's virtual backend.
#include "platform/hid_socket.h"
#include "tests/support/fake_clock.h"
#include "tests/support/temp_dir.h"
#include "tools/virtual-mouse/in_process.h"
#include "tools/virtual-mouse/server.h"
#include "tools/virtual-mouse/state_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

using namespace vela;
using vmouse::Mode;
using vmouse::Notice;

namespace {

std::vector<std::string> describe(const std::vector<Notice> &notices)
{
    std::vector<std::string> out;
    for (const auto &n : notices)
        out.push_back((n.kind == Notice::Arrival ? "+" : "-") + n.interface.path.substr(7));
    return out;
}

} // namespace

TEST(VirtualMouse, PlugUnplugAndModeSwitchNotifyObservers)
{
    test::FakeClock clock;
    vmouse::VirtualMouse mouse(clock);
    std::vector<Notice> notices;
    const int id = mouse.addObserver([&](const Notice &n) { notices.push_back(n); });

    mouse.unplug();
    mouse.unplug(); // no change, no notice
    EXPECT_TRUE(mouse.enumerate().empty());
    mouse.plug();
    EXPECT_EQ(describe(notices), (std::vector<std::string>{
                                     "-VID_22D4&PID_132B&MI_00", "-VID_22D4&PID_132B&MI_01", "-VID_22D4&PID_132B&MI_02",
                                     "+VID_22D4&PID_132B&MI_00", "+VID_22D4&PID_132B&MI_01", "+VID_22D4&PID_132B&MI_02"}));
    notices.clear();
    mouse.setMode(Mode::Bootloader);
    EXPECT_EQ(describe(notices).back(), "+VID_22D4&PID_132A&MI_00");
    ASSERT_EQ(mouse.enumerate().size(), 1u);
    EXPECT_EQ(mouse.enumerate()[0].releaseNumber, 0x0101); // the bootloader's version

    mouse.removeObserver(id);
    notices.clear();
    mouse.setMode(Mode::Normal);
    EXPECT_TRUE(notices.empty());
}

TEST(VirtualMouse, FirmwareModeSwitchHappensAfterTheStatusRead)
{
    test::FakeClock clock;
    vmouse::VirtualMouse mouse(clock);
    mouse.withFirmware([](vmouse::Firmware &f) {
        f.addHandler(Mode::Normal, 0xA1, 0x3A, [](vmouse::Firmware &fw, auto, auto, auto &) {
            fw.requestMode(Mode::Bootloader);
            return uint8_t(1);
        });
    });
    auto backend = vmouse::makeInProcessBackend(mouse);
    auto handle = backend->open("vmouse/VID_22D4&PID_132B&MI_01");
    ASSERT_TRUE(handle);
    uint8_t report[64] = {0xA1, 0x3A};
    ASSERT_EQ(handle->sendFeatureReport(report, 64), 64);
    EXPECT_EQ(mouse.mode(), Mode::Normal);
    uint8_t status[64] = {0xA1};
    ASSERT_EQ(handle->getFeatureReport(status, 64), 64);
    EXPECT_EQ(status[1], 1);
    EXPECT_EQ(mouse.mode(), Mode::Bootloader);
    EXPECT_EQ(handle->sendFeatureReport(report, 64), -1);
    EXPECT_EQ(handle->lastError(), ENODEV);
}

TEST(VirtualMouse, FeatureReportsOnlyOnTheCommandInterfaceAndUnknownCommandsRefused)
{
    test::FakeClock clock;
    vmouse::VirtualMouse mouse(clock);
    auto backend = vmouse::makeInProcessBackend(mouse);
    auto standard = backend->open("vmouse/VID_22D4&PID_132B&MI_00");
    uint8_t report[64] = {0xA1, 0x77};
    EXPECT_EQ(standard->sendFeatureReport(report, 64), -1);
    EXPECT_EQ(standard->lastError(), EPIPE);

    auto command = backend->open("vmouse/VID_22D4&PID_132B&MI_01");
    ASSERT_EQ(command->sendFeatureReport(report, 64), 64);
    uint8_t status[64] = {0xA1};
    command->getFeatureReport(status, 64);
    EXPECT_EQ(status[1], 2);
    EXPECT_FALSE(backend->open("vmouse/nothing"));
}

TEST(VirtualMouse, InputReportsQueueAndReadersWakeOnUnplug)
{
    vmouse::VirtualMouse mouse;
    auto backend = vmouse::makeInProcessBackend(mouse);
    auto handle = backend->open("vmouse/VID_22D4&PID_132B&MI_00");
    uint8_t data[9] = {};
    EXPECT_EQ(handle->readInputReport(data, 9, 0), 0);
    mouse.queueInput({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    EXPECT_EQ(handle->readInputReport(data, 9, 0), 9); // cut to the caller's buffer
    EXPECT_EQ(data[8], 9);

    std::thread unplugger([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        mouse.unplug();
    });
    EXPECT_EQ(handle->readInputReport(data, 9, -1), -1);
    EXPECT_EQ(handle->lastError(), ENODEV);
    unplugger.join();
}

TEST(VirtualMouse, LogLinesDropTrailingZeros)
{
    const uint8_t bytes[] = {0xA1, 0x0D, 0x00, 0x00, 0x00, 0x01, 0x02, 0x00, 0x00};
    EXPECT_EQ(vmouse::formatLogLine(12, "set", bytes, sizeof(bytes)), "12 set a1 0d 00 00 00 01 02");
    const uint8_t zeros[3] = {};
    EXPECT_EQ(vmouse::formatLogLine(0, "get", zeros, 3), "0 get");

    test::FakeClock clock;
    vmouse::VirtualMouse mouse(clock);
    auto backend = vmouse::makeInProcessBackend(mouse);
    auto handle = backend->open("vmouse/VID_22D4&PID_132B&MI_01");
    clock.advance(42);
    uint8_t report[64] = {0xA1, 0x02};
    handle->sendFeatureReport(report, 64);
    EXPECT_EQ(mouse.logLines(), std::vector<std::string>{"42 set a1 02"});
}

TEST(VirtualMouse, ControlCommandsCheckTheirArguments)
{
    vmouse::VirtualMouse mouse;
    const std::vector<std::vector<std::string>> bad = {
        {},           {"slot", "5"},        {"slot"},           {"firmware", "0x10000"}, {"mode", "sleep"},
        {"input"},    {"input", "abc"},     {"surface", "256"}, {"fail", "put", "1"},    {"fail", "send", "x"},
        {"fail", "send", "1", "EWHAT"},     {"status", "1"},    {"dance"},
    };
    for (const auto &words : bad)
        EXPECT_FALSE(vmouse::runControl(mouse, words).error.empty()) << (words.empty() ? "" : words[0]);
    EXPECT_TRUE(vmouse::runControl(mouse, {"fail", "get", "2", "EPIPE"}).error.empty());
    EXPECT_TRUE(vmouse::runControl(mouse, {"input", "01", "02", "0304"}).error.empty());
    EXPECT_EQ(vmouse::runControl(mouse, {"slot", "0"}).lines[0], std::string(4096, '0'));
}

TEST(VirtualMouse, StateFileRoundTripAndDamagedFiles)
{
    test::TempDir dir;
    const std::string path = dir.file("state").toStdString();
    vmouse::PersistentState state;
    state.slotImages[2][0] = 0x42;
    state.slotImages[2][2047] = 0x99;
    state.activeSlot = 3;
    state.firmwareVersion = 0x0207;
    state.bootloaderVersion = 0x0110;
    ASSERT_TRUE(vmouse::saveState(path, state));
    vmouse::PersistentState loaded;
    ASSERT_TRUE(vmouse::loadState(path, loaded));
    EXPECT_EQ(loaded.slotImages, state.slotImages);
    EXPECT_EQ(loaded.activeSlot, 3);
    EXPECT_EQ(loaded.firmwareVersion, 0x0207);
    EXPECT_EQ(loaded.bootloaderVersion, 0x0110);

    auto write = [&](const std::string &text) { std::ofstream(path, std::ios::trunc) << text; };
    write("not a state file\n");
    vmouse::PersistentState untouched;
    untouched.activeSlot = 1;
    EXPECT_FALSE(vmouse::loadState(path, untouched));
    EXPECT_EQ(untouched.activeSlot, 1);
    // Damaged lines are skipped, good ones kept.
    write("vela-virtual-mouse-state 1\nactive 9\nslot 1 00ff\nslot 7 00\nfirmware zz\nactive 4\n");
    EXPECT_TRUE(vmouse::loadState(path, untouched));
    EXPECT_EQ(untouched.activeSlot, 4);
    EXPECT_EQ(untouched.slotImages[1][0], 0);
    EXPECT_FALSE(vmouse::loadState(dir.file("missing").toStdString(), untouched));
}

TEST(VirtualMouseSocket, TheVirtualBackendTalksToTheServer)
{
    test::TempDir dir;
    vmouse::VirtualMouse mouse;
    vmouse::Server server(mouse);
    const std::string socket = dir.file("mouse.sock").toStdString();
    std::string error;
    ASSERT_TRUE(server.start(socket, error)) << error;
    vmouse::Server second(mouse);
    EXPECT_FALSE(second.start(socket, error)); // a live socket is not taken over

    auto backend = hid::makeVirtualBackend(socket);
    EXPECT_EQ(backend->enumerate(0, 0), mouse.enumerate());
    EXPECT_EQ(backend->enumerate(0x22D4, 0x132A).size(), 0u);

    // Arrival and removal notices for a subscriber.
    hid::LineSocket watcher;
    ASSERT_TRUE(watcher.connectTo(socket, nullptr));
    ASSERT_TRUE(watcher.writeLine("subscribe"));
    std::string line;
    ASSERT_TRUE(watcher.readLine(line, 2000));
    EXPECT_EQ(line, "ok");

    auto handle = backend->open("vmouse/VID_22D4&PID_132B&MI_01");
    ASSERT_TRUE(handle);
    uint8_t report[64] = {0xA1, 0x0B, 0x03};
    EXPECT_EQ(handle->sendFeatureReport(report, 64), 64);
    uint8_t status[64] = {0xA1};
    EXPECT_EQ(handle->getFeatureReport(status, 64), 64);
    EXPECT_EQ(status[16], 1);
    uint8_t input[9];
    EXPECT_EQ(handle->readInputReport(input, 9, 10), 0);

    mouse.unplug();
    ASSERT_TRUE(watcher.readLine(line, 2000));
    EXPECT_EQ(line, "removal vmouse/VID_22D4&PID_132B&MI_00");
    EXPECT_EQ(handle->sendFeatureReport(report, 64), -1);
    EXPECT_EQ(handle->lastError(), ENODEV);
    int openError = 0;
    EXPECT_FALSE(backend->open("vmouse/VID_22D4&PID_132B&MI_01", &openError));
    EXPECT_EQ(openError, ENOENT);
    mouse.plug();

    // A server that goes away is a mouse that goes away.
    auto again = backend->open("vmouse/VID_22D4&PID_132B&MI_01");
    ASSERT_TRUE(again);
    server.stop();
    EXPECT_EQ(again->getFeatureReport(status, 64), -1);
    EXPECT_EQ(again->lastError(), ENODEV);
    EXPECT_TRUE(backend->enumerate(0, 0).empty());
    EXPECT_FALSE(backend->open("vmouse/VID_22D4&PID_132B&MI_01", &openError));
    EXPECT_EQ(openError, ENOENT);
}
