#pragma once
// Line-based messages over a Unix stream socket: the virtual mouse and its
// clients speak this. Each message is one line of ASCII words; byte strings
// travel as lowercase hex. Lines longer than kMaxLine are refused, so a
// hostile peer cannot make either side grow without bound.
#include <cstddef>
#include <string>
#include <vector>

namespace vela::hid {

constexpr size_t kMaxLine = 16 * 1024;

class LineSocket {
public:
    LineSocket() = default;
    explicit LineSocket(int fd) : fd_(fd) {}
    ~LineSocket();
    LineSocket(const LineSocket &) = delete;
    LineSocket &operator=(const LineSocket &) = delete;

    // Connects to the socket at path. False with errno-style *error.
    bool connectTo(const std::string &path, int *error);
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    // Sends line plus '\n'. False when the peer is gone.
    bool writeLine(const std::string &line);
    // Reads one line without its '\n'. Waits at most timeoutMs (-1: no
    // limit). Returns false on timeout (*error = ETIMEDOUT), end of stream or
    // error (*error = EPIPE or the errno), or an over-long line (EPROTO).
    bool readLine(std::string &line, int timeoutMs, int *error = nullptr);
    // Wakes a reader blocked on this socket from another thread and makes
    // further calls fail; the descriptor is closed by the destructor.
    void shutdown();

private:
    int fd_ = -1;
    std::string buffer_;
};

// Splits at single spaces; empty words are kept out.
std::vector<std::string> splitWords(const std::string &line);

} // namespace vela::hid
