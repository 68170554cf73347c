#include "device/button_codec.h"

#include <cstring>

namespace vela::library {
namespace {

constexpr uint8_t kMediaUsages[] = {0xCD, 0xB7, 0xB6, 0xB5, 0xE9, 0xEA, 0xE2};

// Virtual-key codes of the preset sequences.
constexpr int16_t kLeftCtrl = 162, kLeftShift = 160, kEscape = 27, kLeftWindows = 91;

VelaButtonEvent keyEvent(int16_t code, bool release, uint32_t delay)
{
    VelaButtonEvent e{};
    e.kind = 18;
    e.code = code;
    e.release = release ? 1 : 0;
    e.delay[0] = uint8_t(delay);
    e.delay[1] = uint8_t(delay >> 8);
    e.delay[2] = uint8_t(delay >> 16);
    return e;
}

uint8_t wireKind(uint8_t kind)
{
    switch (kind) {
    case 16:
    case 17:
        return kind;
    case 18:
        return 1;
    default:
        return 0;
    }
}

uint8_t callerKind(uint8_t kind)
{
    switch (kind) {
    case 1:
        return 18;
    case 16:
    case 17:
        return kind;
    default:
        return 0;
    }
}

} // namespace

wire::Entry EncodeButton(uint32_t family, uint8_t subValue, int16_t keyCode, uint8_t macroParam, uint16_t eventCount)
{
    wire::Entry e{0x00, 0x01, 0, 0};
    switch (family) {
    case 16:
        e.value = subValue;
        break;
    case 17:
        e = {0x01, subValue, 0, 0};
        break;
    case 18:
        e = {0x02, subValue, wire::VirtualKeyToHid(uint16_t(keyCode)), 0};
        break;
    case 19:
        e = {0x03, uint8_t(subValue == 1 ? 0xF1 : subValue == 2 ? 0xF2 : 0x01), macroParam, eventCount};
        break;
    case 20:
        e = {0x08, uint8_t(subValue == 1 ? 0xF3 : 0xF1), 0, 0};
        break;
    case 21:
        if (subValue == 2)
            e = {0x0C, 0x01, uint16_t(keyCode), uint16_t(keyCode)};
        else
            e = {0x09, uint8_t(subValue == 1 ? 0xF3 : 0xF1), 0, 0};
        break;
    case 22:
        e.type = 0x21;
        break;
    case 23:
        e.type = 0x22;
        break;
    case 24:
        e.type = 0x20;
        if (subValue < sizeof(kMediaUsages))
            e.value = kMediaUsages[subValue];
        else if (subValue == 7)
            e.first = 0x0183;
        break;
    case 25:
        e = {0x18, 0x01, subValue, eventCount};
        break;
    case 255:
        e.type = 0xFF;
        break;
    default:
        break;
    }
    return e;
}

bool EntryHasBlock(const wire::Entry &entry)
{
    return entry.type == 0x03 || entry.type == 0x18;
}

std::vector<VelaButtonEvent> PresetEvents(uint8_t preset)
{
    switch (preset) {
    case 0:
        return {keyEvent(kLeftCtrl, false, 5),  keyEvent(kLeftShift, false, 5), keyEvent(kEscape, false, 150),
                keyEvent(kLeftCtrl, true, 5),   keyEvent(kLeftShift, true, 5),  keyEvent(kEscape, true, 150)};
    case 2:
        return {keyEvent(kLeftWindows, false, 5), keyEvent('L', false, 150), keyEvent(kLeftWindows, true, 5),
                keyEvent('L', true, 5)};
    case 3:
    case 4:
    case 5: {
        const int16_t k = preset == 3 ? 'U' : preset == 4 ? 'S' : 'H';
        return {keyEvent(kLeftWindows, false, 0), keyEvent('X', false, 150), keyEvent(kLeftWindows, true, 0),
                keyEvent('X', true, 150),         keyEvent('U', false, 150), keyEvent('U', true, 150),
                keyEvent(k, false, 150),          keyEvent(k, true, 0)};
    }
    default:
        return {};
    }
}

bool EncodeEventBlock(const VelaButtonEvent *events, size_t count, std::array<uint8_t, wire::kBlockSize> &block)
{
    if (count > VELA_MAX_BLOCK_EVENTS || (count && !events))
        return false;
    block.fill(0);
    for (size_t i = 0; i < count; ++i) {
        const VelaButtonEvent &e = events[i];
        wire::PutEvent(block.data() + i * wire::kEventSize,
                       {wireKind(e.kind), wire::VirtualKeyToHid(uint16_t(e.code)), e.release,
                        uint32_t(e.delay[0] | e.delay[1] << 8 | e.delay[2] << 16)});
    }
    return true; // the zero bytes after the last event are already there
}

size_t DecodeEventBlock(const uint8_t *block, size_t count, VelaButtonEvent *events)
{
    if (count > VELA_MAX_BLOCK_EVENTS)
        count = VELA_MAX_BLOCK_EVENTS;
    for (size_t i = 0; i < count; ++i) {
        const wire::Event w = wire::GetEvent(block + i * wire::kEventSize);
        VelaButtonEvent &e = events[i];
        e = {};
        e.kind = callerKind(w.kind);
        // Mouse and wheel codes went out unchanged (the table lists none of
        // them); mapped back, the middle button (4) would read as 'A'.
        const bool pointer = w.kind == 16 || w.kind == 17;
        e.code = int16_t(pointer ? w.usage : wire::HidToVirtualKey(w.usage));
        e.release = w.release;
        e.delay[0] = uint8_t(w.delay);
        e.delay[1] = uint8_t(w.delay >> 8);
        e.delay[2] = uint8_t(w.delay >> 16);
    }
    return count;
}

void DecodeButton(const wire::Entry &e, VelaProfileButton &b)
{
    b.family = 16;
    b.sub_value = 1;
    b.key_code = 0;
    b.macro_param = 0;
    b.event_count = 0;
    b.launch_size = 0;
    auto pick = [](uint8_t value, std::initializer_list<uint8_t> codes) {
        uint8_t index = 0;
        for (uint8_t code : codes) {
            if (code == value)
                return index;
            ++index;
        }
        return uint8_t(0);
    };
    switch (e.type) {
    case 0x00:
        b.sub_value = e.value;
        break;
    case 0x01:
        b.family = 17;
        b.sub_value = e.value;
        break;
    case 0x02:
        b.family = 18;
        b.sub_value = e.value;
        b.key_code = int16_t(wire::HidToVirtualKey(e.first));
        break;
    case 0x03:
        b.family = 19;
        b.sub_value = pick(e.value, {0x01, 0xF1, 0xF2});
        b.macro_param = uint8_t(e.first);
        b.event_count = e.second;
        break;
    case 0x08:
        b.family = 20;
        b.sub_value = pick(e.value, {0xF1, 0xF3});
        break;
    case 0x09:
        b.family = 21;
        b.sub_value = pick(e.value, {0xF1, 0xF3});
        break;
    case 0x0C:
        b.family = 21;
        b.sub_value = 2;
        b.key_code = int16_t(e.first);
        break;
    case 0x18:
        b.family = 25;
        b.sub_value = uint8_t(e.first);
        break;
    case 0x20:
        b.family = 24;
        b.sub_value = pick(e.value, {0xCD, 0xB7, 0xB6, 0xB5, 0xE9, 0xEA, 0xE2});
        break;
    case 0x21:
        b.family = 22;
        b.sub_value = 0;
        break;
    case 0x22:
        b.family = 23;
        b.sub_value = 0;
        break;
    case 0x23:
    case 0x24:
        b.family = 25;
        b.sub_value = e.type == 0x23 ? 6 : 1;
        b.launch_size = e.first;
        break;
    case 0xFF:
        b.family = 255;
        b.sub_value = 0;
        break;
    default:
        break;
    }
}

void DecodeProfile(const uint8_t *block, VelaProfileData &p)
{
    std::memset(&p, 0, sizeof(p));
    p.profile_setting = block[0] >= 2 && block[0] <= 6 ? block[0] : 1;
    switch (block[1]) {
    case 2:
        p.polling_rate = 500;
        break;
    case 4:
        p.polling_rate = 250;
        break;
    case 8:
        p.polling_rate = 125;
        break;
    default:
        p.polling_rate = 1000;
        break;
    }
    p.response_time = block[2];
    p.angle_snapping = block[3] == 1;
    p.lift_off = block[4] == 1;
    p.dpi.first = block[5];
    p.dpi.second = block[6];
    for (int i = 0; i < 10; ++i)
        p.dpi.value[i] = wire::GetU16(block + 7 + 2 * i);
    const uint8_t mode = block[31];
    p.lighting_mode = (mode == 0 || mode == 2 || mode == 4 || mode == 5 || mode == 6 || mode == 7 || mode == 8 || mode == 15) ? mode : 1;
    std::memcpy(p.lighting.bytes, block + 32, sizeof(p.lighting.bytes));
    const uint8_t brightness = block[56];
    p.brightness = (brightness == 0 || brightness == 25 || brightness == 50 || brightness == 75) ? brightness : 100;
    p.lighting_value2 = block[57] == 1;
    p.lighting_value3 = (block[58] == 0 || block[58] == 2) ? block[58] : 1;
    for (int button = 1; button <= 6; ++button) {
        VelaProfileButton &b = p.buttons[button - 1];
        b.button = uint8_t(button);
        DecodeButton(wire::GetEntry(block + ProfileEntryOffset(button)), b);
    }
}

} // namespace vela::library
