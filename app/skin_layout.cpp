#include "app/skin_layout.h"

namespace vela::skin {
namespace {

using K = Kind;

constexpr QRect cutAt(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

// Main window, 1024 x 576. Images from the Main sheets (ids 1-21).
constexpr Control kMain[] = {
    {1000, K::Tab, {176, 29, 126, 18}, u"Mouse Settings", u"Mouse Settings", 1},
    {1001, K::Tab, {316, 29, 171, 18}, u"Sensor Performance", u"Sensor Performance", 2},
    {1002, K::Tab, {500, 29, 126, 18}, u"Color Settings", u"Color Settings", 3},
    {1003, K::Tab, {641, 29, 128, 18}, u"Macro Settings", u"Macro Settings", 4},
    {1004, K::Tab, {781, 29, 71, 18}, u"Support", u"Support", 5},
    {1007, K::ProfileButton, {310, 65, 55, 16}, u"Profile1", {}, 6},
    {1008, K::ProfileButton, {400, 65, 56, 16}, u"Profile2", {}, 7},
    {1009, K::ProfileButton, {492, 65, 56, 16}, u"Profile3", {}, 8},
    {1010, K::ProfileButton, {583, 65, 56, 16}, u"Profile4", {}, 9},
    {1011, K::ProfileButton, {674, 65, 56, 16}, u"Profile5", {}, 10},
    // Slot 3's menu button is as wide as the others (12), so its arrow matches.
    {1020, K::MenuButton, {293, 65, 12, 16}, u"1", {}, 11},
    {1019, K::MenuButton, {383, 65, 12, 16}, u"2", {}, 12},
    {1018, K::MenuButton, {475, 65, 12, 16}, u"3", {}, 13},
    {1017, K::MenuButton, {566, 65, 12, 16}, u"4", {}, 14},
    {1016, K::MenuButton, {657, 65, 12, 16}, u"5", {}, 15},
    {1031, K::Button, {19, 533, 119, 27}, u"Reset to Default", u"Reset to Default", 16},
    {1041, K::Button, {872, 531, 60, 27}, u"OK", u"OK", 17},
    {1042, K::Button, {948, 533, 58, 25}, u"Apply", u"Apply", 18},
    {1044, K::CloseButton, {1003, 5, 17, 17}, u"Cancel", {}, 19, {}, SwappedLooks},
    {1080, K::Label, {573, 557, 26, 11}, u"FirmwareVer", u"Version", 20},
};

// Mouse Settings page, 1024 x 427 (ids 24-49; the mouse picture is id 23).
constexpr Control kMouseSettings[] = {
    {1012, K::ComboButton, {104, 77, 202, 22}, u"Function1", u"Button 1", 24},
    {1021, K::ComboButton, {104, 107, 202, 22}, u"Function2", u"Button 2", 25},
    {1022, K::ComboButton, {104, 137, 202, 22}, u"Function3", u"Button 3", 26},
    {1023, K::ComboButton, {104, 167, 202, 22}, u"Function4", u"Button 4", 27},
    {1024, K::ComboButton, {104, 197, 202, 22}, u"Function5", u"Button 5", 28},
    {1025, K::ComboButton, {104, 227, 202, 22}, u"Function6", u"Button 6", 29},
    {1026, K::ComboButton, {104, 257, 202, 22}, u"Function7", u"Button 7", 30},
    {1028, K::CheckBox, {376, 399, 18, 18}, u"125", u"125 Hz", 31},
    {1027, K::CheckBox, {447, 399, 18, 18}, u"250", u"250 Hz", 32},
    {1029, K::CheckBox, {518, 399, 18, 18}, u"500", u"500 Hz", 33},
    {1030, K::CheckBox, {589, 399, 18, 18}, u"1000", u"1000 Hz", 34},
    {1014, K::Slider, {708, 78, 202, 21}, u"Double Click", {}, 35},
    {1015, K::Slider, {708, 168, 202, 21}, u"Scroll Speed", {}, 36},
    {1016, K::Slider, {801, 261, 136, 21}, u"Point Acceleration", {}, 37},
    {1040, K::Toggle, {705, 260, 44, 24}, u"Enable", {}, 38},
    // Drawn into the sheets; the page needs no control for it.
    {0, K::Picture, {355, 34, 300, 330}, {}, {}, 23},
};

// Sensor Performance page (ids 51-61 and 63-81; 62 does not exist).
constexpr Control kSensor[] = {
    {1022, K::Slider, {84, 91, 708, 23}, u"Xaxis", {}, 51},
    {1101, K::MenuButton, {90, 151, 18, 17}, u"DPI Steps", {}, 52},
    {1107, K::Edit, {337, 150, 45, 21}, {}, {}, 53},
    {1108, K::Edit, {427, 149, 46, 22}, {}, {}, 54},
    {1109, K::Edit, {520, 149, 46, 22}, {}, {}, 55},
    {1110, K::Edit, {612, 149, 46, 22}, {}, {}, 56},
    {1094, K::Edit, {704, 149, 46, 22}, {}, {}, 57},
    {1025, K::Indicator, {297, 153, 37, 16}, u"dpi1", u"DPI 1", 58},
    {1028, K::Indicator, {389, 153, 36, 16}, u"dpi2", u"DPI 2", 59},
    {1029, K::Indicator, {482, 153, 37, 16}, u"dpi3", u"DPI 3", 60},
    {1030, K::Indicator, {574, 153, 37, 16}, u"dpi4", u"DPI 4", 61},
    {1031, K::Indicator, {666, 153, 36, 16}, u"dpi5", u"DPI 5", 63},
    {1024, K::Slider, {104, 254, 501, 21}, u"Point Speed", {}, 64},
    {1099, K::Toggle, {117, 335, 40, 23}, u"LOD", {}, 65},
    {1095, K::Toggle, {278, 335, 39, 23}, u"AngleSnap", {}, 66},
    {1100, K::Toggle, {437, 337, 41, 21}, u"Ripple Control", {}, 67},
    {1021, K::Button, {780, 364, 120, 27}, u"Analyze Surface", u"Analyze Surface", 68},
    {1026, K::Progress, {771, 254, 142, 104}, u"Quality Analyzer", {}, 69},
    {1027, K::Picture, {632, 282, 140, 85}, u"Surface", {}, 70},
};

// Color Settings page (ids 82-86, 88-128, 131; background 87, its cuts 130).
constexpr Control kColorSettings[] = {
    {1063, K::Radio, {94, 279, 19, 18}, u"Solid Color", u"Solid Color", 83},
    {1062, K::Radio, {94, 299, 19, 18}, u"Color Shift", u"Color Shift", 84},
    {1029, K::Radio, {94, 319, 19, 19}, u"Select", u"Select", 82},
    {1034, K::TargetButton, {202, 338, 19, 19}, u"1", {}, 88, {}, Optional},
    {1037, K::TargetButton, {203, 358, 18, 19}, u"4", {}, 89, {}, Optional},
    {1030, K::CheckBox, {250, 337, 19, 20}, u"Scroll Wheel", {}, 85, {}, Optional},
    {1033, K::CheckBox, {251, 358, 19, 19}, u"LogoType", {}, 86, {}, Optional},
    {1103, K::Decoration, {200, 318, 129, 17}, u"Static", u"Zones", 100},
    {1104, K::Decoration, {271, 341, 63, 38}, u"Static", u"Wheel\nLogo", 101},
    {1043, K::Radio, {95, 183, 17, 18}, u"Solid", u"Solid", 90},
    {1049, K::Radio, {95, 202, 18, 20}, u"Blinking", u"Blinking", 91},
    {1055, K::Radio, {184, 181, 18, 20}, u"Pulsating", u"Pulsating", 92},
    {1061, K::Radio, {185, 203, 17, 19}, u"Breathing", u"Breathing", 93},
    {1102, K::Slider, {86, 108, 134, 21}, u"brigtness", {}, 94},
    {1082, K::Edit, {773, 291, 29, 17}, {}, u"R", 95},
    {1083, K::Edit, {825, 291, 29, 17}, {}, u"G", 96},
    {1084, K::Edit, {877, 291, 29, 17}, {}, u"B", 97},
    {1113, K::Caption, {818, 322, 7, 15}, u"#", u"#", 98},
    {1087, K::Edit, {826, 322, 54, 15}, {}, {}, 99},
    {1085, K::Preview, {389, 23, 270, 369}, u"Mouse", {}, 129},
    // The colour picker draws itself; the art only frames its windows.
    {1112, K::Area, {749, 107, 143, 140}, u"Color Palete", {}, -1},
    {1106, K::Area, {897, 103, 40, 149}, {}, {}, -1},
    {1107, K::Area, {750, 320, 56, 17}, u"Static", {}, -1},
};

// Macro Settings page (ids 134-141; background 133).
constexpr Control kMacroSettings[] = {
    {1069, K::List, {98, 129, 200, 198}, u"Macro", {}, 134},
    {1070, K::List, {368, 129, 199, 197}, u"Events", {}, 135},
    {1064, K::Button, {91, 341, 83, 26}, u"New Macro", u"New Macro", 136},
    {1065, K::Button, {218, 341, 83, 26}, u"Delete", u"Delete", 137},
    {1066, K::CheckBox, {614, 124, 19, 21}, u"Record Delay", u"Record Delay", 138},
    {1071, K::CheckBox, {614, 155, 19, 19}, u"Record Hold", u"Record Hold", 139},
    // Both record buttons are cut wider than they sit; the art is drawn so it
    // looks right once squeezed into the button.
    {1067, K::Button, {614, 204, 84, 33}, u"Start Record", u"Start Record", 140,
     cutAt(594, 204, 698, 237)},
    {1068, K::Button, {614, 204, 84, 33}, u"Stop Record", u"Stop Record", 141,
     cutAt(594, 244, 698, 277), Optional},
};

// Support page (ids 143-148; background 142).
constexpr Control kSupport[] = {
    {1071, K::Button, {342, 201, 340, 53}, u"Online Support", u"Online Support", 143},
    {1072, K::Button, {559, 334, 116, 24}, u"Check Updates", u"Check Updates", 144},
    {1073, K::Button, {559, 304, 116, 23}, u"Check Firmware", u"Check Firmware", 145},
    {1086, K::Button, {140, 122, 124, 25}, u"FQA", u"FAQ", 146},
    {1081, K::Label, {500, 342, 28, 10}, u"Soft Version", u"Software Version", 147},
    {1082, K::Label, {500, 310, 28, 10}, u"Firm Version", u"Firmware Version", 148},
};

// Rename dialog, 404 x 190 (ids 163-166; background 162).
constexpr Control kRename[] = {
    {1072, K::Button, {269, 156, 58, 26}, u"OK", u"OK", 163},
    {1073, K::Button, {334, 155, 58, 27}, u"Cancel", u"Cancel", 164},
    {1074, K::CloseButton, {381, 4, 18, 17}, u"Close", {}, 165},
    {1075, K::Edit, {114, 43, 198, 16}, {}, u"Name", 166},
};

// Pop-ups (CPopDlg); the kind number is the id of the shared Normal sheet and
// the controls' ids follow it.
#define VELA_WARNING_POPUP(name, kind, okText)                                   \
    constexpr Control name[] = {                                                 \
        {1076, K::Button, {269, 156, 58, 26}, u"OK", okText, kind + 1},          \
        {1077, K::Button, {334, 155, 58, 27}, u"Cancel", u"Cancel", kind + 2},   \
        {1078, K::CloseButton, {381, 4, 18, 17}, u"Close", {}, kind + 3},        \
    };

VELA_WARNING_POPUP(kLeftClickWarn, 167, u"OK")
VELA_WARNING_POPUP(kDeleteMacro, 171, u"Delete")
VELA_WARNING_POPUP(kResetWarn, 188, u"Reset")
VELA_WARNING_POPUP(kUpdateWarn, 192, u"Update")
#undef VELA_WARNING_POPUP

constexpr Control kSensorSQAT1[] = {
    {1076, K::Button, {209, 155, 118, 27}, u"OK", u"Start Analysis", 176},
    {1077, K::Button, {333, 155, 65, 27}, u"Cancel", u"Cancel", 177},
    {1078, K::CloseButton, {379, 3, 19, 18}, u"Close", {}, 178},
};

constexpr Control kSensorSQAT2[] = {
    {1076, K::Button, {208, 155, 119, 27}, u"OK", u"Next", 180},
    {1077, K::Button, {333, 155, 59, 27}, u"Cancel", u"Cancel", 181},
    {1078, K::CloseButton, {379, 3, 19, 18}, u"Close", {}, 182},
    // Wider and taller than the template's 14 x 12, so "10" fits the font.
    {1079, K::Label, {288, 130, 24, 18}, u"Time", u"Time left", 183},
    {1080, K::Picture, {13, 50, 200, 110}, u"Image", {}, 184},
};

constexpr Control kSensorSQAT3[] = {
    {1076, K::Button, {270, 155, 119, 27}, u"OK", u"Show Result", 186},
    {1078, K::CloseButton, {379, 3, 19, 18}, u"Close", {}, 187},
};

constexpr Control kAssignKey[] = {
    {1076, K::Button, {269, 156, 58, 25}, u"OK", u"OK", 197},
    {1077, K::Button, {333, 155, 59, 26}, u"Cancel", u"Cancel", 198},
    {1078, K::CloseButton, {381, 4, 18, 17}, u"Close", {}, 199},
    // Wider than the template's 46, so long key names ("Right SHIFT ") fit.
    {1079, K::Label, {139, 99, 126, 17}, u"Time", u"Key", 200},
};

constexpr QSize kMainSize{1024, 576};
constexpr QSize kPageSize{1024, 427};
constexpr QSize kPopUpSize{404, 190};

using W = WindowId;
using F = SkinFamily;

constexpr Window kWindows[] = {
    {W::Main, u"Main", F::Main, kMainSize, 0, kMain},
    {W::MouseSettings, u"Mouse_Settings", F::MouseSettings, kPageSize, 22, kMouseSettings},
    {W::Sensor, u"Sensor_Performance", F::Sensor, kPageSize, 50, kSensor},
    {W::ColorSettings, u"Color_Settings", F::ColorSettings, kPageSize, 87, kColorSettings},
    {W::MacroSettings, u"Macro_Settings", F::MacroSettings, kPageSize, 133, kMacroSettings},
    {W::Support, u"Support", F::Support, kPageSize, 142, kSupport},
    {W::Rename, u"ReName", F::Rename, kPopUpSize, 162, kRename},
    {W::LeftClickWarn, u"LeftClickWarn", F::LeftClickWarn, kPopUpSize, 167, kLeftClickWarn},
    {W::DeleteMacro, u"DeleteMacro", F::DeleteMacro, kPopUpSize, 171, kDeleteMacro},
    {W::SensorSQAT1, u"SensorSQAT1", F::SensorSQAT1, kPopUpSize, 175, kSensorSQAT1},
    {W::SensorSQAT2, u"SensorSQAT2", F::SensorSQAT2, kPopUpSize, 179, kSensorSQAT2},
    {W::SensorSQAT3, u"SensorSQAT3", F::SensorSQAT3, kPopUpSize, 185, kSensorSQAT3},
    {W::ResetWarn, u"ResetWarn", F::ResetWarn, kPopUpSize, 188, kResetWarn},
    {W::UpdateWarn, u"UpdateWarn", F::UpdateWarn, kPopUpSize, 192, kUpdateWarn},
    {W::AssignKey, u"AssignKey", F::AssignKey, kPopUpSize, 196, kAssignKey},
};

} // namespace

std::span<const Window> windows()
{
    return kWindows;
}

const Window &window(WindowId id)
{
    return kWindows[static_cast<int>(id)];
}

const Window *popUpWindow(int kind)
{
    for (const Window &w : kWindows)
        if (w.id >= W::LeftClickWarn && w.backgroundSkinId == kind)
            return &w;
    return nullptr;
}

const Control *findControl(WindowId id, int controlId)
{
    for (const Control &c : window(id).controls)
        if (c.id == controlId && controlId != 0)
            return &c;
    return nullptr;
}

int sheetForLook(const Control &control, int look)
{
    if ((control.flags & SwappedLooks) && (look == 0 || look == 1))
        return 1 - look;
    return look;
}

QImage controlImage(const Control &control, int look)
{
    const QRect r = control.cutRect();
    return SkinLookup(control.skinId, sheetForLook(control, look), r.left(), r.top(), r.right() + 1,
                      r.bottom() + 1);
}

} // namespace vela::skin
