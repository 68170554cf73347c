#include "tools/virtual-mouse/server.h"

#include "platform/hid_socket.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace vela::vmouse {


namespace {

bool parseUnsigned(const std::string &word, unsigned long &value, unsigned long max)
{
    int base = 10;
    const char *begin = word.data();
    const char *end = begin + word.size();
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        base = 16;
        begin += 2;
    }
    auto [ptr, ec] = std::from_chars(begin, end, value, base);
    return ec == std::errc() && ptr == end && begin != end && value <= max;
}

bool parseErrno(const std::string &word, int &error)
{
    static const std::pair<const char *, int> names[] = {
        {"EAGAIN", EAGAIN}, {"EBUSY", EBUSY},     {"EIO", EIO},       {"EPIPE", EPIPE},   {"ETIMEDOUT", ETIMEDOUT},
        {"EPROTO", EPROTO}, {"ENODEV", ENODEV},   {"ENOENT", ENOENT}, {"EINVAL", EINVAL}, {"EACCES", EACCES},
    };
    for (auto &[name, value] : names)
        if (word == name) {
            error = value;
            return true;
        }
    unsigned long value = 0;
    if (!parseUnsigned(word, value, 4095) || value == 0)
        return false;
    error = int(value);
    return true;
}

std::string errLine(int error)
{
    return "err " + std::to_string(error > 0 ? error : EIO);
}

} // namespace

ControlResult runControl(VirtualMouse &mouse, const std::vector<std::string> &w)
{
    ControlResult r;
    auto usage = [&r](const char *text) {
        r.error = text;
        return r;
    };
    if (w.empty())
        return usage("missing command");
    const std::string &c = w[0];
    unsigned long a = 0, b = 0;
    if (c == "log" && w.size() == 1)
        r.lines = mouse.logLines();
    else if (c == "log" && w.size() == 2 && w[1] == "--clear")
        mouse.clearLog();
    else if (c == "slot") {
        if (w.size() != 2 || !parseUnsigned(w[1], a, kSlotCount - 1))
            return usage("usage: slot 0-4");
        const auto image = mouse.slot(a);
        r.lines.push_back(hid::toHex(image.data(), image.size()));
    } else if (c == "active" && w.size() == 1)
        r.lines.push_back(std::to_string(mouse.activeSlot()));
    else if (c == "firmware") {
        if (w.size() != 2 || !parseUnsigned(w[1], a, 0xFFFF))
            return usage("usage: firmware 0xHHHH");
        mouse.setFirmwareVersion(uint16_t(a));
    } else if (c == "update-version") {
        if (w.size() != 2 || !parseUnsigned(w[1], a, 0xFFFF))
            return usage("usage: update-version 0xHHHH");
        mouse.withFirmware([a](Firmware &f) { f.state().updateVersion = uint16_t(a); });
    } else if (c == "unplug" && w.size() == 1)
        mouse.unplug();
    else if (c == "plug" && w.size() == 1)
        mouse.plug();
    else if (c == "mode") {
        if (w.size() != 2 || (w[1] != "normal" && w[1] != "bootloader"))
            return usage("usage: mode normal|bootloader");
        mouse.setMode(w[1] == "normal" ? Mode::Normal : Mode::Bootloader);
    } else if (c == "input") {
        std::string hex;
        for (size_t i = 1; i < w.size(); ++i)
            hex += w[i];
        std::vector<uint8_t> bytes;
        if (hex.empty() || !hid::fromHex(hex, bytes) || bytes.size() > kLongReportSize)
            return usage("usage: input HEX...");
        mouse.queueInput(std::move(bytes));
    } else if (c == "surface") {
        if (w.size() != 2 || !parseUnsigned(w[1], a, 255))
            return usage("usage: surface 0-255");
        mouse.setSurfaceScore(uint8_t(a));
    } else if (c == "fail") {
        int error = EIO;
        if (w.size() < 3 || w.size() > 4 || (w[1] != "send" && w[1] != "get") || !parseUnsigned(w[2], a, 1000000)
            || (w.size() == 4 && !parseErrno(w[3], error)))
            return usage("usage: fail send|get COUNT [ERRNO]");
        mouse.failNext(w[1] == "send" ? VirtualMouse::Direction::Send : VirtualMouse::Direction::Get, int(a), error);
    } else if (c == "status") {
        if (w.size() != 3 || !parseUnsigned(w[1], a, 255) || !parseUnsigned(w[2], b, 1000000))
            return usage("usage: status VALUE COUNT");
        mouse.statusNext(uint8_t(a), int(b));
    } else
        return usage("unknown command");
    return r;
}

Server::~Server()
{
    stop();
}

bool Server::start(const std::string &socketPath, std::string &error)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.empty() || socketPath.size() >= sizeof(address.sun_path)) {
        error = "socket path is empty or too long";
        return false;
    }
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    {
        // A socket file nobody answers on is left over from a crash.
        hid::LineSocket probe;
        int code = 0;
        if (probe.connectTo(socketPath, &code)) {
            error = "another virtual mouse is serving " + socketPath;
            return false;
        }
        ::unlink(socketPath.c_str());
    }
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0
        || ::listen(listenFd_, 64) != 0 || ::pipe2(wakePipe_, O_CLOEXEC) != 0) {
        error = std::string("cannot listen on ") + socketPath + ": " + std::strerror(errno);
        stop();
        return false;
    }
    path_ = socketPath;
    acceptThread_ = std::thread([this] { acceptLoop(); });
    return true;
}

void Server::stop()
{
    if (stopping_.exchange(true))
        return;
    if (wakePipe_[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] auto n = ::write(wakePipe_[1], &byte, 1);
    }
    if (acceptThread_.joinable())
        acceptThread_.join();
    {
        std::lock_guard lock(clientsMutex_);
        for (auto &client : clients_)
            client.socket.shutdown();
    }
    // Readers blocked in the mouse wake up when their connection closes.
    for (auto &client : clients_)
        if (client.thread.joinable())
            client.thread.join();
    clients_.clear();
    for (int *fd : {&listenFd_, &wakePipe_[0], &wakePipe_[1]})
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    if (!path_.empty())
        ::unlink(path_.c_str());
}

void Server::acceptLoop()
{
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        std::lock_guard lock(clientsMutex_);
        // Finished connections are reaped here so a long session stays small.
        for (auto it = clients_.begin(); it != clients_.end();) {
            if (it->done && it->thread.joinable()) {
                it->thread.join();
                it = clients_.erase(it);
            } else
                ++it;
        }
        Client &client = clients_.emplace_back(fd);
        client.thread = std::thread([this, &client] { serve(client); });
    }
}

void Server::serve(Client &client)
{
    std::shared_ptr<Connection> connection;
    int observer = 0;
    auto reply = [&client](const std::string &line) {
        std::lock_guard lock(client.writeMutex);
        return client.socket.writeLine(line);
    };
    std::string line;
    std::vector<uint8_t> bytes;
    while (!stopping_ && client.socket.readLine(line, -1)) {
        const auto w = hid::splitWords(line);
        if (w.empty())
            continue;
        const std::string &c = w[0];
        int error = 0;
        unsigned long size = 0, timeout = 0;
        if (c == "enumerate") {
            const auto list = mouse_.enumerate();
            std::string text = "ok " + std::to_string(list.size());
            for (const auto &info : list) {
                char fields[64];
                std::snprintf(fields, sizeof(fields), " %04x %04x %04x %04x %04x %d", info.vendorId, info.productId,
                              info.usagePage, info.usage, info.releaseNumber, info.interfaceNumber);
                text += "\ndev " + info.path + fields;
            }
            reply(text);
        } else if (c == "open" && w.size() == 2) {
            if (connection)
                reply(errLine(EBUSY));
            else if ((connection = mouse_.open(w[1], error)))
                reply("ok");
            else
                reply(errLine(error));
        } else if ((c == "set" || c == "write") && w.size() == 2) {
            if (!connection || !hid::fromHex(w[1], bytes) || bytes.empty()) {
                reply(errLine(connection ? EINVAL : EBADF));
                continue;
            }
            const int n = c == "set" ? mouse_.sendFeature(*connection, bytes.data(), bytes.size(), error)
                                     : mouse_.writeOutput(*connection, bytes.data(), bytes.size(), error);
            reply(n < 0 ? errLine(error) : "ok " + std::to_string(n));
        } else if (c == "get" && w.size() == 3) {
            if (!connection || !parseUnsigned(w[1], size, 65536) || size == 0 || !hid::fromHex(w[2], bytes)
                || bytes.empty()) {
                reply(errLine(connection ? EINVAL : EBADF));
                continue;
            }
            bytes.resize(size);
            const int n = mouse_.getFeature(*connection, bytes.data(), bytes.size(), error);
            reply(n < 0 ? errLine(error) : "ok " + hid::toHex(bytes.data(), size_t(n)));
        } else if (c == "read" && w.size() == 3) {
            long wait = -1;
            const bool forever = w[2] == "-1";
            if (!connection || !parseUnsigned(w[1], size, 65536) || size == 0
                || (!forever && !parseUnsigned(w[2], timeout, 24 * 3600 * 1000UL))) {
                reply(errLine(connection ? EINVAL : EBADF));
                continue;
            }
            wait = forever ? -1 : long(timeout);
            bytes.assign(size, 0);
            // Waits in slices so a client that hangs up (a handle closed
            // from another thread) ends the wait.
            int n = 0;
            for (;;) {
                const int slice = wait < 0 || wait > 200 ? 200 : int(wait);
                n = mouse_.readInput(*connection, bytes.data(), bytes.size(), slice, error);
                if (n != 0 || stopping_)
                    break;
                pollfd p{client.socket.fd(), POLLRDHUP, 0};
                if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR)))
                    break;
                if (wait >= 0 && (wait -= slice) <= 0)
                    break;
            }
            reply(n < 0 ? errLine(error) : n == 0 ? std::string("ok") : "ok " + hid::toHex(bytes.data(), size_t(n)));
        } else if (c == "subscribe" && w.size() == 1) {
            if (!observer) {
                // Subscribed before the answer, so no change after "ok" is missed.
                observer = mouse_.addObserver([&reply](const Notice &notice) {
                    reply(std::string(notice.kind == Notice::Arrival ? "arrival " : "removal ") + notice.interface.path);
                });
                reply("ok");
            }
        } else if (c == "ctl") {
            const auto result = runControl(mouse_, std::vector<std::string>(w.begin() + 1, w.end()));
            std::string text;
            for (const auto &out : result.lines)
                text += out + '\n';
            text += result.error.empty() ? std::string("ok") : "error " + result.error;
            reply(text);
        } else
            reply(errLine(EINVAL));
    }
    if (observer)
        mouse_.removeObserver(observer);
    if (connection)
        mouse_.close(*connection);
    std::lock_guard lock(clientsMutex_);
    client.done = true;
}

} // namespace vela::vmouse
