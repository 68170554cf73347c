#include "platform/virtual_notices.h"
#include "platform/hid_socket.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace vela {

std::optional<DeviceNotice> VirtualNoticeFromLine(const std::string &line)
{
    const size_t space = line.find(' ');
    if (space == std::string::npos)
        return std::nullopt;
    const std::string word = line.substr(0, space);
    const std::string interfacePath = line.substr(space + 1);
    DeviceNoticeKind kind;
    if (word == "arrival")
        kind = DeviceNoticeKind::Arrival;
    else if (word == "removal")
        kind = DeviceNoticeKind::Removal;
    else
        return std::nullopt;

    // The virtual mouse names an interface "vmouse/VID_hhhh&PID_hhhh&MI_dd".
    const auto field = [&](const char *tag, int base, unsigned long max, unsigned long *out) {
        const size_t at = interfacePath.find(tag);
        if (at == std::string::npos)
            return false;
        const char *begin = interfacePath.c_str() + at + std::strlen(tag);
        char *end = nullptr;
        errno = 0;
        *out = std::strtoul(begin, &end, base);
        return end != begin && errno == 0 && *out <= max && (*end == '\0' || *end == '&');
    };
    unsigned long vendor = 0, product = 0, number = 0;
    if (!field("VID_", 16, 0xFFFF, &vendor) || !field("PID_", 16, 0xFFFF, &product) || !field("MI_", 10, 0xFF, &number))
        return std::nullopt;
    char instance[16];
    std::snprintf(instance, sizeof instance, "VMOUSE_%02lX", number);
    return DeviceNotice{kind, HidInterfacePath(uint16_t(vendor), uint16_t(product), int(number), instance)};
}

namespace {

class VirtualNoticeSource final : public DeviceNoticeSource {
public:
    bool start(const std::string &socketPath, std::string *error)
    {
        int code = 0;
        std::string reply;
        if (!socket_->connectTo(socketPath, &code) || !socket_->writeLine("subscribe")
            || !socket_->readLine(reply, 2000, &code) || reply != "ok") {
            if (error)
                *error = "cannot subscribe to the virtual mouse at " + socketPath + ": "
                       + (code ? std::strerror(code) : reply.c_str());
            return false;
        }
        fd_ = socket_->fd();
        return true;
    }

    int fd() const override { return fd_; }

    void read(std::vector<DeviceNotice> &out) override
    {
        std::string line;
        int code = 0;
        // A short timeout: readLine gives up at once with none, before reading.
        while (socket_ && socket_->readLine(line, 1, &code)) {
            if (auto notice = VirtualNoticeFromLine(line))
                out.push_back(*notice);
        }
        if (socket_ && code != ETIMEDOUT) {
            // The virtual mouse went away: closing takes the descriptor out of
            // every poll set, which would otherwise report it readable for ever.
            socket_.reset();
        }
    }

private:
    std::unique_ptr<hid::LineSocket> socket_ = std::make_unique<hid::LineSocket>();
    int fd_ = -1;
};

} // namespace

std::unique_ptr<DeviceNoticeSource> OpenVirtualNoticeSource(const std::string &socketPath, std::string *error)
{
    auto source = std::make_unique<VirtualNoticeSource>();
    if (!source->start(socketPath, error))
        return nullptr;
    return source;
}

} // namespace vela
