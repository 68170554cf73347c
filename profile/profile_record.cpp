#include "profile/profile_record.h"

std::array<DpiStage, kDpiStageCount> ProfileRecord::defaultDpiStages()
{
    return {{{400, 400}, {800, 800}, {1600, 1600}, {3200, 3200}, {19000, 19000}}};
}

std::array<ButtonAssignment, kButtonCount> ProfileRecord::defaultButtons()
{
    static constexpr uint8_t factory[kButtonCount] = {0, 1, 2, 3, 4, 5, 6, 3, 4};
    std::array<ButtonAssignment, kButtonCount> buttons{};
    for (int i = 0; i < kButtonCount; ++i)
        buttons[i] = {static_cast<uint8_t>(i), factory[i], 0, factory[i]};
    return buttons;
}

void ProfileRecord::resetToDefaults()
{
    ProfileRecord fresh;
    // Keep what a reset leaves alone, then take everything else from a new record.
    fresh.filePath = std::move(filePath);
    fresh.reservedB = reservedB;
    fresh.reservedC = reservedC;
    fresh.reservedD = reservedD;
    fresh.buttonMacros = std::move(buttonMacros);
    *this = std::move(fresh);
}

QString ProfileRecord::macroName(const ButtonAssignment &assignment) const
{
    if (assignment.buttonIndex >= kButtonCount)
        return {};
    return buttonMacros[assignment.buttonIndex].name;
}

void ProfileRecord::attachMacro(std::optional<ButtonMacro> copy, ButtonAssignment &assignment)
{
    if (!copy) {
        assignment.function = assignment.defaultFunction;
        assignment.param = 0;
        return;
    }
    if (assignment.function == FnMacro && assignment.buttonIndex < kButtonCount)
        buttonMacros[assignment.buttonIndex] = std::move(*copy);
}
