// Transport retries, polling and discovery, with a fake clock.
#include "device/transport.h"
#include "tests/support/fake_clock.h"
#include "tests/support/scripted_hid.h"
#include "tools/virtual-mouse/in_process.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace vela;
using test::FakeClock;
using test::ScriptedHid;

namespace {

std::vector<uint8_t> commandReport()
{
    std::vector<uint8_t> report(64, 0);
    report[0] = 0xA1;
    report[1] = 0x0D;
    report[2] = 0x04;
    report[5] = 1;
    return report;
}

struct ScriptedTransport : ::testing::Test {
    ScriptedHid hid;
    std::unique_ptr<hid::Backend> backend = hid.backend();
    FakeClock clock;
    Transport make(TransportFlavour flavour)
    {
        return Transport(flavour, *backend, clock);
    }
};

} // namespace

TEST_F(ScriptedTransport, TransientSendFailureIsTriedFourTimesWithTheBufferRestored)
{
    struct Case {
        TransportFlavour flavour;
        uint32_t requestedWait;
        uint32_t expectedWait;
    } cases[] = {
        {TransportFlavour::Library, kRetryWaitShort, 30},
        {TransportFlavour::Library, kRetryWaitLong, 50},
        {TransportFlavour::Program, kRetryWaitShort, 50}, // the program always waits 50 ms
    };
    for (const Case &c : cases) {
        hid.sent.clear();
        clock.clear();
        hid.sends.assign(4, {EPIPE});
        Transport transport(c.flavour, *backend, clock);
        ASSERT_TRUE(transport.open(0x132B));
        auto report = commandReport();
        EXPECT_FALSE(transport.sendFeature(report.data(), report.size(), c.requestedWait));
        ASSERT_EQ(hid.sent.size(), 4u);
        for (const auto &sent : hid.sent)
            EXPECT_EQ(sent, commandReport()); // never the scribbled bytes
        EXPECT_EQ(report, commandReport());
        EXPECT_EQ(clock.sleeps(), std::vector<uint32_t>(3, c.expectedWait));
    }
}

TEST_F(ScriptedTransport, SendStopsAtFirstSuccessAndOnAVanishedMouse)
{
    Transport transport = make(TransportFlavour::Library);
    ASSERT_TRUE(transport.open(0x132B));
    auto report = commandReport();

    hid.sends = {{EIO}, {0}};
    EXPECT_TRUE(transport.sendFeature(report.data(), report.size()));
    EXPECT_EQ(hid.sent.size(), 2u);
    EXPECT_TRUE(clock.sleeps().empty());

    hid.sent.clear();
    hid.sends = {{ENODEV}};
    EXPECT_FALSE(transport.sendFeature(report.data(), report.size()));
    EXPECT_EQ(hid.sent.size(), 1u);
}

TEST_F(ScriptedTransport, LibraryPollsBusyStatusAtMostThreeMoreTimes)
{
    Transport transport = make(TransportFlavour::Library);
    ASSERT_TRUE(transport.open(0x132B));
    std::vector<uint8_t> status(64, 0);

    // Busy throughout: the first read and three polls.
    status[0] = 0xA1;
    hid.gets.assign(10, {0, 3});
    EXPECT_TRUE(transport.getFeature(status.data(), status.size()));
    EXPECT_EQ(hid.requested.size(), 4u);
    EXPECT_EQ(status[1], 3);
    EXPECT_EQ(clock.sleeps(), (std::vector<uint32_t>{30, 60}));
    for (const auto &request : hid.requested)
        EXPECT_EQ(request[0], 0xA1);

    // Refused: answered at once, the read itself reported as successful.
    hid.requested.clear();
    hid.gets = {{0, 2}};
    EXPECT_TRUE(transport.getFeature(status.data(), status.size()));
    EXPECT_EQ(hid.requested.size(), 1u);
    EXPECT_EQ(status[1], 2);

    // Busy, then done.
    hid.requested.clear();
    hid.gets = {{0, 4}, {0, 4}, {0, 1}};
    EXPECT_TRUE(transport.getFeature(status.data(), status.size()));
    EXPECT_EQ(hid.requested.size(), 3u);
    EXPECT_EQ(status[1], 1);
}

TEST_F(ScriptedTransport, ProgramPollsFiveTimesOverFiveHundredMilliseconds)
{
    Transport transport = make(TransportFlavour::Program);
    ASSERT_TRUE(transport.open(0x132B));
    std::vector<uint8_t> status(64, 0);
    status[0] = 0xA1;
    hid.gets.assign(10, {0, 2});
    EXPECT_TRUE(transport.getFeature(status.data(), status.size()));
    EXPECT_EQ(hid.requested.size(), 6u);
    const auto sleeps = clock.sleeps();
    EXPECT_EQ(std::accumulate(sleeps.begin(), sleeps.end(), 0u), 500u);
    EXPECT_EQ(sleeps, (std::vector<uint32_t>{50, 100, 150, 200}));
}

TEST_F(ScriptedTransport, FailedReadsAreRetriedOnlyWhenTransient)
{
    std::vector<uint8_t> status(64, 0);
    {
        Transport transport = make(TransportFlavour::Library);
        ASSERT_TRUE(transport.open(0x132B));
        hid.gets.assign(5, {EAGAIN});
        status[0] = 0xA1;
        EXPECT_FALSE(transport.getFeature(status.data(), status.size()));
        EXPECT_EQ(hid.requested.size(), 5u); // one read and four retries
        for (const auto &request : hid.requested)
            EXPECT_EQ(request[0], 0xA1);
    }
    {
        hid.requested.clear();
        Transport transport = make(TransportFlavour::Program);
        ASSERT_TRUE(transport.open(0x132B));
        hid.gets.assign(5, {ETIMEDOUT});
        EXPECT_FALSE(transport.getFeature(status.data(), status.size()));
        EXPECT_EQ(hid.requested.size(), 4u); // one read and three retries
    }
    {
        hid.requested.clear();
        Transport transport = make(TransportFlavour::Library);
        ASSERT_TRUE(transport.open(0x132B));
        hid.gets = {{ENODEV}};
        EXPECT_FALSE(transport.getFeature(status.data(), status.size()));
        EXPECT_EQ(hid.requested.size(), 1u);
    }
}

TEST_F(ScriptedTransport, WithoutAHandleNothingReachesTheDevice)
{
    Transport transport = make(TransportFlavour::Library);
    hid.openError = EACCES;
    EXPECT_FALSE(transport.open(0x132B));
    EXPECT_EQ(transport.lastOpenError(), EACCES); // tells a missing udev rule apart
    auto report = commandReport();
    EXPECT_FALSE(transport.sendFeature(report.data(), report.size()));
    EXPECT_FALSE(transport.getFeature(report.data(), report.size()));
    EXPECT_TRUE(hid.sent.empty());
    EXPECT_TRUE(hid.requested.empty());
}

struct VirtualTransport : ::testing::Test {
    FakeClock clock;
    vmouse::VirtualMouse mouse{clock};
    std::unique_ptr<hid::Backend> backend = vmouse::makeInProcessBackend(mouse);
};

TEST_F(VirtualTransport, SearchRejectsTheStandardMouseInterface)
{
    Transport transport(TransportFlavour::Program, *backend, clock);
    ASSERT_TRUE(transport.open(0x132B));
    EXPECT_EQ(mouse.handleHistory(), (std::vector<std::string>{
                                         "open vmouse/VID_22D4&PID_132B&MI_00",
                                         "close vmouse/VID_22D4&PID_132B&MI_00",
                                         "open vmouse/VID_22D4&PID_132B&MI_01",
                                     }));
    EXPECT_EQ(transport.releaseNumber(), 0x0105);
    EXPECT_EQ(transport.firmwareVersion(), 105);
}

TEST_F(VirtualTransport, BootloaderMouseIsFoundOnlyByItsOwnProduct)
{
    mouse.setMode(vmouse::Mode::Bootloader);
    Transport transport(TransportFlavour::Library, *backend, clock);
    EXPECT_FALSE(transport.open(0x132B));
    EXPECT_FALSE(transport.ensureOpen());
    EXPECT_TRUE(transport.open(0x132A));
    EXPECT_TRUE(transport.isOpen());
}

TEST_F(VirtualTransport, OpenCompliantKeepsItsOwnHandle)
{
    Transport transport(TransportFlavour::Library, *backend, clock);
    EXPECT_TRUE(transport.openCompliant());
    EXPECT_FALSE(transport.isOpen());
    EXPECT_TRUE(transport.ensureOpen());
    const auto history = mouse.handleHistory();
    EXPECT_EQ(std::count(history.begin(), history.end(), "open vmouse/VID_22D4&PID_132B&MI_02"), 1);
    EXPECT_EQ(std::count(history.begin(), history.end(), "close vmouse/VID_22D4&PID_132B&MI_02"), 0);
    EXPECT_EQ(history.back(), "open vmouse/VID_22D4&PID_132B&MI_01");
}

TEST_F(VirtualTransport, UnplugLeavesADeadHandleThatReopensAfterPlug)
{
    Transport transport(TransportFlavour::Library, *backend, clock);
    ASSERT_TRUE(transport.ensureOpen());
    mouse.unplug();
    auto report = commandReport();
    EXPECT_FALSE(transport.sendFeature(report.data(), report.size()));
    EXPECT_TRUE(clock.sleeps().empty()); // ENODEV is not retried
    EXPECT_FALSE(transport.isOpen());    // and the dead handle is dropped
    EXPECT_FALSE(transport.ensureOpen());
    mouse.plug();
    EXPECT_TRUE(transport.ensureOpen());
    EXPECT_TRUE(transport.sendFeature(report.data(), report.size()));
}
