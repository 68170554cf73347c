#include "device/program_device.h"

#include <cstring>
#include <vector>

namespace vela::program {

ProgramDevice::ProgramDevice(hid::Backend &backend, Clock &clock)
    : transport_(TransportFlavour::Program, backend, clock), clock_(clock)
{
}

bool ProgramDevice::exchange(uint8_t command, uint8_t sub, uint8_t slot, uint32_t waitMs, Report &status)
{
    Report report{};
    report[0] = wire::kCommandReportId;
    report[1] = command;
    report[2] = sub;
    report[5] = slot;
    const bool sent = transport_.sendFeature(report.data(), report.size());
    // Nothing to wait for when nothing was sent: a missing mouse must not
    // hold the caller for the command's two seconds.
    if (!sent)
        return false;
    clock_.sleepMs(waitMs);
    status.fill(0);
    status[0] = wire::kCommandReportId;
    return transport_.getFeature(status.data(), status.size());
}

uint8_t ProgramDevice::getActiveProfile(uint8_t &slot)
{
    std::lock_guard guard(commandLock_);
    Report status{};
    if (!exchange(0x03, 0x00, 0, 2000, status) || status[1] != wire::kStatusDone || status[16] >= kSlotCount)
        return kFailed;
    slot = status[16];
    return kDone;
}

uint8_t ProgramDevice::setActiveProfile(uint8_t slot)
{
    std::lock_guard guard(commandLock_);
    if (slot >= kSlotCount)
        return kFailed;
    Report status{};
    return exchange(0x04, 0x00, slot, 1500, status) && status[1] == wire::kStatusDone ? kDone : kFailed;
}

uint8_t ProgramDevice::startSurfaceAnalysis()
{
    std::lock_guard guard(commandLock_);
    Report status{};
    return exchange(0x05, 0x01, 0, 50, status) && status[1] == wire::kStatusDone ? kDone : kFailed;
}

uint8_t ProgramDevice::readSurfaceAnalysis(uint8_t &score)
{
    std::lock_guard guard(commandLock_);
    Report status{};
    const bool read = exchange(0x05, 0x02, 0, 30, status);
    score = read ? status[16] : 0;
    return read && status[1] == wire::kStatusDone && score <= 100 ? kDone : kFailed;
}

uint8_t ProgramDevice::uploadImage(uint8_t slot, const std::array<uint8_t, kImageSize> &image)
{
    std::lock_guard guard(commandLock_);
    if (slot >= kSlotCount)
        return kFailed;
    std::vector<uint8_t> report(wire::kLongReportSize);
    for (uint8_t chunk = 0; chunk < 2; ++chunk) {
        std::fill(report.begin(), report.end(), 0);
        report[0] = wire::kLongReportId;
        report[1] = 0x08;
        report[5] = slot;
        report[6] = chunk;
        std::memcpy(report.data() + 16, image.data() + chunk * wire::kBlockSize, wire::kBlockSize);
        const bool sent = transport_.sendFeature(report.data(), report.size());
        clock_.sleepMs(200); // whether or not the send succeeded
        if (!sent)
            return kFailed;
        Report status{};
        status[0] = wire::kCommandReportId;
        if (!transport_.getFeature(status.data(), status.size()))
            return kStatusReadFailed;
    }
    return kDone;
}

} // namespace vela::program
