#include "tools/virtual-mouse/virtual_mouse.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace vela::vmouse {
namespace {

// Enough for any test session; a server left running keeps the newest.
constexpr size_t kMaxLogLines = 100000;

std::string interfacePath(uint16_t productId, int interfaceNumber)
{
    char path[64];
    std::snprintf(path, sizeof(path), "vmouse/VID_%04X&PID_%04X&MI_%02d", kVendorId, productId, interfaceNumber);
    return path;
}

bool isCommandInterface(const hid::DeviceInfo &info)
{
    return info.usagePage == 0xFF01 && info.usage == 2;
}

} // namespace

std::string formatLogLine(uint64_t ms, const char *direction, const uint8_t *data, size_t size)
{
    while (size > 0 && data[size - 1] == 0)
        --size;
    std::string line = std::to_string(ms) + ' ' + direction;
    for (size_t i = 0; i < size; ++i)
        line += ' ' + hid::toHex(data + i, 1);
    return line;
}

VirtualMouse::VirtualMouse(Clock &clock) : clock_(clock), startMs_(clock.nowMs())
{
    firmware_.requestMode = [this](Mode mode) { pendingMode_ = mode; };
}

VirtualMouse::~VirtualMouse() = default;

std::vector<hid::DeviceInfo> VirtualMouse::interfacesFor(Mode mode, uint16_t release)
{
    if (mode == Mode::Bootloader)
        return {{interfacePath(kBootloaderProductId, 0), kVendorId, kBootloaderProductId, 0xFF01, 2, release, 0}};
    // The standard mouse collection comes first, so a search for the command
    // interface has to open it, reject it and go on.
    return {
        {interfacePath(kNormalProductId, 0), kVendorId, kNormalProductId, 0x0001, 2, release, 0},
        {interfacePath(kNormalProductId, 1), kVendorId, kNormalProductId, 0xFF01, 2, release, 1},
        {interfacePath(kNormalProductId, 2), kVendorId, kNormalProductId, 0xFF02, 1, release, 2},
    };
}

std::vector<hid::DeviceInfo> VirtualMouse::enumerate() const
{
    std::lock_guard lock(mutex_);
    if (!plugged_)
        return {};
    const FirmwareState &s = firmware_.state();
    return interfacesFor(mode_, mode_ == Mode::Normal ? s.firmwareVersion : s.bootloaderVersion);
}

std::shared_ptr<Connection> VirtualMouse::open(const std::string &path, int &error)
{
    const auto present = enumerate();
    std::lock_guard lock(mutex_);
    for (const auto &info : present)
        if (info.path == path) {
            auto connection = std::make_shared<Connection>();
            connection->interface = info;
            connection->generation = generation_;
            handleHistory_.push_back("open " + path);
            return connection;
        }
    error = ENOENT;
    return nullptr;
}

void VirtualMouse::close(Connection &connection)
{
    {
        std::lock_guard lock(mutex_);
        if (!connection.closed)
            handleHistory_.push_back("close " + connection.interface.path);
        connection.closed = true;
    }
    inputReady_.notify_all();
}

bool VirtualMouse::usable(const Connection &connection, int &error) const
{
    // A handle opened before an unplug or a mode switch stays dead, as a
    // hidraw node that went away does.
    if (connection.closed) {
        error = EBADF;
        return false;
    }
    if (!plugged_ || connection.generation != generation_) {
        error = ENODEV;
        return false;
    }
    return true;
}

bool VirtualMouse::admitFeature(const Connection &connection, size_t size, int &failures, int failError, int &error)
{
    if (!usable(connection, error))
        return false;
    if (size == 0 || !isCommandInterface(connection.interface)) {
        error = EPIPE; // the collection has no such feature report
        return false;
    }
    if (failures > 0) {
        --failures;
        error = failError;
        return false;
    }
    return true;
}

void VirtualMouse::logExchange(const char *direction, const uint8_t *data, size_t size)
{
    log_.push_back(formatLogLine(clock_.nowMs() - startMs_, direction, data, size));
    if (log_.size() > kMaxLogLines)
        log_.pop_front();
}

void VirtualMouse::persistIfChanged()
{
    if (!firmware_.persistentChanged)
        return;
    firmware_.persistentChanged = false;
    if (persist_) {
        PersistentState state;
        const FirmwareState &s = firmware_.state();
        state.slotImages = s.slotImages;
        state.activeSlot = s.activeSlot;
        state.firmwareVersion = s.firmwareVersion;
        state.bootloaderVersion = s.bootloaderVersion;
        persist_(state);
    }
}

int VirtualMouse::sendFeature(Connection &connection, const uint8_t *data, size_t size, int &error)
{
    std::lock_guard lock(mutex_);
    if (!admitFeature(connection, size, failSends_, sendError_, error))
        return -1;
    logExchange("set", data, size);
    firmware_.onSetFeature(mode_, data, size);
    persistIfChanged();
    return int(size);
}

int VirtualMouse::getFeature(Connection &connection, uint8_t *data, size_t size, int &error)
{
    std::vector<Notice> notices;
    {
        std::lock_guard lock(mutex_);
        if (!admitFeature(connection, size, failGets_, getError_, error))
            return -1;
        logExchange("get", data, size);
        firmware_.onGetFeature(data, size);
        if (statusCount_ > 0 && size > 1) {
            --statusCount_;
            data[1] = statusValue_;
        }
        // A mode switch the firmware asked for happens once the host has
        // seen the status of that command.
        if (pendingMode_) {
            const Mode next = *pendingMode_;
            pendingMode_.reset();
            notices = changePresence(false, mode_);
            auto more = changePresence(true, next);
            notices.insert(notices.end(), more.begin(), more.end());
        }
    }
    notify(notices);
    return int(size);
}

int VirtualMouse::writeOutput(Connection &connection, const uint8_t *, size_t size, int &error)
{
    std::lock_guard lock(mutex_);
    if (!usable(connection, error))
        return -1;
    return int(size);
}

int VirtualMouse::readInput(Connection &connection, uint8_t *data, size_t size, int timeoutMs, int &error)
{
    std::unique_lock lock(mutex_);
    auto ready = [&] { return !input_.empty() || connection.closed || !plugged_ || connection.generation != generation_; };
    if (timeoutMs < 0)
        inputReady_.wait(lock, ready);
    else
        inputReady_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
    if (!usable(connection, error))
        return -1;
    if (input_.empty())
        return 0;
    std::vector<uint8_t> report = std::move(input_.front());
    input_.pop_front();
    const size_t n = std::min(size, report.size());
    std::memcpy(data, report.data(), n);
    return int(n);
}

std::vector<Notice> VirtualMouse::changePresence(bool plugged, Mode mode)
{
    std::vector<Notice> notices;
    if (plugged_ == plugged && mode_ == mode)
        return notices;
    const FirmwareState &s = firmware_.state();
    auto release = [&](Mode m) { return m == Mode::Normal ? s.firmwareVersion : s.bootloaderVersion; };
    if (plugged_)
        for (auto &info : interfacesFor(mode_, release(mode_)))
            notices.push_back({Notice::Removal, info});
    if (plugged_)
        ++generation_;
    plugged_ = plugged;
    mode_ = mode;
    if (plugged_)
        for (auto &info : interfacesFor(mode_, release(mode_)))
            notices.push_back({Notice::Arrival, info});
    input_.clear();
    inputReady_.notify_all();
    return notices;
}

void VirtualMouse::notify(const std::vector<Notice> &notices)
{
    std::lock_guard lock(observersMutex_);
    for (const auto &notice : notices)
        for (auto &[id, observer] : observers_)
            observer(notice);
}

void VirtualMouse::unplug()
{
    std::vector<Notice> notices;
    {
        std::lock_guard lock(mutex_);
        notices = changePresence(false, mode_);
    }
    notify(notices);
}

void VirtualMouse::plug()
{
    std::vector<Notice> notices;
    {
        std::lock_guard lock(mutex_);
        notices = changePresence(true, mode_);
    }
    notify(notices);
}

bool VirtualMouse::plugged() const
{
    std::lock_guard lock(mutex_);
    return plugged_;
}

void VirtualMouse::setMode(Mode mode)
{
    std::vector<Notice> notices;
    {
        std::lock_guard lock(mutex_);
        if (mode == mode_)
            return;
        // Switching mode re-enumerates the device, as the real one does.
        const bool wasPlugged = plugged_;
        notices = changePresence(false, mode_);
        mode_ = mode;
        if (wasPlugged) {
            auto more = changePresence(true, mode);
            notices.insert(notices.end(), more.begin(), more.end());
        }
    }
    notify(notices);
}

Mode VirtualMouse::mode() const
{
    std::lock_guard lock(mutex_);
    return mode_;
}

void VirtualMouse::queueInput(std::vector<uint8_t> report)
{
    {
        std::lock_guard lock(mutex_);
        input_.push_back(std::move(report));
    }
    inputReady_.notify_all();
}

void VirtualMouse::failNext(Direction direction, int count, int error)
{
    std::lock_guard lock(mutex_);
    if (direction == Direction::Send) {
        failSends_ = std::max(count, 0);
        sendError_ = error;
    } else {
        failGets_ = std::max(count, 0);
        getError_ = error;
    }
}

void VirtualMouse::statusNext(uint8_t status, int count)
{
    std::lock_guard lock(mutex_);
    statusValue_ = status;
    statusCount_ = std::max(count, 0);
}

std::vector<std::string> VirtualMouse::logLines() const
{
    std::lock_guard lock(mutex_);
    return {log_.begin(), log_.end()};
}

void VirtualMouse::clearLog()
{
    std::lock_guard lock(mutex_);
    log_.clear();
}

void VirtualMouse::setFirmwareVersion(uint16_t version)
{
    std::lock_guard lock(mutex_);
    firmware_.state().firmwareVersion = version;
    firmware_.persistentChanged = true;
    persistIfChanged();
}

void VirtualMouse::setSurfaceScore(uint8_t score)
{
    std::lock_guard lock(mutex_);
    firmware_.state().surfaceScore = score;
}

void VirtualMouse::withFirmware(const std::function<void(Firmware &)> &fn)
{
    std::lock_guard lock(mutex_);
    fn(firmware_);
    persistIfChanged();
}

const std::array<uint8_t, kSlotSize> VirtualMouse::slot(size_t index) const
{
    std::lock_guard lock(mutex_);
    return firmware_.state().slotImages.at(index);
}

uint8_t VirtualMouse::activeSlot() const
{
    std::lock_guard lock(mutex_);
    return firmware_.state().activeSlot;
}

std::vector<std::string> VirtualMouse::handleHistory() const
{
    std::lock_guard lock(mutex_);
    return handleHistory_;
}

PersistentState VirtualMouse::persistentState() const
{
    std::lock_guard lock(mutex_);
    const FirmwareState &s = firmware_.state();
    return {s.slotImages, s.activeSlot, s.firmwareVersion, s.bootloaderVersion};
}

void VirtualMouse::restore(const PersistentState &state)
{
    std::lock_guard lock(mutex_);
    FirmwareState &s = firmware_.state();
    s.slotImages = state.slotImages;
    s.activeSlot = state.activeSlot < kSlotCount ? state.activeSlot : 0;
    s.firmwareVersion = state.firmwareVersion;
    s.bootloaderVersion = state.bootloaderVersion;
}

void VirtualMouse::setPersistHandler(std::function<void(const PersistentState &)> handler)
{
    std::lock_guard lock(mutex_);
    persist_ = std::move(handler);
}

int VirtualMouse::addObserver(Observer observer)
{
    std::lock_guard lock(observersMutex_);
    observers_[nextObserver_] = std::move(observer);
    return nextObserver_++;
}

void VirtualMouse::removeObserver(int id)
{
    std::lock_guard lock(observersMutex_);
    observers_.erase(id);
}

} // namespace vela::vmouse
