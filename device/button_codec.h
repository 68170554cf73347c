#pragma once
// The device library's button functions on the wire: function family and
// sub-value ↔ 7-byte entry, the macro and preset blocks, and the decoder of
// the library's 1024-byte profile layout (another layout than the
// program's on-board image).
#include "device/Vela_pro_dll.h"
#include "device/wire.h"

#include <array>
#include <cstdint>
#include <vector>

namespace vela::library {

// Entry for a function family (every family not listed becomes left click).
// key_code is used by family 18 (as a virtual-key code) and 21/2 (as a
// fixed DPI value); macro_param and event_count by family 19.
wire::Entry EncodeButton(uint32_t family, uint8_t subValue, int16_t keyCode, uint8_t macroParam,
                         uint16_t eventCount);
// True for the entry types whose events or data follow in a block.
bool EntryHasBlock(const wire::Entry &entry);

// The events of one preset sequence 0-5 (empty for 1 and other numbers).
std::vector<VelaButtonEvent> PresetEvents(uint8_t preset);

// Block of macro or preset events: seven bytes each, then seven zero bytes.
// At most VELA_MAX_BLOCK_EVENTS events fit; returns false (block untouched)
// for more.
bool EncodeEventBlock(const VelaButtonEvent *events, size_t count, std::array<uint8_t, wire::kBlockSize> &block);
// Decodes count events of a macro block (at most VELA_MAX_BLOCK_EVENTS).
size_t DecodeEventBlock(const uint8_t *block, size_t count, VelaButtonEvent *events);

// Entry → family, sub-value and the parameters the caller sees.
void DecodeButton(const wire::Entry &entry, VelaProfileButton &button);
// The 1024-byte profile layout → profile fields and the six entries (the
// blocks are fetched by the caller).
void DecodeProfile(const uint8_t *block, VelaProfileData &profile);

// Byte offset of button 1-6's entry in the profile layout.
constexpr size_t ProfileEntryOffset(int button)
{
    return 65 + wire::kEntrySize * size_t(button - 1);
}

} // namespace vela::library
