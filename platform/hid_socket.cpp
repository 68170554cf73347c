#include "platform/hid_socket.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace vela::hid {

LineSocket::~LineSocket()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool LineSocket::connectTo(const std::string &path, int *error)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) {
        if (error)
            *error = ENAMETOOLONG;
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        if (error)
            *error = errno;
        return false;
    }
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0) {
        // No virtual mouse listening looks like no mouse plugged in.
        if (error)
            *error = (errno == ECONNREFUSED || errno == ENOENT) ? ENOENT : errno;
        ::close(fd);
        return false;
    }
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
    buffer_.clear();
    return true;
}

bool LineSocket::writeLine(const std::string &line)
{
    if (fd_ < 0)
        return false;
    std::string data = line;
    data.push_back('\n');
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::send(fd_, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

bool LineSocket::readLine(std::string &line, int timeoutMs, int *error)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    auto fail = [error](int code) {
        if (error)
            *error = code;
        return false;
    };
    if (fd_ < 0)
        return fail(EBADF);
    for (;;) {
        const size_t end = buffer_.find('\n');
        if (end != std::string::npos) {
            line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            return true;
        }
        if (buffer_.size() > kMaxLine)
            return fail(EPROTO);
        int wait = -1;
        if (timeoutMs >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return fail(ETIMEDOUT);
            wait = int(left);
        }
        pollfd p{fd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, wait);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        if (ready == 0)
            return fail(ETIMEDOUT);
        char chunk[4096];
        const ssize_t n = ::recv(fd_, chunk, sizeof(chunk), 0);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        if (n == 0)
            return fail(EPIPE);
        buffer_.append(chunk, size_t(n));
    }
}

void LineSocket::shutdown()
{
    if (fd_ >= 0)
        ::shutdown(fd_, SHUT_RDWR);
}

std::vector<std::string> splitWords(const std::string &line)
{
    std::vector<std::string> words;
    size_t start = 0;
    while (start < line.size()) {
        size_t end = line.find(' ', start);
        if (end == std::string::npos)
            end = line.size();
        if (end > start)
            words.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

} // namespace vela::hid
