#include "profile/profile_record.h"

#include <gtest/gtest.h>

TEST(ProfileRecord, ConstructsWithFactoryDefaults)
{
    ProfileRecord r;
    EXPECT_EQ(r.name, "profile");
    EXPECT_EQ(r.enabled, 1);
    EXPECT_EQ(r.marker, 179);
    EXPECT_EQ(r.pollingCode, 1);
    EXPECT_EQ(r.doubleClickSpeed, 800);
    EXPECT_EQ(r.dpiStageCount, 5);
    EXPECT_EQ(r.dpiStageCurrent, 2);
    EXPECT_EQ(r.dpiStage[4], (DpiStage{19000, 19000}));
    EXPECT_EQ(r.pointerSpeed, 6);
    EXPECT_EQ(r.lightingMode, 0x10);
    EXPECT_EQ(r.zoneColour[3], 0x00FFFF00u);
    EXPECT_EQ(r.pickerColour, 255u);
    const uint8_t factory[9] = {0, 1, 2, 3, 4, 5, 6, 3, 4};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(r.buttons[i], (ButtonAssignment{uint8_t(i), factory[i], 0, factory[i]})) << i;
        EXPECT_EQ(r.buttonMacros[i], ButtonMacro{});
    }
}

TEST(ProfileRecord, ResetKeepsPathReservedFieldsAndMacros)
{
    ProfileRecord r;
    r.filePath = "/p/Default3.profile";
    r.slotIndex = 3;
    r.name = "Mine";
    r.accelerationIndex = 4;
    r.reservedA = 7;
    r.reservedB = 8;
    r.reservedC = 9;
    r.reservedD = 10;
    r.pickerColour = 1;
    r.buttons[2] = {2, FnMacro, 17, 2};
    r.buttonMacros[2] = {"M", 17, {{1, 65, 0, 5}, {1, 65, 1, 5}}};

    r.resetToDefaults();

    ProfileRecord expected;
    expected.filePath = "/p/Default3.profile";
    expected.reservedB = 8;
    expected.reservedC = 9;
    expected.reservedD = 10;
    expected.buttonMacros[2] = {"M", 17, {{1, 65, 0, 5}, {1, 65, 1, 5}}};
    EXPECT_EQ(r, expected);
}

TEST(ProfileRecord, MacroNameOfButton)
{
    ProfileRecord r;
    r.buttonMacros[4].name = "Combo";
    EXPECT_EQ(r.macroName({4, FnMacro, 16, 4}), "Combo");
    EXPECT_EQ(r.macroName({9, FnMacro, 16, 4}), "");
}

TEST(ProfileRecord, AttachMacroWithoutCopyFallsBackToFactoryFunction)
{
    ProfileRecord r;
    r.buttonMacros[1] = {"Old", 20, {{1, 66, 0, 0}}};
    ButtonAssignment &b = r.buttons[1];
    b.function = FnMacro;
    b.param = 20;
    r.attachMacro(std::nullopt, b);
    EXPECT_EQ(b.function, 1);
    EXPECT_EQ(b.param, 0);
    EXPECT_EQ(r.buttonMacros[1], (ButtonMacro{"Old", 20, {{1, 66, 0, 0}}}));
}

TEST(ProfileRecord, AttachMacroReplacesOnlyForMacroFunction)
{
    ProfileRecord r;
    ButtonMacro copy{"New", 21, {{0x10, 1, 0, 3}}};
    r.buttons[5].function = FnDpiUp;
    r.attachMacro(copy, r.buttons[5]);
    EXPECT_EQ(r.buttonMacros[5], ButtonMacro{});
    r.buttons[5].function = FnMacro;
    r.buttons[5].param = 21;
    r.attachMacro(copy, r.buttons[5]);
    EXPECT_EQ(r.buttonMacros[5], copy);
}

TEST(ProfileRecord, CopiesAreDeep)
{
    ProfileRecord a;
    a.buttonMacros[0].events.push_back({1, 65, 0, 1});
    ProfileRecord b = a;
    b.buttonMacros[0].events[0].delay = 99;
    EXPECT_EQ(a.buttonMacros[0].events[0].delay, 1);
}
