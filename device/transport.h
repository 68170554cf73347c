#pragma once
// The feature-report transport: finds and opens the mouse's command
// interface, sends and reads feature reports with the retries and status
// polling the mouse needs. Two flavours share this code with their own
// waits; each deliverable owns its own Transport object and so its own
// handle (the shared library's copy is local to it).
//
// Transient errors: a failed send or get is retried only when the HID
// layer's errno is one a hidraw ioctl gives for a busy or glitching device
// (hid::isTransientError: EAGAIN, EBUSY, EIO, EPIPE, ETIMEDOUT, EPROTO);
// ENODEV and ENOENT mean the mouse is gone and end the call at once.
//
// A transfer that fails because the device is gone (ENODEV, ENOENT) closes
// the command interface, so the next Ensure open re-scans instead of using a
// dead handle after the mouse is plugged in again.
//
// Thread safety: every call is safe from any thread; an internal mutex
// keeps open, close and transfers from overlapping. It does not make a
// command's send-wait-read sequence atomic; callers that issue commands
// from several threads hold their own lock around each sequence.
#include "platform/clock.h"
#include "platform/hid.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace vela {

enum class TransportFlavour {
    Library, // busy statuses polled 3 times (0/30/60 ms), get retried 4 times
    Program, // any status but 1 polled 5 times (0-200 ms), release number kept
};

// Retry waits of a failed send, in milliseconds.
constexpr uint32_t kRetryWaitShort = 30; // library: button blocks, profile read, bootloader handshake
constexpr uint32_t kRetryWaitLong = 50;  // library: everything else; the program always

class Transport {
public:
    Transport(TransportFlavour flavour, hid::Backend &backend, Clock &clock);
    ~Transport();
    Transport(const Transport &) = delete;
    Transport &operator=(const Transport &) = delete;

    // Forgets any open command interface, then searches the present
    // interfaces of vendor 0x22D4 and productId for the command interface
    // (usage page 0xFF01, usage 2). Interfaces of the mouse with another
    // usage are opened, rejected and closed. True when one was opened.
    bool open(uint16_t productId);
    // The second vendor interface (0xFF02, usage 1) of product 0x132B, kept
    // apart from the command handle. Library only.
    bool openCompliant();
    // Open(0x132B) unless the command interface is already open.
    bool ensureOpen();
    // Closes the command interface (and the compliant one). Always succeeds.
    void close();
    bool isOpen() const;

    // Sends buffer[0..size) (report ID first): 64 for command reports, 1041
    // for long reports. retryWaitMs is the wait between retries (the program
    // always uses kRetryWaitLong). False without a handle or when every try
    // failed. The buffer holds the caller's bytes again afterwards.
    bool sendFeature(uint8_t *buffer, size_t size, uint32_t retryWaitMs = kRetryWaitLong);
    // Reads a feature report into buffer; the caller puts the report ID in
    // buffer[0]. True means the read succeeded, not that the status in
    // buffer[1] is 1. Busy statuses are polled as the flavour says.
    bool getFeature(uint8_t *buffer, size_t size);

    // Program: the release number of the interface when it was opened, and
    // that number's hex digits read as decimal (0x0105 → 105). 0 when closed.
    uint16_t releaseNumber() const;
    int firmwareVersion() const;

    // errno of the last interface of the mouse that could not be opened
    // during a search (EACCES: the udev rule is missing), 0 when none.
    int lastOpenError() const;

    TransportFlavour flavour() const { return flavour_; }
    Clock &clock() { return clock_; }
    hid::Backend &backend() { return backend_; }

private:
    bool openLocked(uint16_t productId, uint16_t usagePage, uint16_t usage, std::unique_ptr<hid::Handle> &slot);
    void closeLocked();
    void forgetIfGone();
    bool getLibrary(uint8_t *buffer, size_t size);
    bool getProgram(uint8_t *buffer, size_t size);

    const TransportFlavour flavour_;
    hid::Backend &backend_;
    Clock &clock_;
    mutable std::mutex mutex_;
    std::unique_ptr<hid::Handle> command_;
    std::unique_ptr<hid::Handle> compliant_;
    bool opened_ = false;
    uint16_t release_ = 0;
    int openError_ = 0;
};

} // namespace vela
