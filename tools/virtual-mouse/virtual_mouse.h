#pragma once
// A model of the mouse for tests and for running without hardware:
// Device (VirtualMouse: plugged or not, its mode, fault injection, the log)
// → Interfaces (the HID collections it presents in each mode)
// → Firmware (firmware.h: state and the command handlers).
//
// The same object serves the in-process backend (in_process.h, unit tests
// with a fake clock) and the socket server (server.h, vela-virtual-mouse).
//
// Where extensions go:
// - new firmware commands, such as the bootloader's: Firmware::addHandler for
//   Mode::Bootloader (see addNormalModeCommands for the pattern); a handler
//   switches mode through Firmware::requestMode;
// - input reports: queueInput; every interface's readInput takes from the
//   one queue, the way the event channel reads it;
// - plug, unplug and mode changes notify addObserver callbacks with one
//   Notice per interface; the socket message "subscribe" streams them.
//
// Socket messages (one line each way; hex is lowercase, no separators):
//   enumerate           -> "ok N", then N lines "dev PATH VID PID PAGE USAGE REL IFACE"
//                          (four hex digits each, IFACE decimal)
//   open PATH           -> "ok" | "err ERRNO"; the connection is now that handle
//   set HEX             -> "ok N" | "err ERRNO"        (send feature report)
//   get SIZE HEX        -> "ok HEX" | "err ERRNO"      (get feature report)
//   write HEX           -> "ok N" | "err ERRNO"        (output report)
//   read SIZE TIMEOUT   -> "ok HEX", "ok" on timeout, | "err ERRNO"
//   subscribe           -> "ok", then "arrival PATH" / "removal PATH" lines
//   ctl WORDS...        -> output lines, then "ok" or "error TEXT"
#include "platform/clock.h"
#include "platform/hid.h"
#include "tools/virtual-mouse/firmware.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vela::vmouse {

struct Notice {
    enum Kind { Arrival, Removal } kind;
    hid::DeviceInfo interface;
};

// One open interface of one host connection.
struct Connection {
    hid::DeviceInfo interface;
    uint64_t generation = 0; // the plug-in it was opened during
    bool closed = false;
};

// The state --state keeps across restarts.
struct PersistentState {
    std::array<std::array<uint8_t, kSlotSize>, kSlotCount> slotImages{};
    uint8_t activeSlot = 0;
    uint16_t firmwareVersion = 0;
    uint16_t bootloaderVersion = 0;
};

class VirtualMouse {
public:
    // The clock stamps the log; tests pass a fake one.
    explicit VirtualMouse(Clock &clock = systemClock());
    ~VirtualMouse();

    // Host side: what a HID backend does. Errors are errno values.
    std::vector<hid::DeviceInfo> enumerate() const;
    std::shared_ptr<Connection> open(const std::string &path, int &error);
    void close(Connection &connection);
    int sendFeature(Connection &connection, const uint8_t *data, size_t size, int &error);
    int getFeature(Connection &connection, uint8_t *data, size_t size, int &error);
    int writeOutput(Connection &connection, const uint8_t *data, size_t size, int &error);
    // Blocks in real time up to timeoutMs (-1 without limit) for a queued
    // input report; 0 on timeout. Unplug or close end the wait with ENODEV.
    int readInput(Connection &connection, uint8_t *data, size_t size, int timeoutMs, int &error);

    // Control side.
    void unplug();
    void plug();
    bool plugged() const;
    void setMode(Mode mode);
    Mode mode() const;
    void queueInput(std::vector<uint8_t> report);
    enum class Direction { Send, Get };
    // The next count sends or gets on the command interface fail with error.
    void failNext(Direction direction, int count, int error);
    // The next count status reads answer status in byte 1.
    void statusNext(uint8_t status, int count);
    std::vector<std::string> logLines() const;
    void clearLog();
    void setFirmwareVersion(uint16_t version);
    void setSurfaceScore(uint8_t score);
    // Runs fn on the firmware under the device lock.
    void withFirmware(const std::function<void(Firmware &)> &fn);
    const std::array<uint8_t, kSlotSize> slot(size_t index) const;
    uint8_t activeSlot() const;
    // "open PATH" and "close PATH" for every handle, oldest first.
    std::vector<std::string> handleHistory() const;

    PersistentState persistentState() const;
    void restore(const PersistentState &state);
    // Called (under the device lock; do not call back) whenever the slot images, the
    // active slot or the versions change.
    void setPersistHandler(std::function<void(const PersistentState &)> handler);

    using Observer = std::function<void(const Notice &)>;
    int addObserver(Observer observer);
    void removeObserver(int id);

    // Interfaces presented in a mode, in enumeration order.
    static std::vector<hid::DeviceInfo> interfacesFor(Mode mode, uint16_t release);

private:
    bool usable(const Connection &connection, int &error) const;
    // Whether a feature report gets through to the firmware, consuming one
    // injected failure when there is one.
    bool admitFeature(const Connection &connection, size_t size, int &failures, int failError, int &error);
    void logExchange(const char *direction, const uint8_t *data, size_t size);
    void persistIfChanged();
    std::vector<Notice> changePresence(bool plugged, Mode mode);
    void notify(const std::vector<Notice> &notices);

    Clock &clock_;
    const uint64_t startMs_;
    mutable std::mutex mutex_;
    std::condition_variable inputReady_;
    Firmware firmware_;
    bool plugged_ = true;
    Mode mode_ = Mode::Normal;
    uint64_t generation_ = 1;
    std::deque<std::vector<uint8_t>> input_;
    int failSends_ = 0, failGets_ = 0, sendError_ = 0, getError_ = 0;
    int statusCount_ = 0;
    uint8_t statusValue_ = 0;
    std::deque<std::string> log_;
    std::vector<std::string> handleHistory_;
    std::function<void(const PersistentState &)> persist_;
    std::mutex observersMutex_;
    std::map<int, Observer> observers_;
    int nextObserver_ = 1;
    std::optional<Mode> pendingMode_;
};

// Log line of one exchange: "MS set|get HEX HEX ...", trailing zeros dropped.
std::string formatLogLine(uint64_t ms, const char *direction, const uint8_t *data, size_t size);

} // namespace vela::vmouse
