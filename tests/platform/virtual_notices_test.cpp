#include "platform/virtual_notices.h"
#include "tests/support/fake_clock.h"
#include "tools/virtual-mouse/server.h"
// After the virtual mouse: Qt's "slots" keyword would clash with its fields.
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

using vela::DeviceNotice;
using vela::DeviceNoticeKind;

namespace {
std::string PathOf(const char *ids, const char *instance)
{
    return std::string("\\\\?\\HID#") + ids + "#" + instance + "#{4d1e55b2-f16f-11cf-88cb-001111000030}";
}
} // namespace

TEST(VirtualNotices, SubscriptionLinesBecomeNotices)
{
    EXPECT_EQ(vela::VirtualNoticeFromLine("arrival vmouse/VID_22D4&PID_132B&MI_00"),
              (DeviceNotice{DeviceNoticeKind::Arrival, PathOf("VID_22D4&PID_132B&MI_00", "VMOUSE_00")}));
    EXPECT_EQ(vela::VirtualNoticeFromLine("removal vmouse/VID_22D4&PID_132A&MI_12"),
              (DeviceNotice{DeviceNoticeKind::Removal, PathOf("VID_22D4&PID_132A&MI_0C", "VMOUSE_0C")}));
    for (const char *bad : {"", "ok", "arrival", "arrival vmouse/VID_22D4&PID_132B", "plug vmouse/VID_22D4&PID_132B&MI_00",
                            "arrival vmouse/VID_XYZ&PID_132B&MI_00", "arrival vmouse/VID_22D4&PID_132B&MI_300"})
        EXPECT_FALSE(vela::VirtualNoticeFromLine(bad)) << bad;
}

TEST(VirtualNotices, PlugUnplugAndModeSwitchReachTheSubscription)
{
    vela::test::FakeClock clock;
    vela::vmouse::VirtualMouse mouse(clock);
    vela::vmouse::Server server(mouse);
    vela::test::TempDir dir;
    const std::string socket = dir.file("mouse.sock").toStdString();
    std::string error;
    ASSERT_TRUE(server.start(socket, error)) << error;

    auto source = vela::OpenVirtualNoticeSource(socket, &error);
    ASSERT_TRUE(source) << error;
    auto notifications = vela::DeviceNotifications::fromSource(std::move(source));
    ASSERT_TRUE(notifications);

    auto collect = [&](size_t count) {
        std::vector<DeviceNotice> all;
        for (int i = 0; i < 50 && all.size() < count; ++i) {
            auto some = notifications->wait(100);
            all.insert(all.end(), some.begin(), some.end());
        }
        return all;
    };
    mouse.unplug();
    const auto removed = collect(3);
    ASSERT_EQ(removed.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(removed[i].kind, DeviceNoticeKind::Removal);
        EXPECT_NE(removed[i].path.find("VID_22D4&PID_132B&MI_0" + std::to_string(i) + "#"), std::string::npos);
    }
    mouse.plug();
    const auto arrived = collect(3);
    ASSERT_EQ(arrived.size(), 3u);
    EXPECT_EQ(arrived[0], (DeviceNotice{DeviceNoticeKind::Arrival, removed[0].path}));

    mouse.setMode(vela::vmouse::Mode::Bootloader);
    const auto switched = collect(4);
    ASSERT_EQ(switched.size(), 4u);
    EXPECT_EQ(switched[3].kind, DeviceNoticeKind::Arrival);
    EXPECT_NE(switched[3].path.find("VID_22D4&PID_132A&MI_00"), std::string::npos);

    // A virtual mouse that goes away ends the notices; waiting stays quiet.
    server.stop();
    EXPECT_TRUE(notifications->wait(100).empty());
    EXPECT_TRUE(notifications->wait(0).empty());
}

TEST(VirtualNotices, NoVirtualMouseIsAClearError)
{
    vela::test::TempDir dir;
    std::string error;
    EXPECT_FALSE(vela::OpenVirtualNoticeSource(dir.file("none.sock").toStdString(), &error));
    EXPECT_NE(error.find("none.sock"), std::string::npos);
}
