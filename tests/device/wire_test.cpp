// Key tables, checksum, entries and the library's button and profile codecs.
#include "device/button_codec.h"
#include "device/wire.h"

#include <gtest/gtest.h>

using namespace vela;

TEST(Wire, KeyTableAndItsReverse)
{
    const std::pair<uint16_t, uint16_t> table[] = {
        {3, 0x48},    {19, 0x48},   {8, 0x2A},    {13, 0x28},  {32, 0x2C},  {36, 0x4A},  {40, 0x51},
        {46, 0x4C},   {48, 0x27},   {49, 0x1E},   {57, 0x26},  {65, 0x04},  {90, 0x1D},  {91, 0xE3},
        {93, 0x65},   {96, 0x62},   {97, 0x59},   {105, 0x61}, {106, 0x55}, {111, 0x54}, {112, 0x3A},
        {123, 0x45},  {144, 0x53},  {145, 0x47},  {160, 0xE1}, {165, 0xE6}, {174, 0x81}, {175, 0x80},
        {186, 0x33},  {192, 0x35},  {219, 0x2F},  {222, 0x34},
        {1, 1},       {151, 151},   {166, 166},   {0x1234, 0x1234}, // not in the table: unchanged
    };
    for (auto [vk, usage] : table)
        EXPECT_EQ(wire::VirtualKeyToHid(vk), usage) << vk;
    // Every listed key comes back, except Cancel, which shares Pause's usage.
    for (auto [vk, usage] : table) {
        if (vk != 3) {
            EXPECT_EQ(wire::HidToVirtualKey(usage), vk) << usage;
        }
    }
    EXPECT_EQ(wire::HidToVirtualKey(0x48), 19);
}

TEST(Wire, ChecksumAndVersionDigits)
{
    uint8_t block[1024];
    std::fill(std::begin(block), std::end(block), 0xFF);
    EXPECT_EQ(wire::BlockChecksum(block), 0xFC00);
    std::fill(std::begin(block), std::end(block), 1);
    EXPECT_EQ(wire::BlockChecksum(block), 0x0400);

    EXPECT_EQ(wire::HexDigitsAsDecimal(0x0105), 105);
    EXPECT_EQ(wire::HexDigitsAsDecimal(0x2001), 2001);
    EXPECT_EQ(wire::HexDigitsAsDecimal(0x0000), 0);
    EXPECT_EQ(wire::HexDigitsAsDecimal(0x01A5), 1); // a decimal reader stops at 'a'
}

TEST(Wire, ButtonFamiliesEncodeAndDecodeBack)
{
    struct Case {
        uint32_t family;
        uint8_t sub;
        int16_t key;
        wire::Entry entry;
        uint32_t decodedFamily;
        uint8_t decodedSub;
    } cases[] = {
        {16, 0x04, 0, {0x00, 0x04, 0, 0}, 16, 0x04},
        {17, 0xFF, 0, {0x01, 0xFF, 0, 0}, 17, 0xFF},
        {18, 0x02, 'A', {0x02, 0x02, 0x04, 0}, 18, 0x02},
        {19, 2, 0, {0x03, 0xF2, 7, 3}, 19, 2},
        {20, 1, 0, {0x08, 0xF3, 0, 0}, 20, 1},
        {21, 0, 0, {0x09, 0xF1, 0, 0}, 21, 0},
        {21, 2, 1600, {0x0C, 0x01, 1600, 1600}, 21, 2},
        {22, 0, 0, {0x21, 0x01, 0, 0}, 22, 0},
        {23, 0, 0, {0x22, 0x01, 0, 0}, 23, 0},
        {24, 0, 0, {0x20, 0xCD, 0, 0}, 24, 0},
        {24, 6, 0, {0x20, 0xE2, 0, 0}, 24, 6},
        {24, 7, 0, {0x20, 0x01, 0x0183, 0}, 24, 0},
        {25, 3, 0, {0x18, 0x01, 3, 3}, 25, 3},
        {255, 0, 0, {0xFF, 0x01, 0, 0}, 255, 0},
        {99, 5, 0, {0x00, 0x01, 0, 0}, 16, 1},
    };
    for (const Case &c : cases) {
        const wire::Entry entry = library::EncodeButton(c.family, c.sub, c.key, 7, 3);
        EXPECT_EQ(entry, c.entry) << "family " << c.family << " sub " << int(c.sub);
        VelaProfileButton decoded{};
        library::DecodeButton(entry, decoded);
        EXPECT_EQ(decoded.family, c.decodedFamily) << c.family;
        EXPECT_EQ(decoded.sub_value, c.decodedSub) << c.family;
    }
    VelaProfileButton key{};
    library::DecodeButton({0x02, 0, 0x3A, 0}, key);
    EXPECT_EQ(key.key_code, 112);
    VelaProfileButton unknown{};
    library::DecodeButton({0x42, 9, 9, 9}, unknown);
    EXPECT_EQ(unknown.family, 16u);
    EXPECT_EQ(unknown.sub_value, 1);
}

TEST(Wire, ProfileDecoderKeepsOnlyKnownValues)
{
    uint8_t block[1024] = {};
    VelaProfileData p;

    auto decode = [&](size_t offset, uint8_t value) {
        block[offset] = value;
        library::DecodeProfile(block, p);
    };
    decode(0, 6);
    EXPECT_EQ(p.profile_setting, 6);
    decode(0, 7);
    EXPECT_EQ(p.profile_setting, 1);
    for (auto [code, rate] : {std::pair{2, 500}, {4, 250}, {8, 125}, {1, 1000}, {3, 1000}}) {
        decode(1, uint8_t(code));
        EXPECT_EQ(p.polling_rate, rate);
    }
    for (auto [mode, kept] : {std::pair{0, 0}, {15, 15}, {3, 1}, {9, 1}}) {
        decode(31, uint8_t(mode));
        EXPECT_EQ(p.lighting_mode, kept);
    }
    for (auto [value, kept] : {std::pair{75, 75}, {0, 0}, {30, 100}}) {
        decode(56, uint8_t(value));
        EXPECT_EQ(p.brightness, kept);
    }
    decode(58, 2);
    EXPECT_EQ(p.lighting_value3, 2);
    decode(58, 5);
    EXPECT_EQ(p.lighting_value3, 1);
    decode(3, 1);
    EXPECT_EQ(p.angle_snapping, 1);
    decode(4, 2);
    EXPECT_EQ(p.lift_off, 0);
    // Button 6 sits right after the five others.
    wire::PutEntry(block + 100, {0x24, 0, 20, 0});
    library::DecodeProfile(block, p);
    EXPECT_EQ(p.buttons[5].button, 6);
    EXPECT_EQ(p.buttons[5].family, 25u);
    EXPECT_EQ(p.buttons[5].sub_value, 1);
    EXPECT_EQ(p.buttons[5].launch_size, 20);
}

TEST(Wire, PresetSequences)
{
    EXPECT_EQ(library::PresetEvents(0).size(), 6u);
    EXPECT_TRUE(library::PresetEvents(1).empty());
    const auto three = library::PresetEvents(3), five = library::PresetEvents(5);
    ASSERT_EQ(three.size(), 8u);
    EXPECT_EQ(three[6].code, 'U');
    EXPECT_EQ(five[6].code, 'H');
    EXPECT_EQ(five[7].release, 1);
    EXPECT_EQ(five[7].delay[0], 0);
    EXPECT_EQ(five[1].delay[0], 150);
}

TEST(Wire, MacroEventsKeepTheirCodesThroughTheBlock)
{
    // Key codes travel as HID usages; mouse and wheel codes as themselves,
    // even where they equal a key's usage (middle button 4 is 'A''s usage).
    const struct {
        uint8_t kind;
        int16_t code;
    } cases[] = {{18, 'A'}, {18, 19}, {16, 1}, {16, 2}, {16, 4}, {16, 166}, {16, 167}, {17, 151}, {17, 152}};
    std::vector<VelaButtonEvent> events;
    for (const auto &c : cases) {
        VelaButtonEvent e{};
        e.kind = c.kind;
        e.code = c.code;
        events.push_back(e);
    }
    std::array<uint8_t, wire::kBlockSize> block{};
    ASSERT_TRUE(library::EncodeEventBlock(events.data(), events.size(), block));
    std::vector<VelaButtonEvent> back(events.size());
    ASSERT_EQ(library::DecodeEventBlock(block.data(), back.size(), back.data()), back.size());
    for (size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(back[i].kind, events[i].kind) << i;
        EXPECT_EQ(back[i].code, events[i].code) << "kind " << int(events[i].kind);
    }
}
