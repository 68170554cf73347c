#pragma once
// The one HID interface the device code uses: enumerate, open a path, feature
// reports, input reports, close. Two backends sit behind it: hidapi (hidraw)
// for real hardware, and a client of the virtual mouse, chosen when the
// environment variable VELA_VIRTUAL_MOUSE names its socket. Nothing above this
// layer knows which one is in use. No Qt here: the shared device library links
// this without pulling Qt in.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vela::hid {

// One present HID interface (a top-level collection).
struct DeviceInfo {
    std::string path;           // opaque; pass it to Backend::open
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    uint16_t releaseNumber = 0; // bcdDevice of the HID attributes
    int interfaceNumber = -1;   // USB interface, -1 when unknown
    bool operator==(const DeviceInfo &) const = default;
};

// An open interface. Not thread-safe: use one handle from one thread at a
// time. Destroying it closes the interface; readInput with a finite timeout is
// how a reader notices a close requested elsewhere.
// Every call returns the number of bytes transferred, or -1 with lastError()
// set to an errno value (ENODEV once the device is gone).
class Handle {
public:
    virtual ~Handle() = default;
    // data[0] is the report ID; size includes it.
    virtual int sendFeatureReport(const uint8_t *data, size_t size) = 0;
    // The caller puts the report ID in data[0]; the report (ID first) is
    // written back into data, at most size bytes.
    virtual int getFeatureReport(uint8_t *data, size_t size) = 0;
    // Output report on the interrupt pipe; data[0] is the report ID.
    virtual int writeOutputReport(const uint8_t *data, size_t size) = 0;
    // Waits up to timeoutMs (-1: no limit) for one input report. Returns its
    // length, 0 on timeout, -1 on error.
    virtual int readInputReport(uint8_t *data, size_t size, int timeoutMs) = 0;
    // errno value of the last failed call, 0 before any failure.
    virtual int lastError() const = 0;
    virtual std::string lastErrorText() const;
};

class Backend {
public:
    virtual ~Backend() = default;
    // Present interfaces; 0 for vendorId or productId matches any.
    virtual std::vector<DeviceInfo> enumerate(uint16_t vendorId, uint16_t productId) = 0;
    // Opens one interface for read and write. Null on failure, with *error
    // (when given) set to an errno value.
    virtual std::unique_ptr<Handle> open(const std::string &path, int *error = nullptr) = 0;
};

// The backend of this process: the virtual mouse client when
// VELA_VIRTUAL_MOUSE is set and not empty (read once, at first use), hidapi
// otherwise. Lives until the process ends; safe to call from any thread.
Backend &defaultBackend();

// The two backends, for tools and tests that want one explicitly.
std::unique_ptr<Backend> makeHidapiBackend();
std::unique_ptr<Backend> makeVirtualBackend(const std::string &socketPath);

// The environment variable that selects the virtual mouse.
constexpr const char *kVirtualMouseEnv = "VELA_VIRTUAL_MOUSE";

// True for errno values a hidraw ioctl gives for a device that is busy or
// glitching; false for ENODEV and ENOENT (the device is gone) and the rest.
bool isTransientError(int error);

// Lowercase hex, two digits per byte, no separators; and back. fromHex
// returns false on odd length or a non-hex digit.
std::string toHex(const uint8_t *data, size_t size);
bool fromHex(const std::string &text, std::vector<uint8_t> &out);

} // namespace vela::hid
