#pragma once
// The program's own link to the mouse: its transport (program flavour, its
// own handle) and its commands. Results: 1 done, 2 the status read after an
// upload chunk failed, 4 the send failed, the status was not 1 or a reply
// value was out of range.
//
// Thread safety: the user-interface thread and the apply worker both use
// this object; a command lock makes each send-wait-read sequence whole, so
// two commands never interleave on the handle. Calls block for their fixed
// wait (get active profile 2 s, set active profile 1.5 s, upload 400 ms and
// more), so the user-interface thread should only issue the short ones.
#include "device/transport.h"
#include "device/wire.h"

#include <array>
#include <mutex>

namespace vela::program {

constexpr uint8_t kDone = 1;
constexpr uint8_t kStatusReadFailed = 2;
constexpr uint8_t kFailed = 4;

constexpr size_t kImageSize = 2048;
constexpr uint8_t kSlotCount = 5;

class ProgramDevice {
public:
    ProgramDevice(hid::Backend &backend, Clock &clock);

    Transport &transport() { return transport_; }
    bool open() { return transport_.open(wire::kProductNormal); }
    bool ensureOpen() { return transport_.ensureOpen(); }
    void close() { transport_.close(); }
    // Release number at open as decimal digits (0x0105 → 105); 0 when closed.
    int firmwareVersion() const { return transport_.firmwareVersion(); }

    // 03 00, 2 s: slot 0-4 on 1; 4 when the reply is 5 or more.
    uint8_t getActiveProfile(uint8_t &slot);
    // 04 00, 1.5 s. Slots above 4 give 4 without a send.
    uint8_t setActiveProfile(uint8_t slot);
    // 05 01, 50 ms.
    uint8_t startSurfaceAnalysis();
    // 05 02, 30 ms: score is byte 16 of the status report, 0 when nothing
    // could be read. 1 when the mouse accepted and the score is 0-100.
    uint8_t readSurfaceAnalysis(uint8_t &score);
    // Sends the image in two long reports into slot, 200 ms after each.
    // 4 when a send fails (the second chunk is then not sent), 2 when a
    // status read fails; the status value itself does not stop it.
    uint8_t uploadImage(uint8_t slot, const std::array<uint8_t, kImageSize> &image);

private:
    using Report = std::array<uint8_t, wire::kCommandReportSize>;
    // Send, wait, status read; true when the status read succeeded. No wait
    // after a failed send.
    bool exchange(uint8_t command, uint8_t sub, uint8_t slot, uint32_t waitMs, Report &status);

    Transport transport_;
    Clock &clock_;
    std::mutex commandLock_;
};

} // namespace vela::program
