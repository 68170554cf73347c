#include "platform/device_notifications.h"
#include "tests/support/qt_try.h"
#include "tests/support/fake_notice_source.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

using vela::DeviceNotice;
using vela::DeviceNoticeKind;
using vela::HidrawEvent;

namespace {

const char *kGuid = "#{4d1e55b2-f16f-11cf-88cb-001111000030}";

// Recorded from udev: the three interfaces of the mouse and a Bluetooth HID
// keyboard, whose hidraw node has no usb_interface parent.
const HidrawEvent kMouse0{"add", "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/0003:22D4:132B.0005/hidraw/hidraw3",
                          "hidraw3", "0003:000022D4:0000132B", "00"};
const HidrawEvent kMouse1{"add", "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.1/0003:22D4:132B.0006/hidraw/hidraw4",
                          "hidraw4", "0003:000022D4:0000132B", "01"};
const HidrawEvent kMouseA{"add", "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.10/0003:22D4:132B.0007/hidraw/hidraw5",
                          "hidraw5", "0003:000022D4:0000132B", "0a"};
const HidrawEvent kBluetooth{"add", "/devices/virtual/misc/uhid/0005:046D:B342.0009/hidraw/hidraw7", "hidraw7",
                             "0005:0000046D:0000B342", ""};

HidrawEvent removalOf(const HidrawEvent &added)
{
    // By removal time the parents are gone: only the node itself is known.
    return HidrawEvent{"remove", added.devpath, added.sysname, "", ""};
}

} // namespace

TEST(HidInterfacePath, HasTheWindowsFormWithUpperCaseHex)
{
    EXPECT_EQ(vela::HidInterfacePath(0x22d4, 0x132b, 0, "HIDRAW3"),
              std::string("\\\\?\\HID#VID_22D4&PID_132B&MI_00#HIDRAW3") + kGuid);
    EXPECT_EQ(vela::HidInterfacePath(0x3282, 0x4, 0x1a, "X"), std::string("\\\\?\\HID#VID_3282&PID_0004&MI_1A#X") + kGuid);
    EXPECT_EQ(vela::HidInterfacePath(0x46d, 0xb342, -1, "X"), std::string("\\\\?\\HID#VID_046D&PID_B342#X") + kGuid);
}

TEST(ParseHidId, AcceptsOnlyThreeHexFields)
{
    uint16_t vendor = 1, product = 1;
    EXPECT_TRUE(vela::ParseHidId("0003:000022D4:0000132b", &vendor, &product));
    EXPECT_EQ(vendor, 0x22D4);
    EXPECT_EQ(product, 0x132B);
    for (const char *bad : {"", "0003:000022D4", "0003:000022D4:", "0003:0001FFFF:0001", "0003:22D4:13 2B",
                            "0003:22D4:132B:1", "x:22D4:132B", "0003:000000022D4:132B"}) {
        vendor = product = 7;
        EXPECT_FALSE(vela::ParseHidId(bad, &vendor, &product)) << bad;
        EXPECT_EQ(vendor, 7) << bad;
    }
}

TEST(HidrawNoticeBook, ArrivalsGivePathsAndRemovalsRepeatThemWithoutParents)
{
    vela::HidrawNoticeBook book;
    const std::string path0 = std::string("\\\\?\\HID#VID_22D4&PID_132B&MI_00#HIDRAW3") + kGuid;
    const std::string pathA = std::string("\\\\?\\HID#VID_22D4&PID_132B&MI_0A#HIDRAW5") + kGuid;

    EXPECT_EQ(book.apply(kMouse0), (DeviceNotice{DeviceNoticeKind::Arrival, path0}));
    ASSERT_TRUE(book.apply(kMouse1));
    EXPECT_EQ(book.apply(kMouseA), (DeviceNotice{DeviceNoticeKind::Arrival, pathA}));
    EXPECT_EQ(book.apply(kBluetooth)->path, std::string("\\\\?\\HID#VID_046D&PID_B342#HIDRAW7") + kGuid);
    EXPECT_EQ(book.booked(), 4u);

    // A change of a known node is no notice.
    EXPECT_FALSE(book.apply(HidrawEvent{"change", kMouse0.devpath, "hidraw3", kMouse0.hidId, "00"}));

    EXPECT_EQ(book.apply(removalOf(kMouse0)), (DeviceNotice{DeviceNoticeKind::Removal, path0}));
    EXPECT_EQ(book.apply(removalOf(kMouseA)), (DeviceNotice{DeviceNoticeKind::Removal, pathA}));
    // Removed once: a second removal of the same node is not reported again.
    EXPECT_FALSE(book.apply(removalOf(kMouse0)));
    EXPECT_EQ(book.booked(), 2u);
}

TEST(HidrawNoticeBook, NodesPresentAtStartAreReportedOnlyWhenRemoved)
{
    vela::HidrawNoticeBook book;
    book.remember(kMouse1);
    EXPECT_EQ(book.booked(), 1u);
    const auto removal = book.apply(removalOf(kMouse1));
    ASSERT_TRUE(removal);
    EXPECT_EQ(removal->kind, DeviceNoticeKind::Removal);
    EXPECT_NE(removal->path.find("VID_22D4&PID_132B&MI_01#HIDRAW4#"), std::string::npos);
}

TEST(HidrawNoticeBook, EventsItCannotNameGiveNothing)
{
    vela::HidrawNoticeBook book;
    // A removal of a node it never saw, an arrival whose parent vanished in
    // between, a malformed interface number, a node without devpath.
    EXPECT_FALSE(book.apply(removalOf(kMouse0)));
    EXPECT_FALSE(book.apply(HidrawEvent{"add", kMouse0.devpath, "hidraw3", "", "00"}));
    EXPECT_FALSE(book.apply(HidrawEvent{"add", kMouse0.devpath, "hidraw3", kMouse0.hidId, "100"}));
    EXPECT_FALSE(book.apply(HidrawEvent{"add", "", "hidraw3", kMouse0.hidId, "00"}));
    EXPECT_EQ(book.booked(), 0u);
    // A '#' in the node name cannot break the path apart.
    const auto odd = book.apply(HidrawEvent{"add", "/x", "raw#1", kMouse0.hidId, "00"});
    ASSERT_TRUE(odd);
    EXPECT_NE(odd->path.find("#RAW_1#"), std::string::npos);
}

namespace {

using Subscription = vela::test::FakeSubscription;

const DeviceNotice kArrival{DeviceNoticeKind::Arrival, "\\\\?\\HID#VID_22D4&PID_132B&MI_00#A#{x}"};
const DeviceNotice kRemoval{DeviceNoticeKind::Removal, "\\\\?\\HID#VID_22D4&PID_132B&MI_00#A#{x}"};

} // namespace

TEST(DeviceNotifications, AThreadWaitingIsReleasedByANoticeOrByWake)
{
    Subscription sub;
    ASSERT_TRUE(sub.notifications);
    EXPECT_TRUE(sub.notifications->take().empty());
    EXPECT_TRUE(sub.notifications->wait(0).empty());

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<DeviceNotice> seen;
    std::atomic<bool> stop{false};
    std::thread listener([&] {
        while (!stop) {
            auto notices = sub.notifications->wait(-1);
            std::lock_guard lock(mutex);
            seen.insert(seen.end(), notices.begin(), notices.end());
            changed.notify_all();
        }
    });
    sub.source->push(kArrival);
    sub.source->push(kRemoval);
    {
        std::unique_lock lock(mutex);
        changed.wait_for(lock, std::chrono::seconds(10), [&] { return seen.size() >= 2; });
    }
    // The listener is blocked in wait(-1) again; only wake() can end it.
    stop = true;
    sub.notifications->wake();
    listener.join();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], kArrival);
    EXPECT_EQ(seen[1], kRemoval);
}

TEST(DeviceNotifications, AWakeBeforeTheWaitIsNotLost)
{
    Subscription sub;
    sub.notifications->wake();
    // Would block for ever if the wake had been dropped.
    EXPECT_TRUE(sub.notifications->wait(-1).empty());
}

TEST(DeviceNotifications, TheDescriptorDrivesAQtSocketNotifier)
{
    int argc = 1;
    char name[] = "test";
    char *argv[] = {name};
    QCoreApplication app(argc, argv);
    Subscription sub;
    QSocketNotifier notifier(sub.notifications->fd(), QSocketNotifier::Read);
    std::vector<DeviceNotice> seen;
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
        for (auto &notice : sub.notifications->take())
            seen.push_back(notice);
    });
    sub.source->push(kArrival);
    VELA_TRY_COMPARE(seen.size(), size_t(1));
    sub.source->push(kRemoval);
    VELA_TRY_COMPARE(seen.size(), size_t(2));
    EXPECT_EQ(seen[1], kRemoval);
}

TEST(DeviceNotifications, TheUdevSubscriptionOpensOrSaysWhyNot)
{
    // No udev daemon runs here, so no live event is expected: only that the
    // subscription opens (booking the present nodes) or fails with a message.
    unsetenv("VELA_VIRTUAL_MOUSE");
    std::string error;
    auto notifications = vela::DeviceNotifications::open(&error);
    if (!notifications) {
        EXPECT_FALSE(error.empty());
        return;
    }
    EXPECT_GE(notifications->fd(), 0);
    EXPECT_TRUE(notifications->wait(0).empty());
}
