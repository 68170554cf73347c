#pragma once
// An in-process virtual mouse with a fake clock and a HID backend on it, for
// unit tests of the transport and commands. Link vela_virtual_mouse.
#include "tests/support/fake_clock.h"
#include "tools/virtual-mouse/in_process.h"

#include <string>
#include <vector>

namespace vela::test {

struct InProcessMouse {
    FakeClock clock;
    vmouse::VirtualMouse mouse{clock};
    std::unique_ptr<hid::Backend> backend = vmouse::makeInProcessBackend(mouse);

    // The mouse's log without time stamps: "set a1 0d ...", "get a1".
    std::vector<std::string> exchanges() const
    {
        std::vector<std::string> lines;
        for (const auto &line : mouse.logLines())
            lines.push_back(line.substr(line.find(' ') + 1));
        return lines;
    }
};

} // namespace vela::test
