#pragma once
// What travels to the mouse: identities, report layouts, the 7-byte button
// entry and macro event, the virtual-key ↔ HID usage tables and the block
// checksum. Shared by the device library and the program's on-board image.
#include <cstddef>
#include <cstdint>

namespace vela::wire {

constexpr uint16_t kVendorId = 0x22D4;
constexpr uint16_t kProductNormal = 0x132B;
constexpr uint16_t kProductBootloader = 0x132A;
constexpr uint16_t kCommandUsagePage = 0xFF01;
constexpr uint16_t kCommandUsage = 2;
constexpr uint16_t kCompliantUsagePage = 0xFF02;
constexpr uint16_t kCompliantUsage = 1;

constexpr uint8_t kCommandReportId = 0xA1; // command and status reports
constexpr uint8_t kLongReportId = 0xA0;    // block transfers
constexpr size_t kCommandReportSize = 64;
constexpr size_t kLongReportSize = 1041;
constexpr size_t kBlockSize = 1024;

constexpr uint8_t kStatusDone = 1;

// Windows virtual-key code → HID keyboard usage; codes without an entry
// (mouse and wheel codes among them) come back unchanged.
uint16_t VirtualKeyToHid(uint16_t vk);
// The reverse; 0x48 comes back as Pause (19). Unknown usages unchanged.
uint16_t HidToVirtualKey(uint16_t usage);

// 16-bit wrapping sum of the 1024 bytes of a block.
uint16_t BlockChecksum(const uint8_t *block);

// Button entry, seven bytes: type, value, first and second parameter
// (little-endian), 0x0F.
constexpr size_t kEntrySize = 7;
struct Entry {
    uint8_t type = 0;
    uint8_t value = 0;
    uint16_t first = 0;
    uint16_t second = 0;
    bool operator==(const Entry &) const = default;
};
void PutEntry(uint8_t *out, const Entry &entry);
Entry GetEntry(const uint8_t *in);

// Macro event, seven bytes: kind, HID usage (little-endian), release flag,
// delay bits 0-23 least significant first.
constexpr size_t kEventSize = 7;
struct Event {
    uint8_t kind = 0;
    uint16_t usage = 0;
    uint8_t release = 0;
    uint32_t delay = 0; // only bits 0-23 travel
};
void PutEvent(uint8_t *out, const Event &event);
Event GetEvent(const uint8_t *in);

// A release number written in hex digits and read back as a decimal number
// (0x0105 → 105); digits a-f end the number, as a decimal reader would.
int HexDigitsAsDecimal(uint16_t value);

inline void PutU16(uint8_t *out, uint16_t value)
{
    out[0] = uint8_t(value);
    out[1] = uint8_t(value >> 8);
}
inline uint16_t GetU16(const uint8_t *in)
{
    return uint16_t(in[0] | in[1] << 8);
}

} // namespace vela::wire
