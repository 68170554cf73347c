#pragma once
// The in-memory profile: one record per on-board slot. Field order and widths
// are those the profile file and the on-board image use.
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// One macro event as a profile carries it (12 bytes in memory).
struct CMacroEvent {
    uint8_t kind = 0;    // 1 key, 0x10 mouse button, 0x11 wheel
    uint16_t code = 0;   // virtual-key code, button code (1, 2, 4, 166, 167) or wheel (151 up, 152 down)
    uint8_t upFlag = 0;  // 0 press, 1 release; wheel events carry 0
    int32_t delay = 0;   // milliseconds to wait before this event
    bool operator==(const CMacroEvent &) const = default;
};

// The copy of a library macro that travels with a profile. A value type, so
// copies are deep.
struct ButtonMacro {
    QString name;
    int32_t macroId = 0;
    std::vector<CMacroEvent> events;
    bool operator==(const ButtonMacro &) const = default;
};

// Button function codes.
enum ButtonFunction : uint8_t {
    FnLeftClick = 0,
    FnRightClick = 1,
    FnScrollClick = 2,
    FnForward = 3,
    FnBack = 4,
    FnDpiUp = 5,
    FnDpiDown = 6,
    FnDpiRoll = 7,
    FnProfileRoll = 8,
    FnProfileUp = 9,
    FnProfileDown = 10,
    FnScrollUp = 11,
    FnScrollDown = 12,
    FnSingleKey = 13,
    FnMacro = 14,
    FnDisable = 15,
    FnEncoded32 = 32,
};

struct ButtonAssignment {
    uint8_t buttonIndex = 0;
    uint8_t function = 0;
    int16_t param = 0;           // key code for 13, macro id for 14, else 0
    uint8_t defaultFunction = 0; // factory function; not stored in files
    bool operator==(const ButtonAssignment &) const = default;
};

struct DpiStage {
    int16_t x = 0;
    int16_t y = 0;
    bool operator==(const DpiStage &) const = default;
};

constexpr int kButtonCount = 9;
constexpr int kDpiStageCount = 5;
constexpr int kZoneCount = 4;

struct ProfileRecord {
    QString filePath;
    int32_t enabled = 1;
    QString name = QStringLiteral("profile");
    uint8_t slotIndex = 0;
    uint16_t marker = 179;
    uint16_t pollingCode = 1;
    int16_t doubleClickSpeed = 800;
    int16_t scrollLines = 2;
    int32_t scrollByLines = 1;
    int32_t scrollByPage = 0;
    int32_t enhancePrecision = 0;
    int16_t accelerationIndex = 1;
    uint8_t dpiStageCount = 5;
    uint8_t dpiStageCurrent = 2;
    int32_t dpiStageFlag = 0;
    int32_t reservedA = 0;
    std::array<DpiStage, kDpiStageCount> dpiStage = defaultDpiStages();
    uint8_t pointerSpeed = 6;
    int32_t liftOffDistance = 1;
    int16_t surfaceQuality = 0;
    int32_t reservedB = 0;
    int32_t reservedC = 0;
    uint8_t reservedD = 0;
    int32_t angleSnapOff = 0;
    int32_t rippleOff = 0;
    int32_t brightnessLevel = 5;
    int32_t lightingMode = 0x10;
    int32_t lightingEffect = 1;
    std::array<uint32_t, kZoneCount> zoneColour = {0x00FFFF00, 0x00FFFF00, 0x00FFFF00, 0x00FFFF00};
    uint32_t pickerColour = 255;
    std::array<ButtonAssignment, kButtonCount> buttons = defaultButtons();
    std::array<ButtonMacro, kButtonCount> buttonMacros;

    bool operator==(const ProfileRecord &) const = default;

    // Fields 2-20, 24-30 and the nine assignments back to their defaults;
    // filePath, the three file-only reserved fields and the macros stay.
    void resetToDefaults();

    // Name of the macro a button plays; empty when buttonIndex is above 8.
    QString macroName(const ButtonAssignment &assignment) const;

    // Used when a button with function 14 is written. Without a copy (the
    // library has no macro with that id) the assignment falls back to its
    // factory function; with one, while the function is 14, the copy replaces
    // the button's macro.
    void attachMacro(std::optional<ButtonMacro> copy, ButtonAssignment &assignment);

    static std::array<DpiStage, kDpiStageCount> defaultDpiStages();
    static std::array<ButtonAssignment, kButtonCount> defaultButtons();
};
