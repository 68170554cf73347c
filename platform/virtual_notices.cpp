#include "platform/virtual_notices.h"
#include "platform/hid_socket.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>

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
        bool ok = socket_->connectTo(socketPath, &code) && socket_->writeLine("subscribe");
        // Notices may come before the answer "ok" (a change during the
        // subscription) and after it in the same packet, so the lines are
        // read here rather than through the socket's reader; the ones before
        // "ok" are kept for the first read().
        std::string early;
        for (int tries = 0; ok && tries < 20 && reply != "ok"; ++tries) {
            while (reply != "ok" && takeLine(reply)) {
                if (reply != "ok")
                    early += reply + '\n';
            }
            if (reply == "ok")
                break;
            pollfd p{socket_->fd(), POLLIN, 0};
            ok = ::poll(&p, 1, 100) >= 0 && receive();
        }
        buffer_ = early + buffer_;
        if (!ok || reply != "ok") {
            if (error)
                *error = "cannot subscribe to the virtual mouse at " + socketPath
                       + (code ? std::string(": ") + std::strerror(code) : std::string());
            return false;
        }
        fd_ = socket_->fd();
        return true;
    }

    int fd() const override { return fd_; }

    void read(std::vector<DeviceNotice> &out) override
    {
        if (!socket_)
            return;
        const bool open = receive();
        std::string line;
        while (takeLine(line)) {
            if (auto notice = VirtualNoticeFromLine(line))
                out.push_back(*notice);
        }
        if (!open || buffer_.size() > hid::kMaxLine) {
            // The virtual mouse went away: closing takes the descriptor out of
            // every poll set, which would otherwise report it readable for ever.
            socket_.reset();
            buffer_.clear();
        }
    }

private:
    // Appends what has arrived, without blocking. False at end of stream or on an error.
    bool receive()
    {
        char chunk[4096];
        for (;;) {
            const ssize_t n = ::recv(socket_->fd(), chunk, sizeof chunk, MSG_DONTWAIT);
            if (n > 0) {
                buffer_.append(chunk, size_t(n));
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
        }
    }

    bool takeLine(std::string &line)
    {
        const size_t end = buffer_.find('\n');
        if (end == std::string::npos)
            return false;
        line = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        return true;
    }

    std::unique_ptr<hid::LineSocket> socket_ = std::make_unique<hid::LineSocket>();
    std::string buffer_;
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
