// vela-virtual-mouse as other tests use it: serve, ctl, --state, --firmware.
#include "device/program_device.h"
#include "tests/support/virtual_mouse_process.h"

#include <gtest/gtest.h>

using namespace vela;

namespace {

QStringList words(const char *text)
{
    return QString::fromLatin1(text).split(u' ');
}

} // namespace

TEST(VirtualMouseCli, CtlCommandsAndTheLog)
{
    test::VirtualMouseProcess mouse(VELA_BIN_DIR);
    ASSERT_TRUE(mouse.ready());
    auto backend = hid::makeVirtualBackend(mouse.socketPath().toStdString());
    program::ProgramDevice device(*backend, systemClock());

    bool ok = false;
    mouse.ctl(words("firmware 0x0203"), &ok);
    EXPECT_TRUE(ok);
    ASSERT_TRUE(device.open());
    EXPECT_EQ(device.firmwareVersion(), 203);

    mouse.ctl(words("log --clear"));
    EXPECT_EQ(device.setActiveProfile(2), 1);
    EXPECT_EQ(mouse.ctl(words("active")), "2");
    const QStringList log = mouse.ctl(words("log")).split(u'\n');
    ASSERT_EQ(log.size(), 2);
    EXPECT_TRUE(log[0].endsWith(" set a1 04 00 00 00 02")) << log[0].toStdString();
    EXPECT_TRUE(log[1].endsWith(" get a1")) << log[1].toStdString();
    EXPECT_GE(log[1].section(u' ', 0, 0).toLongLong(), log[0].section(u' ', 0, 0).toLongLong() + 1500);

    std::array<uint8_t, program::kImageSize> image{};
    image[0] = 0xAB;
    image[2047] = 0xCD;
    EXPECT_EQ(device.uploadImage(4, image), 1);
    const QString slot = mouse.ctl(words("slot 4"));
    EXPECT_EQ(slot.size(), 4096);
    EXPECT_TRUE(slot.startsWith("ab00") && slot.endsWith("00cd"));

    mouse.ctl(words("surface 64"));
    uint8_t score = 0;
    EXPECT_EQ(device.readSurfaceAnalysis(score), 1);
    EXPECT_EQ(score, 64);

    mouse.ctl(words("status 2 1"));
    EXPECT_EQ(device.startSurfaceAnalysis(), 1); // the program polls until 1
    mouse.ctl(words("status 2 6"));
    EXPECT_EQ(device.startSurfaceAnalysis(), 4);
    mouse.ctl(words("fail send 4 EIO"));
    EXPECT_EQ(device.startSurfaceAnalysis(), 4);
    EXPECT_EQ(device.startSurfaceAnalysis(), 1);

    mouse.ctl(words("unplug"));
    EXPECT_FALSE(device.open());
    mouse.ctl(words("plug"));
    EXPECT_TRUE(device.open());

    mouse.ctl(words("slot 9"), &ok);
    EXPECT_FALSE(ok);
}

TEST(VirtualMouseCli, StateSurvivesARestart)
{
    test::VirtualMouseProcess mouse(VELA_BIN_DIR);
    const QString state = mouse.folder() + "/state";
    mouse.stop();
    ASSERT_TRUE(mouse.start({"--state", state, "--firmware", "0x0310"}));
    {
        auto backend = hid::makeVirtualBackend(mouse.socketPath().toStdString());
        program::ProgramDevice device(*backend, systemClock());
        ASSERT_TRUE(device.open());
        std::array<uint8_t, program::kImageSize> image{};
        image[5] = 0x5A;
        ASSERT_EQ(device.uploadImage(1, image), 1);
        mouse.ctl(words("mode bootloader"));
        mouse.ctl(words("mode normal"));
    }
    mouse.stop();
    ASSERT_TRUE(mouse.start({"--state", state}));
    EXPECT_TRUE(mouse.ctl(words("slot 1")).startsWith("00000000005a"));
    auto backend = hid::makeVirtualBackend(mouse.socketPath().toStdString());
    program::ProgramDevice device(*backend, systemClock());
    ASSERT_TRUE(device.open());
    EXPECT_EQ(device.firmwareVersion(), 310);
}
