#pragma once
// The virtual mouse's firmware: the state a real mouse keeps and the command
// handlers that answer feature reports. Handlers are looked up by mode,
// report ID and command byte, so further commands (the bootloader's, say)
// are added with addHandler without touching the existing ones.
//
// What a real mouse leaves open, chosen here:
// - status 1 accepts; 2 refuses an unknown command, a profile, slot or button
//   out of range, or a block whose checksum does not match; the busy
//   statuses 3 and 4 appear only when a test injects them;
// - the reply of a command stays until the next command, so every read of
//   it answers the same;
// - the library's profile p and the program's slot p - 1 share the active
//   profile, but their contents are separate stores: the library's 1024-byte
//   settings layout and the program's 2048-byte images differ;
// - factory default resets the library profiles and the active slot, and
//   leaves the slot images alone.
#include "device/wire.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <tuple>

namespace vela::vmouse {

enum class Mode { Normal, Bootloader };

// The identities and report sizes the host side uses (header-only constants).
constexpr uint16_t kVendorId = wire::kVendorId;
constexpr uint16_t kNormalProductId = wire::kProductNormal;
constexpr uint16_t kBootloaderProductId = wire::kProductBootloader;
constexpr size_t kBlockSize = wire::kBlockSize;
constexpr size_t kLongReportSize = wire::kLongReportSize;
constexpr size_t kShortReportSize = wire::kCommandReportSize;
constexpr size_t kSlotCount = 5;
constexpr size_t kSlotSize = 2048;
constexpr size_t kLibraryButtons = 6;

// One library-side profile (numbered 1-5 by the device library): the
// 1024-byte settings block it reads back, and one data block per button for
// macros, preset sequences and launch data.
struct LibraryProfile {
    bool present = true;
    std::array<uint8_t, kBlockSize> settings{};
    std::array<std::array<uint8_t, kBlockSize>, kLibraryButtons> blocks{};
};

struct FirmwareState {
    std::array<std::array<uint8_t, kSlotSize>, kSlotCount> slotImages{}; // on-board images of the program
    uint8_t activeSlot = 0;                                        // 0-4; library profile = slot + 1
    uint16_t firmwareVersion = 0x0105;
    uint16_t bootloaderVersion = 0x0101;
    uint16_t updateVersion = 0; // firmware version after an update (bootloader.h); 0: old + 1
    uint8_t surfaceScore = 73;
    bool surfaceStarted = false;
    std::array<LibraryProfile, kSlotCount> profiles{};
};

// The library profile a fresh or reset mouse has.
LibraryProfile defaultLibraryProfile();
FirmwareState defaultFirmwareState();

// The answer left for the host's next get feature report: byte 1 is the
// status, reply data from byte 16. Byte 0 is replaced by the requested ID.
using Reply = std::array<uint8_t, kLongReportSize>;

class Firmware {
public:
    // Fills reply data and returns the status byte (1 accepted, 2 refused).
    // report holds size bytes, report ID first, zero-padded to at least 64.
    using Handler = std::function<uint8_t(Firmware &, const uint8_t *report, size_t size, Reply &reply)>;

    Firmware(); // with the normal-mode commands installed

    void addHandler(Mode mode, uint8_t reportId, uint8_t command, Handler handler);

    // A feature report from the host in the given mode.
    void onSetFeature(Mode mode, const uint8_t *report, size_t size);
    // The host's get feature report: copies the pending reply (ID replaced).
    void onGetFeature(uint8_t *data, size_t size) const;

    FirmwareState &state() { return state_; }
    const FirmwareState &state() const { return state_; }

    // Set by handlers that change what --state keeps; the device clears it.
    bool persistentChanged = false;
    // A handler asks for a mode switch; the device performs it after the
    // host has read the status of that command.
    std::function<void(Mode)> requestMode;

private:
    std::map<std::tuple<Mode, uint8_t, uint8_t>, Handler> handlers_;
    FirmwareState state_ = defaultFirmwareState();
    Reply reply_{};
};

// Installs the commands the mouse answers in normal mode.
void addNormalModeCommands(Firmware &firmware);

} // namespace vela::vmouse
