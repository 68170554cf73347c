#pragma once
// A private X server for one test or test suite: Xvfb on the first free
// display (found through -displayfd), stopped when the object goes away.
#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vela::test {

class XvfbServer {
public:
    // True when Xvfb can be run on this machine.
    static bool installed() { return std::system("command -v Xvfb >/dev/null 2>&1") == 0; }

    // Starts Xvfb with `extraArgs` (e.g. "-ardelay", "200") and waits up to
    // 10 s for its display; display() stays empty when it did not come up.
    explicit XvfbServer(const std::vector<std::string> &extraArgs = {})
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        std::string fd = std::to_string(fds[1]);
        std::vector<std::string> args = {"Xvfb", "-displayfd", fd, "-nolisten", "tcp",
                                         "-screen", "0", "800x600x24"};
        args.insert(args.end(), extraArgs.begin(), extraArgs.end());
        std::vector<char *> argv;
        for (std::string &a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            ::execvp("Xvfb", argv.data());
            ::_exit(127);
        }
        ::close(fds[1]);
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c;
        while (::poll(&p, 1, 10000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(fds[0]);
        if (!number.empty())
            display_ = ":" + number;
    }
    ~XvfbServer()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    XvfbServer(const XvfbServer &) = delete;
    XvfbServer &operator=(const XvfbServer &) = delete;

    // ":N", or empty when the server did not start.
    const std::string &display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

} // namespace vela::test
