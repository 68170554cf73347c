#include "platform/device_notifications.h"
#include "platform/hid.h"
#include "platform/virtual_notices.h"

#include <libudev.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace vela {

std::string HidInterfacePath(uint16_t vendor, uint16_t product, int interfaceNumber,
                             const std::string &instance)
{
    char ids[32];
    if (interfaceNumber >= 0)
        snprintf(ids, sizeof ids, "VID_%04X&PID_%04X&MI_%02X", vendor, product, unsigned(interfaceNumber) & 0xFFu);
    else
        snprintf(ids, sizeof ids, "VID_%04X&PID_%04X", vendor, product);
    return std::string("\\\\?\\HID#") + ids + '#' + instance + "#{4d1e55b2-f16f-11cf-88cb-001111000030}";
}

namespace {

// Hex digits only, at most maxDigits of them, into *value.
bool parseHex(std::string_view text, size_t maxDigits, unsigned long *value)
{
    if (text.empty() || text.size() > maxDigits)
        return false;
    unsigned long v = 0;
    for (char c : text) {
        const int digit = std::isdigit(uint8_t(c)) ? c - '0'
                        : (c >= 'a' && c <= 'f')   ? c - 'a' + 10
                        : (c >= 'A' && c <= 'F')   ? c - 'A' + 10
                                                   : -1;
        if (digit < 0)
            return false;
        v = v * 16 + unsigned(digit);
    }
    *value = v;
    return true;
}

} // namespace

bool ParseHidId(const std::string &hidId, uint16_t *vendor, uint16_t *product)
{
    const size_t first = hidId.find(':');
    const size_t second = first == std::string::npos ? first : hidId.find(':', first + 1);
    if (second == std::string::npos)
        return false;
    const std::string_view text(hidId);
    unsigned long bus = 0, v = 0, p = 0;
    if (!parseHex(text.substr(0, first), 8, &bus)
        || !parseHex(text.substr(first + 1, second - first - 1), 8, &v)
        || !parseHex(text.substr(second + 1), 8, &p) || v > 0xFFFF || p > 0xFFFF)
        return false;
    *vendor = uint16_t(v);
    *product = uint16_t(p);
    return true;
}

std::optional<std::string> HidrawNoticeBook::pathOf(const HidrawEvent &event)
{
    uint16_t vendor = 0, product = 0;
    if (event.devpath.empty() || !ParseHidId(event.hidId, &vendor, &product))
        return std::nullopt;
    int interfaceNumber = -1;
    if (!event.interfaceNumber.empty()) {
        unsigned long n = 0;
        if (!parseHex(event.interfaceNumber, 2, &n))
            return std::nullopt;
        interfaceNumber = int(n);
    }
    // The node name is unique among present devices; '#' separates the parts
    // of the path, so none may slip in.
    std::string instance;
    for (char c : event.sysname)
        instance += c == '#' ? '_' : char(std::toupper(uint8_t(c)));
    return HidInterfacePath(vendor, product, interfaceNumber, instance);
}

void HidrawNoticeBook::remember(const HidrawEvent &present)
{
    if (auto path = pathOf(present))
        paths_[present.devpath] = *path;
}

std::optional<DeviceNotice> HidrawNoticeBook::apply(const HidrawEvent &event)
{
    if (event.action == "add") {
        auto path = pathOf(event);
        if (!path)
            return std::nullopt;
        paths_[event.devpath] = *path;
        return DeviceNotice{DeviceNoticeKind::Arrival, *path};
    }
    if (event.action == "remove") {
        auto it = paths_.find(event.devpath);
        if (it == paths_.end())
            return std::nullopt;
        DeviceNotice notice{DeviceNoticeKind::Removal, it->second};
        paths_.erase(it);
        return notice;
    }
    return std::nullopt;
}

namespace {

std::string fromUdev(const char *text)
{
    return text ? std::string(text) : std::string();
}

HidrawEvent readEvent(udev_device *device)
{
    HidrawEvent event;
    event.action = fromUdev(udev_device_get_action(device));
    event.devpath = fromUdev(udev_device_get_devpath(device));
    event.sysname = fromUdev(udev_device_get_sysname(device));
    // The parents belong to the child; they are not unreferenced separately.
    if (udev_device *hid = udev_device_get_parent_with_subsystem_devtype(device, "hid", nullptr))
        event.hidId = fromUdev(udev_device_get_property_value(hid, "HID_ID"));
    if (udev_device *usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_interface"))
        event.interfaceNumber = fromUdev(udev_device_get_sysattr_value(usb, "bInterfaceNumber"));
    return event;
}

class UdevNoticeSource final : public DeviceNoticeSource {
public:
    ~UdevNoticeSource() override
    {
        if (monitor_)
            udev_monitor_unref(monitor_);
        if (udev_)
            udev_unref(udev_);
    }

    bool start(std::string *error)
    {
        udev_ = udev_new();
        if (!udev_)
            return fail(error, "cannot reach udev");
        monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
        if (!monitor_)
            return fail(error, std::string("cannot create a udev monitor: ") + strerror(errno));
        if (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0
            || udev_monitor_enable_receiving(monitor_) < 0)
            return fail(error, std::string("cannot listen to udev: ") + strerror(errno));
        // Book what is present now, after the monitor is live, so that no
        // device slips between the two and every later removal has its path.
        if (udev_enumerate *list = udev_enumerate_new(udev_)) {
            udev_enumerate_add_match_subsystem(list, "hidraw");
            udev_enumerate_scan_devices(list);
            udev_list_entry *entry = nullptr;
            udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(list))
            {
                if (udev_device *device = udev_device_new_from_syspath(udev_, udev_list_entry_get_name(entry))) {
                    book_.remember(readEvent(device));
                    udev_device_unref(device);
                }
            }
            udev_enumerate_unref(list);
        }
        return true;
    }

    int fd() const override { return udev_monitor_get_fd(monitor_); }

    void read(std::vector<DeviceNotice> &out) override
    {
        // The monitor's socket is non-blocking: this ends when it is drained.
        while (udev_device *device = udev_monitor_receive_device(monitor_)) {
            if (auto notice = book_.apply(readEvent(device)))
                out.push_back(*notice);
            udev_device_unref(device);
        }
    }

private:
    static bool fail(std::string *error, const std::string &message)
    {
        if (error)
            *error = message;
        return false;
    }

    udev *udev_ = nullptr;
    udev_monitor *monitor_ = nullptr;
    HidrawNoticeBook book_;
};

} // namespace

std::unique_ptr<DeviceNotifications> DeviceNotifications::open(std::string *error)
{
    const char *socket = getenv(hid::kVirtualMouseEnv);
    if (socket && *socket) {
        auto source = OpenVirtualNoticeSource(socket, error);
        return source ? fromSource(std::move(source), error) : nullptr;
    }
    auto source = std::make_unique<UdevNoticeSource>();
    if (!source->start(error))
        return nullptr;
    return fromSource(std::move(source), error);
}

std::unique_ptr<DeviceNotifications> DeviceNotifications::fromSource(std::unique_ptr<DeviceNoticeSource> source,
                                                                     std::string *error)
{
    std::unique_ptr<DeviceNotifications> self(new DeviceNotifications);
    self->source_ = std::move(source);
    self->epoll_ = epoll_create1(EPOLL_CLOEXEC);
    self->wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    bool ok = self->epoll_ >= 0 && self->wakeFd_ >= 0;
    for (int fd : {self->source_->fd(), self->wakeFd_}) {
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.fd = fd;
        ok = ok && epoll_ctl(self->epoll_, EPOLL_CTL_ADD, fd, &event) == 0;
    }
    if (!ok) {
        if (error)
            *error = std::string("cannot watch device notices: ") + strerror(errno);
        return nullptr;
    }
    // A source may already hold notices that came with its subscription.
    self->wake();
    return self;
}

DeviceNotifications::~DeviceNotifications()
{
    source_.reset();
    if (epoll_ >= 0)
        ::close(epoll_);
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
}

std::vector<DeviceNotice> DeviceNotifications::take()
{
    uint64_t count = 0;
    while (::read(wakeFd_, &count, sizeof count) > 0) {
    }
    std::vector<DeviceNotice> notices;
    source_->read(notices);
    return notices;
}

std::vector<DeviceNotice> DeviceNotifications::wait(int timeoutMs)
{
    pollfd watched{epoll_, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&watched, 1, timeoutMs < 0 ? -1 : timeoutMs);
    } while (ready < 0 && errno == EINTR);
    return take();
}

void DeviceNotifications::wake()
{
    const uint64_t one = 1;
    // A full counter still reads as readable, so a failed write loses nothing.
    [[maybe_unused]] ssize_t written = ::write(wakeFd_, &one, sizeof one);
}

} // namespace vela
