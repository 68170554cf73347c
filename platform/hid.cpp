#include "platform/hid.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace vela::hid {

std::string Handle::lastErrorText() const
{
    const int error = lastError();
    return error == 0 ? std::string("no error") : std::string(std::strerror(error));
}

Backend &defaultBackend()
{
    // Chosen once so every part of a process talks to the same mouse.
    static const std::unique_ptr<Backend> backend = [] {
        const char *socket = std::getenv(kVirtualMouseEnv);
        if (socket && *socket)
            return makeVirtualBackend(socket);
        return makeHidapiBackend();
    }();
    return *backend;
}

bool isTransientError(int error)
{
    switch (error) {
    case EAGAIN:
    case EBUSY:
    case EIO:
    case EPIPE:
    case ETIMEDOUT:
    case EPROTO:
        return true;
    default:
        return false;
    }
}

std::string toHex(const uint8_t *data, size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string text(size * 2, '0');
    for (size_t i = 0; i < size; ++i) {
        text[2 * i] = digits[data[i] >> 4];
        text[2 * i + 1] = digits[data[i] & 0x0F];
    }
    return text;
}

namespace {
int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
} // namespace

bool fromHex(const std::string &text, std::vector<uint8_t> &out)
{
    if (text.size() % 2 != 0)
        return false;
    out.resize(text.size() / 2);
    for (size_t i = 0; i < out.size(); ++i) {
        const int hi = hexDigit(text[2 * i]);
        const int lo = hexDigit(text[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out[i] = uint8_t(hi << 4 | lo);
    }
    return true;
}

} // namespace vela::hid
