#include "device/event_channel.h"
#include "device/wire.h"

#include <atomic>
#include <system_error>
#include <thread>

namespace vela::events {

Event DecodeReport(const std::array<uint8_t, kReportSize> &report)
{
    Event event;
    event.code = report[1];
    if (event.code >= 1 && event.code <= 5) {
        event.kind = Event::Kind::Value;
        event.value = report[2];
        event.extra = 1;
    } else if (event.code == 35 || event.code == 36) {
        event.kind = Event::Kind::Block;
        event.extra = uint32_t(report[2]) | uint32_t(report[3]) << 8;
        event.button = report[4];
        event.profile = report[5];
    }
    return event;
}

// One reading thread and the device it owns. The thread holds a reference,
// so a reader told to stop from its own callback can finish on its own.
struct EventChannel::Reader {
    std::unique_ptr<hid::Handle> device;
    Callback callback = nullptr;
    Clock *clock = nullptr;
    BlockReader readBlock;
    std::atomic<bool> stop{false};
    std::thread thread;
};

EventChannel::EventChannel(hid::Backend &backend, Clock &clock, BlockReader readBlock)
    : backend_(backend), clock_(clock), readBlock_(std::move(readBlock))
{
}

EventChannel::~EventChannel()
{
    close();
}

bool EventChannel::running() const
{
    std::lock_guard lock(mutex_);
    return reader_ != nullptr;
}

void EventChannel::stopLocked()
{
    std::shared_ptr<Reader> reader = std::move(reader_);
    if (!reader)
        return;
    reader->stop = true;
    if (reader->thread.get_id() == std::this_thread::get_id())
        reader->thread.detach();
    else if (reader->thread.joinable())
        reader->thread.join();
}

namespace {
// The reader whose thread this is, if any: close() from a callback must not
// wait on a thread that may be joining this one.
thread_local void *currentReader = nullptr;
} // namespace

void EventChannel::close()
{
    if (currentReader) {
        static_cast<Reader *>(currentReader)->stop = true;
        std::unique_lock lock(mutex_, std::try_to_lock);
        if (lock.owns_lock() && reader_.get() == currentReader)
            stopLocked();
        return;
    }
    std::lock_guard lock(mutex_);
    stopLocked();
}

uint8_t EventChannel::capture(Callback callback)
{
    if (!callback)
        return 20;
    std::lock_guard lock(mutex_);
    stopLocked();

    // The first interface of the mouse, as hidapi's open by IDs picks it.
    const auto present = backend_.enumerate(wire::kVendorId, wire::kProductNormal);
    auto reader = std::make_shared<Reader>();
    if (!present.empty())
        reader->device = backend_.open(present.front().path);
    if (!reader->device)
        return 255;
    reader->callback = callback;
    reader->clock = &clock_;
    reader->readBlock = readBlock_;

    try {
        reader->thread = std::thread([reader] {
            currentReader = reader.get();
            while (!reader->stop) {
                std::array<uint8_t, kReportSize> report{};
                const int got = reader->device->readInputReport(report.data(), report.size(), kReadTimeoutMs);
                if (reader->stop)
                    break;
                if (got == 0)
                    continue; // timed out: only a chance to notice a stop
                if (got > 0) {
                    const Event event = DecodeReport(report);
                    uint8_t code = event.code;
                    uint32_t extra = event.extra;
                    if (event.kind == Event::Kind::Value) {
                        uint8_t value = event.value;
                        reader->callback(&code, &value, &extra);
                    } else if (event.kind == Event::Kind::Block) {
                        std::array<uint8_t, kBlockSize> block{};
                        reader->readBlock(event.button, event.profile, block.data());
                        reader->callback(&code, block.data(), &extra);
                    }
                }
                // Also after a failed read: an unplugged mouse is polled, not spun on.
                reader->clock->sleepMs(kPauseMs);
            }
            reader->device.reset();
        });
    } catch (const std::system_error &) {
        return 20; // the device closes with the reader
    }
    reader_ = std::move(reader);
    return 5;
}

} // namespace vela::events
