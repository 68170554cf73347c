// The on-board image byte for byte, and its upload.
#include "profile/onboard_image.h"
#include "tests/support/fake_clock.h"
#include "tools/virtual-mouse/in_process.h"

#include <gtest/gtest.h>

using namespace vela;

namespace {

std::vector<uint8_t> bytesAt(const OnboardImage &image, size_t offset, size_t count)
{
    return {image.bytes.begin() + offset, image.bytes.begin() + offset + count};
}

CMacroEvent key(uint16_t code, uint8_t up, int32_t delay)
{
    return {1, code, up, delay};
}

void assignMacro(ProfileRecord &r, int button, int32_t id, std::vector<CMacroEvent> events)
{
    r.buttons[button].function = FnMacro;
    r.buttons[button].param = int16_t(id);
    r.buttonMacros[r.buttons[button].buttonIndex] = {QStringLiteral("m"), id, std::move(events)};
}

} // namespace

TEST(OnboardImage, DefaultRecord)
{
    ProfileRecord r;
    r.slotIndex = 3;
    const OnboardImage image = BuildOnboardImage(r);
    ASSERT_TRUE(image.fits);
    std::array<uint8_t, kOnboardImageSize> expected{};
    auto put = [&](size_t at, std::vector<uint8_t> bytes) { std::copy(bytes.begin(), bytes.end(), expected.begin() + at); };
    put(0x000, {3, 'p', 'r', 'o', 'f', 'i', 'l', 'e'});
    put(0x011, {0x00, 0x08, 0x00, 0x00, 1, 1});
    for (size_t effect : {0x01A, 0x01E, 0x024, 0x028, 0x02C, 0x030})
        expected[effect] = 1;
    expected[0x020] = 100;
    expected[0x032] = 2;
    expected[0x056] = 5;
    expected[0x046] = 1;
    const size_t stageAt[5] = {0x033, 0x03C, 0x051, 0x05B, 0x060};
    for (int k = 0; k < 5; ++k) {
        const uint16_t x = uint16_t(r.dpiStage[k].x);
        put(stageAt[k] + 1, {uint8_t(x), uint8_t(x >> 8), uint8_t(x), uint8_t(x >> 8)});
    }
    EXPECT_EQ(bytesAt(image, 0x034, 4), (std::vector<uint8_t>{0x90, 0x01, 0x90, 0x01}));
    EXPECT_EQ(bytesAt(image, 0x061, 4), (std::vector<uint8_t>{0x38, 0x4A, 0x38, 0x4A}));
    const uint8_t entries[7][2] = {{0, 1}, {0, 2}, {0, 4}, {0, 0x10}, {0, 8}, {9, 0xF0}, {9, 0xF2}};
    for (int b = 0; b < 7; ++b)
        put(0x065 + 7 * b, {entries[b][0], entries[b][1], 0, 0, 0, 0, 0x0F});
    for (size_t i = 0; i < kOnboardImageSize; ++i)
        ASSERT_EQ(image.bytes[i], expected[i]) << "offset 0x" << std::hex << i;
}

TEST(OnboardImage, LightingScalesZonesZeroAndThreeOnly)
{
    ProfileRecord r;
    r.brightnessLevel = 2;
    r.lightingMode = 0x0F;
    r.lightingEffect = 6;
    r.zoneColour = {0x00030AFF, 0x00030AFF, 0x00808080, 0x00FFFFFF};
    const OnboardImage image = BuildOnboardImage(r);
    EXPECT_EQ(bytesAt(image, 0x017, 4), (std::vector<uint8_t>{63, 2, 0, 6}));
    EXPECT_EQ(bytesAt(image, 0x01B, 4), (std::vector<uint8_t>{63, 63, 63, 6}));
    EXPECT_EQ(image.bytes[0x020], 25);
    EXPECT_EQ(bytesAt(image, 0x021, 4), (std::vector<uint8_t>{255, 10, 3, 6}));
    for (size_t at : {0x025, 0x029, 0x02D})
        EXPECT_EQ(bytesAt(image, at, 4), (std::vector<uint8_t>{128, 128, 128, 6}));

    r.lightingMode = 0x01; // only zone 0 on
    r.brightnessLevel = 9; // unknown levels are full brightness
    const OnboardImage second = BuildOnboardImage(r);
    EXPECT_EQ(bytesAt(second, 0x017, 3), (std::vector<uint8_t>{255, 10, 3}));
    EXPECT_EQ(bytesAt(second, 0x01B, 4), (std::vector<uint8_t>{0, 0, 0, 6}));
    EXPECT_EQ(second.bytes[0x020], 100);
}

TEST(OnboardImage, ButtonEntries)
{
    struct Case {
        uint8_t function;
        int16_t param;
        uint8_t type, value;
    } cases[] = {
        {FnSingleKey, 65, 0x02, 0x04}, {FnSingleKey, 112, 0x02, 0x3A}, {FnProfileRoll, 0, 0x08, 0xF1},
        {FnScrollDown, 0, 0x01, 0xFF}, {FnDisable, 0, 0xFF, 0x00},     {FnEncoded32, 0, 0x09, 0xF3},
        {20, 0, 0x00, 0x00},
    };
    for (const Case &c : cases) {
        ProfileRecord r;
        r.buttons[4].function = c.function;
        r.buttons[4].param = c.param;
        const OnboardImage image = BuildOnboardImage(r);
        EXPECT_EQ(bytesAt(image, 0x081, 7), (std::vector<uint8_t>{c.type, c.value, 0, 0, 0, 0, 0x0F}))
            << "function " << int(c.function);
        EXPECT_EQ(bytesAt(image, 0x09D, 14), std::vector<uint8_t>(14, 0));
    }
}

TEST(OnboardImage, MacroData)
{
    ProfileRecord r;
    assignMacro(r, 2, 40, {key(65, 0, 0), key(65, 1, 300)});
    assignMacro(r, 5, 41, {key(65, 0, 0), {0x10, 1, 0, 0x123456}}); // presses only; a mouse code passes unchanged
    OnboardImage image = BuildOnboardImage(r);
    ASSERT_TRUE(image.fits);
    EXPECT_EQ(bytesAt(image, 0x073, 7), (std::vector<uint8_t>{0x03, 0x00, 0x20, 0x03, 0x02, 0x00, 0x0F}));
    EXPECT_EQ(bytesAt(image, 0x320, 21), (std::vector<uint8_t>{1, 4, 0, 0, 0, 0, 0, 1, 4, 0, 1, 0x2C, 1, 0,
                                                                0, 0, 0, 0, 0, 0, 0}));
    // The second macro follows the first one's seven zero bytes.
    EXPECT_EQ(bytesAt(image, 0x088, 7), (std::vector<uint8_t>{0x03, 0xFE, 0x35, 0x03, 0x02, 0x00, 0x0F}));
    EXPECT_EQ(bytesAt(image, 0x335, 14), (std::vector<uint8_t>{1, 4, 0, 0, 0, 0, 0, 0x10, 1, 0, 0, 0x56, 0x34, 0x12}));

    // A macro whose id does not match the assignment is empty.
    r.buttonMacros[2].macroId = 99;
    image = BuildOnboardImage(r);
    EXPECT_EQ(bytesAt(image, 0x073, 7), (std::vector<uint8_t>{0x03, 0xFE, 0x20, 0x03, 0x00, 0x00, 0x0F}));
    EXPECT_EQ(bytesAt(image, 0x088, 7), (std::vector<uint8_t>{0x03, 0xFE, 0x27, 0x03, 0x02, 0x00, 0x0F}));
}

TEST(OnboardImage, OverflowingMacrosRefuseTheImage)
{
    // 128 events use 903 bytes, so two long macros cannot share 1248 bytes;
    // events beyond 128 are not used at all.
    ProfileRecord r;
    assignMacro(r, 0, 20, std::vector<CMacroEvent>(500, key(66, 1, 10)));
    OnboardImage image = BuildOnboardImage(r);
    ASSERT_TRUE(image.fits);
    EXPECT_EQ(bytesAt(image, 0x065, 7), (std::vector<uint8_t>{0x03, 0x00, 0x20, 0x03, 128, 0x00, 0x0F}));

    assignMacro(r, 3, 21, std::vector<CMacroEvent>(128, key(66, 0, 10)));
    image = BuildOnboardImage(r);
    EXPECT_FALSE(image.fits);
    EXPECT_EQ(image.overflowButtons, std::vector<int>{3});

    // Exactly full is fine: 903 + 7 × (49 + 1) = 1253 > 1248, 48 events fit.
    r.buttonMacros[3].events.resize(48);
    EXPECT_TRUE(BuildOnboardImage(r).fits);
    r.buttonMacros[3].events.resize(49);
    EXPECT_FALSE(BuildOnboardImage(r).fits);
}

TEST(OnboardImage, NameInWindows1252)
{
    struct Case {
        QString name;
        QByteArray stored;
        bool truncated;
    } cases[] = {
        {QStringLiteral("Caf\u00E9 \u20AC5"), QByteArray("Caf\xE9 \x80" "5"), false},
        {QStringLiteral("\u0416\u4E2D"), QByteArray("??"), false},
        {QString::fromUcs4(U"a\U0001F600b"), QByteArray("a?b"), false},
        {QStringLiteral("abcdefghijklmnopq"), QByteArray("abcdefghijklmno"), true},
        {QStringLiteral("\u0152\u0153\u0178\u2122"), QByteArray("\x8C\x9C\x9F\x99"), false},
    };
    for (const Case &c : cases) {
        ProfileRecord r;
        r.name = c.name;
        const OnboardImage image = BuildOnboardImage(r);
        EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(image.bytes.data() + 1)), c.stored) << c.name.toStdString();
        EXPECT_EQ(image.nameTruncated, c.truncated);
        EXPECT_EQ(image.bytes[0x010], 0); // always terminated
    }
}

TEST(OnboardImage, UploadIntoTheRecordsSlot)
{
    test::FakeClock clock;
    vmouse::VirtualMouse mouse(clock);
    auto backend = vmouse::makeInProcessBackend(mouse);
    program::ProgramDevice device(*backend, clock);
    ASSERT_TRUE(device.open());

    ProfileRecord r;
    r.slotIndex = 4;
    r.name = QStringLiteral("Arena");
    EXPECT_EQ(UploadProfile(device, r), UploadDone);
    EXPECT_EQ(mouse.slot(4), BuildOnboardImage(r).bytes);

    // Too large: nothing is sent and the slot keeps its image.
    mouse.clearLog();
    assignMacro(r, 0, 20, std::vector<CMacroEvent>(128, key(66, 1, 10)));
    assignMacro(r, 1, 21, std::vector<CMacroEvent>(128, key(66, 1, 10)));
    r.name = QStringLiteral("Changed");
    EXPECT_EQ(UploadProfile(device, r), UploadImageTooLarge);
    EXPECT_TRUE(mouse.logLines().empty());
    EXPECT_EQ(mouse.slot(4)[1], 'A');
}
