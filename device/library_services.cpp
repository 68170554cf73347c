#include "device/library_services.h"

#include <system_error>

namespace vela::library {
namespace {

constexpr uint8_t kDone = 1;
constexpr uint8_t kFailed = 20;

// The firmware worker's view of the library's transport. Each step holds the
// library-wide lock, so a command from another thread cannot slip between a
// step's send and its status read; callbacks run outside it.
class TransportLink final : public firmware::Link {
public:
    explicit TransportLink(LibraryDevice &device) : device_(device) {}

    void close() override
    {
        std::lock_guard guard(device_.lock());
        device_.transport().close();
    }
    bool open(uint16_t productId) override
    {
        std::lock_guard guard(device_.lock());
        return device_.transport().open(productId);
    }
    bool send(const uint8_t *report, size_t size, Retry retry) override
    {
        std::vector<uint8_t> buffer(report, report + size);
        return device_.transport().sendFeature(buffer.data(), buffer.size(),
                                               retry == Retry::Short30ms ? kRetryWaitShort : kRetryWaitLong);
    }
    bool get(uint8_t *report, size_t size) override { return device_.transport().getFeature(report, size); }
    bool firmwareVersion(int16_t *version) override { return device_.getFirmwareVersion(version) == kDone; }
    uint8_t exchange(const uint8_t *report, size_t size, Retry retry, uint32_t waitMs, size_t statusSize,
                     Clock &clock) override
    {
        std::lock_guard guard(device_.lock());
        return Link::exchange(report, size, retry, waitMs, statusSize, clock);
    }

private:
    LibraryDevice &device_;
};

} // namespace

LibraryServices::LibraryServices(LibraryDevice &device, Clock &clock, listener::Listener::Subscribe subscribe)
    : device_(device),
      clock_(clock),
      subscribe_(std::move(subscribe)),
      events_(device.transport().backend(), clock, [&device](uint8_t button, uint8_t profile, uint8_t *block) {
          // Under the library-wide lock: the event thread shares the command
          // interface with every caller. A failed fetch leaves the block zeroed.
          std::lock_guard guard(device.lock());
          if (device.transport().ensureOpen())
              device.blockRead(profile, button, block);
      })
{
}

LibraryServices::~LibraryServices()
{
    {
        std::lock_guard guard(listenerMutex_);
        listener_.stop();
    }
    events_.close();
    waitForFirmwareWorker();
}

uint8_t LibraryServices::captureEvents(VelaEventCallback callback)
{
    return events_.capture(callback);
}

uint8_t LibraryServices::closeDevice()
{
    events_.close();
    device_.closeDevice();
    return kDone;
}

uint8_t LibraryServices::setFirmwareCallback(VelaFirmwareCallback callback)
{
    if (!callback)
        return kFailed;
    firmwareCallback_ = callback;
    return kDone;
}

bool LibraryServices::updateFirmware(uint32_t size, const uint8_t *data)
{
    std::lock_guard guard(firmwareMutex_);
    if (firmwareRunning_)
        return false;
    if (firmwareWorker_.joinable())
        firmwareWorker_.join(); // the previous update has ended
    // The image is copied now: the caller may free its buffer on return.
    auto job = firmware::MakeJob(size, data);
    firmwareRunning_ = true;
    try {
        firmwareWorker_ = std::thread([this, job = std::move(job)] {
            TransportLink link(device_);
            firmware::RunUpdate(link, clock_, job, [this](uint8_t status, uint32_t progress) {
                if (VelaFirmwareCallback callback = firmwareCallback_.load())
                    callback(&status, &progress);
            });
            firmwareRunning_ = false;
        });
    } catch (const std::system_error &) {
        firmwareRunning_ = false;
        return false;
    }
    return true;
}

void LibraryServices::waitForFirmwareWorker()
{
    std::lock_guard guard(firmwareMutex_);
    if (firmwareWorker_.joinable())
        firmwareWorker_.join();
}

uint8_t LibraryServices::setDeviceCallback(VelaDeviceCallback callback)
{
    if (!callback)
        return kFailed;
    deviceCallback_ = callback;
    return kDone;
}

void LibraryServices::onNotice(uint8_t value)
{
    if (VelaDeviceCallback callback = deviceCallback_.load())
        callback(&value);
    if (value == listener::kRemoved)
        closeDevice();
}

uint8_t LibraryServices::startListener()
{
    std::lock_guard guard(listenerMutex_);
    return listener_.start(subscribe_, [this](uint8_t value) { onNotice(value); }) ? kDone : kFailed;
}

} // namespace vela::library
