// Client of the virtual mouse (tools/virtual-mouse): every open interface is a
// connection of its own, so a blocking input read on one never holds up
// commands on another. The message set is described in
// tools/virtual-mouse/virtual_mouse.h.
#include "platform/hid.h"
#include "platform/hid_socket.h"

#include <cerrno>
#include <charconv>

namespace vela::hid {
namespace {

// A mouse answers within milliseconds; a virtual mouse that says nothing for
// this long is treated as hung rather than waited for.
constexpr int kReplyTimeoutMs = 5000;

bool parseNumber(const std::string &word, unsigned long &value, int base)
{
    const char *end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, value, base);
    return ec == std::errc() && ptr == end;
}

class VirtualHandle final : public Handle {
public:
    explicit VirtualHandle(std::unique_ptr<LineSocket> socket) : socket_(std::move(socket)) {}

    int sendFeatureReport(const uint8_t *data, size_t size) override
    {
        return countReply("set " + toHex(data, size), kReplyTimeoutMs);
    }
    int writeOutputReport(const uint8_t *data, size_t size) override
    {
        return countReply("write " + toHex(data, size), kReplyTimeoutMs);
    }
    int getFeatureReport(uint8_t *data, size_t size) override
    {
        if (size == 0)
            return fail(EINVAL);
        return bytesReply("get " + std::to_string(size) + ' ' + toHex(data, size), data, size, kReplyTimeoutMs);
    }
    int readInputReport(uint8_t *data, size_t size, int timeoutMs) override
    {
        const int wait = timeoutMs < 0 ? -1 : timeoutMs + kReplyTimeoutMs;
        return bytesReply("read " + std::to_string(size) + ' ' + std::to_string(timeoutMs < 0 ? -1 : timeoutMs),
                          data, size, wait);
    }
    int lastError() const override { return error_; }

private:
    int fail(int error)
    {
        error_ = error;
        return -1;
    }

    // Sends one request and splits the answer into "ok"/"err" and its words.
    bool exchange(const std::string &request, int timeoutMs, std::vector<std::string> &words)
    {
        std::string line;
        int error = 0;
        if (!socket_->writeLine(request)) {
            error_ = ENODEV;
            return false;
        }
        if (!socket_->readLine(line, timeoutMs, &error)) {
            // The server going away is the mouse going away.
            error_ = error == ETIMEDOUT ? ETIMEDOUT : ENODEV;
            return false;
        }
        words = splitWords(line);
        if (words.size() >= 2 && words[0] == "err") {
            unsigned long code = 0;
            error_ = parseNumber(words[1], code, 10) && code > 0 ? int(code) : EIO;
            return false;
        }
        if (words.empty() || words[0] != "ok") {
            error_ = EPROTO;
            return false;
        }
        return true;
    }

    int countReply(const std::string &request, int timeoutMs)
    {
        std::vector<std::string> words;
        if (!exchange(request, timeoutMs, words))
            return -1;
        unsigned long count = 0;
        if (words.size() != 2 || !parseNumber(words[1], count, 10))
            return fail(EPROTO);
        return int(count);
    }

    int bytesReply(const std::string &request, uint8_t *data, size_t size, int timeoutMs)
    {
        std::vector<std::string> words;
        if (!exchange(request, timeoutMs, words))
            return -1;
        if (words.size() == 1)
            return 0;
        std::vector<uint8_t> bytes;
        if (words.size() != 2 || !fromHex(words[1], bytes) || bytes.size() > size)
            return fail(EPROTO);
        std::copy(bytes.begin(), bytes.end(), data);
        return int(bytes.size());
    }

    std::unique_ptr<LineSocket> socket_;
    int error_ = 0;
};

class VirtualBackend final : public Backend {
public:
    explicit VirtualBackend(std::string socketPath) : socketPath_(std::move(socketPath)) {}

    std::vector<DeviceInfo> enumerate(uint16_t vendorId, uint16_t productId) override
    {
        std::vector<DeviceInfo> result;
        LineSocket socket;
        if (!socket.connectTo(socketPath_, nullptr) || !socket.writeLine("enumerate"))
            return result;
        std::string line;
        if (!socket.readLine(line, kReplyTimeoutMs))
            return result;
        auto words = splitWords(line);
        unsigned long count = 0;
        if (words.size() != 2 || words[0] != "ok" || !parseNumber(words[1], count, 10))
            return result;
        for (unsigned long i = 0; i < count && socket.readLine(line, kReplyTimeoutMs); ++i) {
            words = splitWords(line);
            unsigned long v[5] = {};
            long interfaceNumber = -1;
            if (words.size() != 8 || words[0] != "dev")
                continue;
            bool ok = true;
            for (int k = 0; k < 5; ++k)
                ok = ok && parseNumber(words[2 + k], v[k], 16) && v[k] <= 0xFFFF;
            ok = ok && std::from_chars(words[7].data(), words[7].data() + words[7].size(), interfaceNumber).ec == std::errc();
            if (!ok)
                continue;
            DeviceInfo info{words[1], uint16_t(v[0]), uint16_t(v[1]), uint16_t(v[2]), uint16_t(v[3]), uint16_t(v[4]),
                            int(interfaceNumber)};
            if ((vendorId == 0 || vendorId == info.vendorId) && (productId == 0 || productId == info.productId))
                result.push_back(std::move(info));
        }
        return result;
    }

    std::unique_ptr<Handle> open(const std::string &path, int *error) override
    {
        int code = 0;
        auto socket = connectHandle(path, code);
        if (!socket) {
            if (error)
                *error = code;
            return nullptr;
        }
        return std::make_unique<VirtualHandle>(std::move(socket));
    }

private:
    // A connection that the server has bound to the interface at path.
    std::unique_ptr<LineSocket> connectHandle(const std::string &path, int &code)
    {
        auto socket = std::make_unique<LineSocket>();
        std::string line;
        if (path.empty() || path.find_first_of(" \n") != std::string::npos) {
            code = ENOENT;
            return nullptr;
        }
        if (!socket->connectTo(socketPath_, &code))
            return nullptr;
        if (!socket->writeLine("open " + path) || !socket->readLine(line, kReplyTimeoutMs, &code)) {
            code = ENODEV; // the server went away while we asked
            return nullptr;
        }
        if (line == "ok")
            return socket;
        const auto words = splitWords(line);
        unsigned long value = 0;
        code = words.size() == 2 && parseNumber(words[1], value, 10) && value ? int(value) : EIO;
        return nullptr;
    }

    std::string socketPath_;
};

} // namespace

std::unique_ptr<Backend> makeVirtualBackend(const std::string &socketPath)
{
    return std::make_unique<VirtualBackend>(socketPath);
}

} // namespace vela::hid
