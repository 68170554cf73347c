#pragma once
// Arrival and removal notices of HID device interfaces, each carrying the
// interface path in the Windows form that callers match identifier substrings
// against:
//   \\?\HID#VID_22D4&PID_132B&MI_00#<instance>#{4d1e55b2-f16f-11cf-88cb-001111000030}
//
// One subscription serves both kinds of user: a thread of its own blocks in
// wait() and is released by wake(); a Qt event loop watches fd() with a
// QSocketNotifier and calls take() when it becomes readable. No Qt here: the
// shared device library uses this layer too. Paths are ASCII.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vela {

enum class DeviceNoticeKind { Arrival, Removal };

struct DeviceNotice {
    DeviceNoticeKind kind;
    std::string path;
    bool operator==(const DeviceNotice &) const = default;
};

// The interface path of one HID interface, hex in upper case. A negative
// interface number (a HID device that is not a USB interface, e.g. Bluetooth)
// leaves out "&MI_xx". The instance must not contain '#'.
std::string HidInterfacePath(uint16_t vendor, uint16_t product, int interfaceNumber,
                         const std::string &instance);

// Parses udev's HID_ID, "bus:vendor:product" in hex ("0003:000022D4:0000132B").
// Returns false, leaving the outputs alone, for anything else.
bool ParseHidId(const std::string &hidId, uint16_t *vendor, uint16_t *product);

// What one udev event on a hidraw node says, read from the node and its parents.
struct HidrawEvent {
    std::string action;          // "add", "remove", "change", "bind", ...
    std::string devpath;         // sysfs path of the hidraw node: the key from arrival to removal
    std::string sysname;         // "hidraw3"
    std::string hidId;           // HID_ID of the "hid" parent; empty when the parent is gone
    std::string interfaceNumber; // bInterfaceNumber of the "usb_interface" parent ("00", hex); empty when none
};

// Turns hidraw events into notices. A removal event no longer reaches the
// parents, so the path given at arrival is remembered for it.
class HidrawNoticeBook {
public:
    // Books a node that was present when the subscription started, so that its
    // removal is reported later. Gives no notice.
    void remember(const HidrawEvent &present);
    // The notice an event gives: arrival for "add" of a node whose HID_ID
    // parses, removal for "remove" of a booked node; nothing otherwise.
    std::optional<DeviceNotice> apply(const HidrawEvent &event);
    size_t booked() const { return paths_.size(); }

private:
    static std::optional<std::string> pathOf(const HidrawEvent &event);
    std::map<std::string, std::string> paths_; // devpath -> interface path
};

// A source of notices behind the subscription (udev, or the virtual mouse).
class DeviceNoticeSource {
public:
    virtual ~DeviceNoticeSource() = default;
    // A non-blocking descriptor that is readable when read() has something.
    virtual int fd() const = 0;
    // Appends the notices that are waiting, without blocking.
    virtual void read(std::vector<DeviceNotice> &out) = 0;
};

class DeviceNotifications {
public:
    // Subscribes to the system's notices: the virtual mouse's when the
    // environment variable VELA_VIRTUAL_MOUSE names its socket, udev's
    // otherwise. Returns nullptr and a message in *error when that fails.
    static std::unique_ptr<DeviceNotifications> open(std::string *error = nullptr);
    // Wraps a given source (tests feed notices through one).
    static std::unique_ptr<DeviceNotifications> fromSource(std::unique_ptr<DeviceNoticeSource> source,
                                                           std::string *error = nullptr);
    ~DeviceNotifications();
    DeviceNotifications(const DeviceNotifications &) = delete;
    DeviceNotifications &operator=(const DeviceNotifications &) = delete;

    // Readable while notices are waiting or after wake(), and once at the
    // start; for poll() or a QSocketNotifier on the owner's thread. Owned by
    // this object.
    int fd() const { return epoll_; }
    // The notices waiting now, oldest first; never blocks. Also consumes a wake().
    std::vector<DeviceNotice> take();
    // Blocks until notices are waiting, wake() is called or timeoutMs passes
    // (negative: no limit), then returns take(). An empty result after a wake
    // or a timeout. Call from one thread at a time.
    std::vector<DeviceNotice> wait(int timeoutMs);
    // Releases a wait() in progress, or the next one. Safe from any thread.
    void wake();

private:
    DeviceNotifications() = default;
    std::unique_ptr<DeviceNoticeSource> source_;
    int epoll_ = -1;
    int wakeFd_ = -1;
};

} // namespace vela
