// vela-virtual-mouse: serves a model of the mouse on a Unix socket, and
// controls a running one.
//   vela-virtual-mouse serve --socket PATH [--state FILE] [--firmware 0xHHHH]
//   vela-virtual-mouse ctl --socket PATH COMMAND...
#include "platform/hid_socket.h"
#include "tools/virtual-mouse/server.h"
#include "tools/virtual-mouse/state_file.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

using namespace vela;

namespace {

int usage()
{
    std::fprintf(stderr, "usage: vela-virtual-mouse serve --socket PATH [--state FILE] [--firmware 0xHHHH]\n"
                         "       vela-virtual-mouse ctl --socket PATH COMMAND...\n");
    return 2;
}

int serve(const std::string &socketPath, const std::string &statePath, const std::string &firmware)
{
    // Signals are taken with sigwait on this thread; the server's threads
    // inherit the blocked mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    vmouse::VirtualMouse mouse;
    if (!statePath.empty()) {
        vmouse::PersistentState state = mouse.persistentState();
        if (vmouse::loadState(statePath, state))
            mouse.restore(state);
        else if (access(statePath.c_str(), F_OK) == 0)
            std::fprintf(stderr, "vela-virtual-mouse: %s is not a state file; starting fresh\n", statePath.c_str());
        mouse.setPersistHandler([statePath](const vmouse::PersistentState &s) {
            if (!vmouse::saveState(statePath, s))
                std::fprintf(stderr, "vela-virtual-mouse: cannot write %s\n", statePath.c_str());
        });
    }
    if (!firmware.empty()) {
        const auto result = vmouse::runControl(mouse, {"firmware", firmware});
        if (!result.error.empty()) {
            std::fprintf(stderr, "vela-virtual-mouse: --firmware wants 0xHHHH\n");
            return 2;
        }
    }
    vmouse::Server server(mouse);
    std::string error;
    if (!server.start(socketPath, error)) {
        std::fprintf(stderr, "vela-virtual-mouse: %s\n", error.c_str());
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    int signal = 0;
    sigwait(&signals, &signal);
    server.stop();
    if (!statePath.empty())
        vmouse::saveState(statePath, mouse.persistentState());
    return 0;
}

int control(const std::string &socketPath, const std::vector<std::string> &words)
{
    hid::LineSocket socket;
    int error = 0;
    if (!socket.connectTo(socketPath, &error)) {
        std::fprintf(stderr, "vela-virtual-mouse: no virtual mouse at %s\n", socketPath.c_str());
        return 1;
    }
    std::string request = "ctl";
    for (const auto &word : words)
        request += ' ' + word;
    if (!socket.writeLine(request)) {
        std::fprintf(stderr, "vela-virtual-mouse: connection lost\n");
        return 1;
    }
    std::string line;
    while (socket.readLine(line, 10000, &error)) {
        if (line == "ok")
            return 0;
        if (line.rfind("error ", 0) == 0) {
            std::fprintf(stderr, "vela-virtual-mouse: %s\n", line.c_str() + 6);
            return 1;
        }
        std::printf("%s\n", line.c_str());
    }
    std::fprintf(stderr, "vela-virtual-mouse: no answer (%s)\n", std::strerror(error));
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return usage();
    const std::string verb = argv[1];
    std::string socketPath, statePath, firmware;
    std::vector<std::string> rest;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--socket" && i + 1 < argc && socketPath.empty() && rest.empty())
            socketPath = argv[++i];
        else if (verb == "serve" && arg == "--state" && i + 1 < argc)
            statePath = argv[++i];
        else if (verb == "serve" && arg == "--firmware" && i + 1 < argc)
            firmware = argv[++i];
        else if (verb == "ctl")
            rest.push_back(arg);
        else
            return usage();
    }
    if (socketPath.empty())
        return usage();
    if (verb == "serve")
        return serve(socketPath, statePath, firmware);
    if (verb == "ctl" && !rest.empty())
        return control(socketPath, rest);
    return usage();
}
