#include "device/transport.h"

#include "device/wire.h"

#include <cerrno>
#include <cstring>
#include <vector>

namespace vela {
namespace {

bool isBusy(uint8_t status)
{
    return status == 3 || status == 4;
}

} // namespace

Transport::Transport(TransportFlavour flavour, hid::Backend &backend, Clock &clock)
    : flavour_(flavour), backend_(backend), clock_(clock)
{
}

Transport::~Transport() = default;

bool Transport::openLocked(uint16_t productId, uint16_t usagePage, uint16_t usage, std::unique_ptr<hid::Handle> &slot)
{
    slot.reset();
    openError_ = 0;
    // The enumeration already filters by vendor and product, so no other
    // device in the system is opened; each interface of the mouse is.
    for (const auto &info : backend_.enumerate(wire::kVendorId, productId)) {
        int error = 0;
        std::unique_ptr<hid::Handle> handle = backend_.open(info.path, &error);
        if (!handle) {
            openError_ = error;
            continue; // cannot be opened: skipped
        }
        if (info.vendorId == wire::kVendorId && info.productId == productId && info.usagePage == usagePage
            && info.usage == usage) {
            slot = std::move(handle);
            if (&slot == &command_)
                release_ = info.releaseNumber;
            return true;
        }
        // Rejected: the handle closes here, before the next interface.
    }
    return false;
}

bool Transport::open(uint16_t productId)
{
    std::lock_guard lock(mutex_);
    closeLocked();
    opened_ = openLocked(productId, wire::kCommandUsagePage, wire::kCommandUsage, command_);
    return opened_;
}

bool Transport::openCompliant()
{
    std::lock_guard lock(mutex_);
    return openLocked(wire::kProductNormal, wire::kCompliantUsagePage, wire::kCompliantUsage, compliant_);
}

bool Transport::ensureOpen()
{
    {
        std::lock_guard lock(mutex_);
        if (opened_ && command_)
            return true;
    }
    return open(wire::kProductNormal);
}

void Transport::closeLocked()
{
    opened_ = false;
    command_.reset();
    release_ = 0;
}

void Transport::close()
{
    std::lock_guard lock(mutex_);
    closeLocked();
    compliant_.reset();
}

bool Transport::isOpen() const
{
    std::lock_guard lock(mutex_);
    return opened_ && command_;
}

bool Transport::sendFeature(uint8_t *buffer, size_t size, uint32_t retryWaitMs)
{
    std::lock_guard lock(mutex_);
    if (!command_ || !buffer || size == 0)
        return false;
    const std::vector<uint8_t> copy(buffer, buffer + size);
    bool sent = command_->sendFeatureReport(buffer, size) >= 0;
    // Three more tries for a transient failure; a vanished mouse ends it.
    for (int retry = 0; !sent && retry < 3 && hid::isTransientError(command_->lastError()); ++retry) {
        std::memcpy(buffer, copy.data(), size);
        sent = command_->sendFeatureReport(buffer, size) >= 0;
        if (!sent)
            clock_.sleepMs(flavour_ == TransportFlavour::Program ? kRetryWaitLong : retryWaitMs);
    }
    std::memcpy(buffer, copy.data(), size);
    forgetIfGone();
    return sent;
}

bool Transport::getFeature(uint8_t *buffer, size_t size)
{
    std::lock_guard lock(mutex_);
    if (!command_ || !buffer || size < 2)
        return false;
    const bool ok = flavour_ == TransportFlavour::Library ? getLibrary(buffer, size) : getProgram(buffer, size);
    forgetIfGone();
    return ok;
}

void Transport::forgetIfGone()
{
    // A handle whose device went away never works again; forgetting it lets
    // the next Ensure open find the mouse once it is back.
    if (command_ && (command_->lastError() == ENODEV || command_->lastError() == ENOENT))
        closeLocked();
}

bool Transport::getLibrary(uint8_t *buffer, size_t size)
{
    const std::vector<uint8_t> copy(buffer, buffer + size);
    auto read = [&] {
        std::memcpy(buffer, copy.data(), size);
        return command_->getFeatureReport(buffer, size) >= 0;
    };
    if (read()) {
        if (!isBusy(buffer[1]))
            return true; // done, or a status the command layer judges
        bool ok = true;
        for (uint32_t delay : {0u, 30u, 60u}) {
            ok = read();
            if (ok && !isBusy(buffer[1]))
                return true;
            if (!ok && !hid::isTransientError(command_->lastError()))
                return false;
            if (ok && delay)
                clock_.sleepMs(delay);
        }
        return ok;
    }
    for (int retry = 0; retry < 4 && hid::isTransientError(command_->lastError()); ++retry) {
        if (read())
            return true;
        clock_.sleepMs(50);
    }
    return false;
}

bool Transport::getProgram(uint8_t *buffer, size_t size)
{
    const std::vector<uint8_t> copy(buffer, buffer + size);
    auto read = [&] {
        std::memcpy(buffer, copy.data(), size);
        return command_->getFeatureReport(buffer, size) >= 0;
    };
    bool ok = read();
    if (ok) {
        if (buffer[1] == wire::kStatusDone)
            return true;
        // Five more reads spread over 500 ms.
        for (uint32_t delay : {0u, 50u, 100u, 150u, 200u}) {
            ok = read();
            if (ok && buffer[1] == wire::kStatusDone)
                return true;
            if (!ok && !hid::isTransientError(command_->lastError()))
                return false;
            if (delay)
                clock_.sleepMs(delay);
        }
        return ok;
    }
    for (int retry = 0; retry < 3 && hid::isTransientError(command_->lastError()); ++retry) {
        ok = read();
        if (ok && buffer[1] == wire::kStatusDone)
            return true;
        clock_.sleepMs(50);
    }
    return ok;
}

int Transport::lastOpenError() const
{
    std::lock_guard lock(mutex_);
    return openError_;
}

uint16_t Transport::releaseNumber() const
{
    std::lock_guard lock(mutex_);
    return release_;
}

int Transport::firmwareVersion() const
{
    return wire::HexDigitsAsDecimal(releaseNumber());
}

} // namespace vela
