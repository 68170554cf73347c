#include "device/device_listener.h"

namespace vela::listener {

std::optional<uint8_t> NoticeValue(DeviceNoticeKind kind, const std::string &path)
{
    const auto has = [&](const char *id) { return path.find(id) != std::string::npos; };
    const bool first = has("VID_3282") && has("PID_0003") && has("MI_00");
    if (kind == DeviceNoticeKind::Arrival) {
        if (first)
            return kFirstArrived;
        if (has("VID_3282") && has("PID_0004"))
            return kSecondArrived;
        return std::nullopt;
    }
    if (first || has("PID_0004"))
        return kRemoved;
    return std::nullopt;
}

bool Listener::start(const Subscribe &subscribe, Handler handler)
{
    if (thread_.joinable())
        return false;
    notifications_ = subscribe();
    if (!notifications_)
        return false;
    stopping_ = false;
    try {
        thread_ = std::thread([this, handler = std::move(handler)] {
            while (!stopping_) {
                for (const DeviceNotice &notice : notifications_->wait(-1)) {
                    if (stopping_)
                        break;
                    if (auto value = NoticeValue(notice.kind, notice.path))
                        handler(*value);
                }
            }
        });
    } catch (const std::system_error &) {
        notifications_.reset();
        return false;
    }
    return true;
}

void Listener::stop()
{
    if (!thread_.joinable())
        return;
    stopping_ = true;
    notifications_->wake();
    thread_.join();
    notifications_.reset();
}

} // namespace vela::listener
