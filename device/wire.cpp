#include "device/wire.h"

#include <array>
#include <cstdio>

namespace vela::wire {
namespace {

// Forward table: index = virtual-key code, value = HID usage (0 = none).
constexpr std::array<uint16_t, 256> makeForward()
{
    std::array<uint16_t, 256> t{};
    t[3] = 0x48;
    t[19] = 0x48;
    t[8] = 0x2A;
    t[9] = 0x2B;
    t[13] = 0x28;
    t[20] = 0x39;
    t[27] = 0x29;
    t[32] = 0x2C;
    t[33] = 0x4B;
    t[34] = 0x4E;
    t[35] = 0x4D;
    t[36] = 0x4A;
    t[37] = 0x50;
    t[38] = 0x52;
    t[39] = 0x4F;
    t[40] = 0x51;
    t[44] = 0x46;
    t[45] = 0x49;
    t[46] = 0x4C;
    t[48] = 0x27;
    for (int vk = 49; vk <= 57; ++vk)
        t[vk] = uint16_t(vk - 19);
    for (int vk = 65; vk <= 90; ++vk)
        t[vk] = uint16_t(vk - 61);
    t[91] = 0xE3;
    t[92] = 0xE7;
    t[93] = 0x65;
    t[96] = 0x62;
    for (int vk = 97; vk <= 105; ++vk)
        t[vk] = uint16_t(vk - 8);
    t[106] = 0x55;
    t[107] = 0x57;
    t[109] = 0x56;
    t[110] = 0x63;
    t[111] = 0x54;
    for (int vk = 112; vk <= 123; ++vk)
        t[vk] = uint16_t(vk - 54);
    t[144] = 0x53;
    t[145] = 0x47;
    const uint16_t modifiers[] = {0xE1, 0xE5, 0xE0, 0xE4, 0xE2, 0xE6};
    for (int i = 0; i < 6; ++i)
        t[160 + i] = modifiers[i];
    t[174] = 0x81;
    t[175] = 0x80;
    const uint16_t punctuation[] = {0x33, 0x2E, 0x36, 0x2D, 0x37, 0x38, 0x35};
    for (int i = 0; i < 7; ++i)
        t[186 + i] = punctuation[i];
    t[219] = 0x2F;
    t[220] = 0x31;
    t[221] = 0x30;
    t[222] = 0x34;
    return t;
}

constexpr auto kForward = makeForward();

constexpr std::array<uint16_t, 256> makeReverse()
{
    std::array<uint16_t, 256> r{};
    // Walk downwards so that of two codes sharing a usage the lower wins,
    // then put Pause back for 0x48 (Cancel and Pause share it).
    for (int vk = 255; vk >= 0; --vk)
        if (kForward[vk])
            r[kForward[vk]] = uint16_t(vk);
    r[0x48] = 19;
    return r;
}

constexpr auto kReverse = makeReverse();

} // namespace

uint16_t VirtualKeyToHid(uint16_t vk)
{
    return vk < kForward.size() && kForward[vk] ? kForward[vk] : vk;
}

uint16_t HidToVirtualKey(uint16_t usage)
{
    return usage < kReverse.size() && kReverse[usage] ? kReverse[usage] : usage;
}

uint16_t BlockChecksum(const uint8_t *block)
{
    uint16_t sum = 0;
    for (size_t i = 0; i < kBlockSize; ++i)
        sum = uint16_t(sum + block[i]);
    return sum;
}

void PutEntry(uint8_t *out, const Entry &entry)
{
    out[0] = entry.type;
    out[1] = entry.value;
    PutU16(out + 2, entry.first);
    PutU16(out + 4, entry.second);
    out[6] = 0x0F;
}

Entry GetEntry(const uint8_t *in)
{
    return {in[0], in[1], GetU16(in + 2), GetU16(in + 4)};
}

void PutEvent(uint8_t *out, const Event &event)
{
    out[0] = event.kind;
    PutU16(out + 1, event.usage);
    out[3] = event.release;
    out[4] = uint8_t(event.delay);
    out[5] = uint8_t(event.delay >> 8);
    out[6] = uint8_t(event.delay >> 16);
}

Event GetEvent(const uint8_t *in)
{
    return {in[0], GetU16(in + 1), in[3], uint32_t(in[4] | in[5] << 8 | in[6] << 16)};
}

int HexDigitsAsDecimal(uint16_t value)
{
    char text[8];
    std::snprintf(text, sizeof(text), "%x", value);
    int result = 0;
    for (const char *c = text; *c >= '0' && *c <= '9'; ++c)
        result = result * 10 + (*c - '0');
    return result;
}

} // namespace vela::wire
