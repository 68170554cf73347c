#include "platform/virtual_notices.h"

namespace vela {

std::unique_ptr<DeviceNoticeSource> OpenVirtualNoticeSource(const std::string &socketPath, std::string *error)
{
    if (error)
        *error = "the virtual mouse at " + socketPath + " gives no device notices";
    return nullptr;
}

} // namespace vela
