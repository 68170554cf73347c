// The program's own commands against the in-process virtual mouse.
#include "device/program_device.h"
#include "tests/support/in_process_mouse.h"

#include <gtest/gtest.h>

using namespace vela;

namespace {

struct Program : ::testing::Test, test::InProcessMouse {
    program::ProgramDevice device{*backend, clock};

    void SetUp() override { ASSERT_TRUE(device.open()); }

    void answerActive(uint8_t value)
    {
        mouse.withFirmware([value](vmouse::Firmware &f) {
            f.addHandler(vmouse::Mode::Normal, 0xA1, 0x03, [value](auto &, auto, auto, auto &reply) {
                reply[16] = value;
                return uint8_t(1);
            });
        });
    }
};

} // namespace

TEST_F(Program, ActiveProfileRoundTrip)
{
    EXPECT_EQ(device.setActiveProfile(3), 1);
    EXPECT_EQ(mouse.activeSlot(), 3);
    uint8_t slot = 9;
    EXPECT_EQ(device.getActiveProfile(slot), 1);
    EXPECT_EQ(slot, 3);
    EXPECT_EQ(exchanges(), (std::vector<std::string>{"set a1 04 00 00 00 03", "get a1", "set a1 03", "get a1"}));
    EXPECT_EQ(clock.sleeps(), (std::vector<uint32_t>{1500, 2000}));
    EXPECT_EQ(device.setActiveProfile(5), 4);
}

TEST_F(Program, ActiveProfileOfFiveOrMoreIsRejected)
{
    for (uint8_t value : {5, 200}) {
        answerActive(value);
        uint8_t slot = 1;
        EXPECT_EQ(device.getActiveProfile(slot), 4) << int(value);
        EXPECT_EQ(slot, 1);
    }
    answerActive(4);
    uint8_t slot = 0;
    EXPECT_EQ(device.getActiveProfile(slot), 1);
    EXPECT_EQ(slot, 4);
}

TEST_F(Program, SurfaceAnalysis)
{
    mouse.setSurfaceScore(87);
    EXPECT_EQ(device.startSurfaceAnalysis(), 1);
    uint8_t score = 0;
    EXPECT_EQ(device.readSurfaceAnalysis(score), 1);
    EXPECT_EQ(score, 87);
    EXPECT_EQ(exchanges(), (std::vector<std::string>{"set a1 05 01", "get a1", "set a1 05 02", "get a1"}));
    EXPECT_EQ(clock.sleeps(), (std::vector<uint32_t>{50, 30}));

    mouse.setSurfaceScore(101);
    EXPECT_EQ(device.readSurfaceAnalysis(score), 4);
    EXPECT_EQ(score, 101);

    mouse.unplug();
    clock.clear();
    EXPECT_EQ(device.startSurfaceAnalysis(), 4);
    EXPECT_EQ(device.readSurfaceAnalysis(score), 4);
    EXPECT_EQ(score, 0);
    uint8_t slot = 0;
    EXPECT_EQ(device.getActiveProfile(slot), 4);
    EXPECT_TRUE(clock.sleeps().empty()); // nothing sent, nothing waited for
}

TEST_F(Program, UploadSendsTwoChunksIntoTheSlot)
{
    std::array<uint8_t, program::kImageSize> image;
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = uint8_t(i * 7 + 1);
    EXPECT_EQ(device.uploadImage(2, image), 1);
    EXPECT_EQ(mouse.slot(2), image);
    EXPECT_EQ(clock.sleeps(), (std::vector<uint32_t>{200, 200}));
    const auto log = exchanges();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].substr(0, 54), "set a0 08 00 00 00 02 00 00 00 00 00 00 00 00 00 00 01");
    EXPECT_EQ(log[2].substr(0, 30), "set a0 08 00 00 00 02 01 00 00");
}

TEST_F(Program, UploadResults)
{
    std::array<uint8_t, program::kImageSize> image{};
    image[0] = 1;

    // A chunk whose send fails stops the upload: 4, nothing more sent.
    mouse.failNext(vmouse::VirtualMouse::Direction::Send, 4, EIO);
    EXPECT_EQ(device.uploadImage(0, image), 4);
    EXPECT_TRUE(mouse.logLines().empty());
    EXPECT_EQ(clock.sleeps().back(), 200u); // waited although the send failed

    // A status read that fails: 2.
    mouse.failNext(vmouse::VirtualMouse::Direction::Get, 1, ENODEV);
    EXPECT_EQ(device.uploadImage(0, image), 2);
    EXPECT_FALSE(device.transport().isOpen()); // the mouse said it is gone
    ASSERT_TRUE(device.ensureOpen());

    // A refusing status does not stop it.
    mouse.clearLog();
    mouse.statusNext(2, 100);
    EXPECT_EQ(device.uploadImage(1, image), 1);
    const auto log = exchanges();
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](auto &l) { return l.rfind("set a0 08", 0) == 0; }), 2);
}
