#pragma once
// The arrival listener behind Device_change_message and Start_device_listener:
// a thread that owns a device-notifications subscription, matches the path of
// every notice against fixed identifiers and calls the caller's callback.
#include "platform/device_notifications.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

namespace vela::listener {

constexpr uint8_t kFirstArrived = 1;  // "VID_3282", "PID_0003" and "MI_00"
constexpr uint8_t kSecondArrived = 2; // "VID_3282" and "PID_0004"
constexpr uint8_t kRemoved = 255;     // either of them, or "PID_0004" alone

// The callback value a notice gives, or nothing. Substrings, case-sensitive.
std::optional<uint8_t> NoticeValue(DeviceNoticeKind kind, const std::string &path);

// One listener thread. Not copyable; the destructor stops and joins it.
class Listener {
public:
    // value: what NoticeValue gave; called on the listener thread.
    using Handler = std::function<void(uint8_t value)>;
    // The subscription is made by the thread's owner so that a failure to
    // subscribe is visible to the caller of start().
    using Subscribe = std::function<std::unique_ptr<DeviceNotifications>()>;

    Listener() = default;
    ~Listener() { stop(); }
    Listener(const Listener &) = delete;
    Listener &operator=(const Listener &) = delete;

    // Subscribes and starts the thread. False when a thread already runs, the
    // subscription failed or the thread could not start.
    bool start(const Subscribe &subscribe, Handler handler);
    bool running() const { return thread_.joinable(); }
    // Ends the thread promptly (it is woken, not left to the next notice).
    // Not from the handler itself.
    void stop();

private:
    std::unique_ptr<DeviceNotifications> notifications_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

} // namespace vela::listener
