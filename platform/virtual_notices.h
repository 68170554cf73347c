#pragma once
// The virtual mouse's plug and unplug notices, for DeviceNotifications when
// VELA_VIRTUAL_MOUSE names the virtual mouse's socket.
#include "platform/device_notifications.h"

namespace vela {

// Subscribes to the notices of the virtual mouse serving on socketPath: one
// arrival or removal per interface of the mouse at each plug and unplug.
// Returns nullptr and a message in *error when the mouse cannot be reached.
// One line of the virtual mouse's subscription, "arrival PATH" or "removal
// PATH", as a notice with the Windows-form path; nothing for other lines.
std::optional<DeviceNotice> VirtualNoticeFromLine(const std::string &line);

std::unique_ptr<DeviceNoticeSource> OpenVirtualNoticeSource(const std::string &socketPath, std::string *error);

} // namespace vela
