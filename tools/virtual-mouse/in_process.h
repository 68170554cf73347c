#pragma once
// A HID backend that talks to a VirtualMouse in the same process: unit tests
// run the real transport and commands against it, with a fake clock.
#include "platform/hid.h"
#include "tools/virtual-mouse/virtual_mouse.h"

namespace vela::vmouse {

// The mouse must outlive the backend and every handle it opened.
std::unique_ptr<hid::Backend> makeInProcessBackend(VirtualMouse &mouse);

} // namespace vela::vmouse
