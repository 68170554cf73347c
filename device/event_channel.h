#pragma once
// The event channel behind Capture_cb_data and Close_device: a thread reads
// the mouse's 9-byte input reports and hands each on-board event to the
// caller's callback.
#include "platform/clock.h"
#include "platform/hid.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace vela::events {

constexpr size_t kReportSize = 9;
constexpr size_t kBlockSize = 1024;
// Pause after every report (or failed read): at most about twelve events a second.
constexpr uint32_t kPauseMs = 80;
// A read gives up after this long so that a close is noticed without a report.
constexpr int kReadTimeoutMs = 100;

// What one report asks of the callback.
struct Event {
    enum class Kind { None, Value, Block } kind = Kind::None;
    uint8_t code = 0;
    uint8_t value = 0;   // Value: report byte 2
    uint8_t button = 0;  // Block: report byte 4
    uint8_t profile = 0; // Block: report byte 5
    uint32_t extra = 0;  // 1 for Value; report bytes 2-3 (little-endian) for Block
};

// Codes 1-5 give Value, 35 and 36 Block, anything else None.
Event DecodeReport(const std::array<uint8_t, kReportSize> &report);

// Same shape as the exported VelaEventCallback.
using Callback = void (*)(uint8_t *code, void *value, uint32_t *extra);
// Fetches the 1024-byte block of a button (Block read); the buffer arrives zeroed.
using BlockReader = std::function<void(uint8_t button, uint8_t profile, uint8_t *block)>;

class EventChannel {
public:
    // The backend, clock and reader must outlive the channel.
    EventChannel(hid::Backend &backend, Clock &clock, BlockReader readBlock);
    ~EventChannel();
    EventChannel(const EventChannel &) = delete;
    EventChannel &operator=(const EventChannel &) = delete;

    // 20 without a callback (nothing opened), 255 when the mouse's first
    // interface cannot be opened, 20 when the thread cannot start, else 5.
    // A reader already running is stopped first (its device closed), so one
    // thread at most reads, from the device opened last.
    uint8_t capture(Callback callback);
    // Stops the reader within about kReadTimeoutMs + kPauseMs and closes its
    // device. From inside the callback it does not wait: the reader ends when
    // the callback returns. Thread-safe.
    void close();
    bool running() const;

private:
    struct Reader;
    void stopLocked();

    hid::Backend &backend_;
    Clock &clock_;
    BlockReader readBlock_;
    mutable std::mutex mutex_;
    std::shared_ptr<Reader> reader_;
};

} // namespace vela::events
