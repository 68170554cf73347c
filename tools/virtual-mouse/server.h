#pragma once
// Serves a VirtualMouse on a Unix socket (messages: virtual_mouse.h), one
// thread per connection.
#include "platform/hid_socket.h"
#include "tools/virtual-mouse/virtual_mouse.h"

#include <atomic>
#include <list>
#include <string>
#include <thread>

namespace vela::vmouse {

// The answer to one "ctl" command: output lines, then success or an error.
struct ControlResult {
    std::vector<std::string> lines;
    std::string error; // empty on success
};
// words are the command without "ctl", e.g. {"slot", "2"}.
ControlResult runControl(VirtualMouse &mouse, const std::vector<std::string> &words);

class Server {
public:
    explicit Server(VirtualMouse &mouse) : mouse_(mouse) {}
    ~Server(); // stops

    // Binds and listens (a stale socket file is replaced, a live one is
    // not). False with a message in error.
    bool start(const std::string &socketPath, std::string &error);
    // Closes the listener and every connection, joins the threads and
    // removes the socket file.
    void stop();

private:
    struct Client {
        explicit Client(int fd) : socket(fd) {}
        hid::LineSocket socket;
        std::mutex writeMutex; // subscription notices and replies share the socket
        std::thread thread;
        bool done = false;
    };
    void acceptLoop();
    void serve(Client &client);

    VirtualMouse &mouse_;
    std::string path_;
    int listenFd_ = -1;
    int wakePipe_[2] = {-1, -1};
    std::thread acceptThread_;
    std::mutex clientsMutex_;
    std::list<Client> clients_;
    std::atomic<bool> stopping_{false};
};

} // namespace vela::vmouse
