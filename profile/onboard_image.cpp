#include "profile/onboard_image.h"

#include "device/wire.h"

#include <QList>

#include <algorithm>

namespace {

using vela::wire::PutU16;

// Windows-1252 bytes 0x80-0x9F; 0 where the code page has no character.
constexpr char16_t kHighHalf[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char toCp1252(char32_t c)
{
    if ((c >= 0x01 && c < 0x80) || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < 32; ++i)
        if (kHighHalf[i] && kHighHalf[i] == c)
            return char(0x80 + i);
    return '?';
}

struct Colour {
    uint8_t red, green, blue;
};

// zoneColour keeps red in its lowest byte, then green, then blue.
Colour zoneColour(const ProfileRecord &record, int zone, int percent, bool scaled)
{
    if (!(record.lightingMode & (1 << zone)))
        return {0, 0, 0};
    const uint32_t c = record.zoneColour[zone];
    Colour colour{uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)};
    if (scaled) {
        // Truncating: 255 at 25 % is 63. The factors are exact in binary,
        // so integer maths gives the same bytes.
        colour.red = uint8_t(colour.red * percent / 100);
        colour.green = uint8_t(colour.green * percent / 100);
        colour.blue = uint8_t(colour.blue * percent / 100);
    }
    return colour;
}

void putColour(uint8_t *out, Colour colour, uint8_t effect)
{
    out[0] = colour.red;
    out[1] = colour.green;
    out[2] = colour.blue;
    out[3] = effect;
}

struct TypeValue {
    uint8_t type, value;
};

TypeValue buttonTypeValue(uint8_t function, int16_t param)
{
    switch (function) {
    case FnLeftClick:
        return {0x00, 0x01};
    case FnRightClick:
        return {0x00, 0x02};
    case FnScrollClick:
        return {0x00, 0x04};
    case FnForward:
        return {0x00, 0x10};
    case FnBack:
        return {0x00, 0x08};
    case FnDpiUp:
        return {0x09, 0xF0};
    case FnDpiDown:
        return {0x09, 0xF2};
    case FnDpiRoll:
        return {0x09, 0xF1};
    case FnProfileRoll:
        return {0x08, 0xF1};
    case FnProfileUp:
        return {0x08, 0xF0};
    case FnProfileDown:
        return {0x08, 0xF2};
    case FnScrollUp:
        return {0x01, 0x01};
    case FnScrollDown:
        return {0x01, 0xFF};
    case FnSingleKey:
        // The entry has one byte for the usage.
        return {0x02, uint8_t(vela::wire::VirtualKeyToHid(uint16_t(param)))};
    case FnMacro:
        return {0x03, 0x00}; // value set from the macro's events
    case FnDisable:
        return {0xFF, 0x00};
    case FnEncoded32:
        return {0x09, 0xF3};
    default:
        return {0x00, 0x00};
    }
}

} // namespace

QByteArray ToWindows1252(const QString &text, int maxBytes, bool *truncated)
{
    QByteArray out;
    bool cut = false;
    for (char32_t c : text.toUcs4()) {
        if (out.size() >= maxBytes) {
            cut = true;
            break;
        }
        out.append(toCp1252(c));
    }
    if (truncated)
        *truncated = cut;
    return out;
}

OnboardImage BuildOnboardImage(const ProfileRecord &r)
{
    OnboardImage image;
    uint8_t *b = image.bytes.data();

    b[0x000] = r.slotIndex;
    const QByteArray name = ToWindows1252(r.name, 15, &image.nameTruncated);
    std::copy(name.begin(), name.end(), b + 0x001);
    b[0x012] = 0x08; // image size 0x00000800
    b[0x015] = uint8_t(r.pollingCode);
    b[0x016] = uint8_t(r.enabled);

    int percent = 100;
    switch (r.brightnessLevel) {
    case 1:
        percent = 0;
        break;
    case 2:
        percent = 25;
        break;
    case 3:
        percent = 50;
        break;
    case 4:
        percent = 75;
        break;
    default:
        break;
    }
    const uint8_t effect = uint8_t(r.lightingEffect);
    putColour(b + 0x017, zoneColour(r, 0, percent, true), effect);
    putColour(b + 0x01B, zoneColour(r, 3, percent, true), effect);
    b[0x020] = uint8_t(percent);
    putColour(b + 0x021, zoneColour(r, 1, percent, false), effect);
    for (size_t at : {0x025, 0x029, 0x02D})
        putColour(b + at, zoneColour(r, 2, percent, false), effect);

    b[0x032] = r.dpiStageCurrent;
    const size_t stageAt[kDpiStageCount] = {0x033, 0x03C, 0x051, 0x05B, 0x060};
    for (int k = 0; k < kDpiStageCount; ++k) {
        b[stageAt[k]] = uint8_t(r.dpiStageFlag);
        PutU16(b + stageAt[k] + 1, uint16_t(r.dpiStage[k].x));
        PutU16(b + stageAt[k] + 3, uint16_t(r.dpiStage[k].x)); // the Y slot takes X too
    }
    b[0x056] = r.dpiStageCount;
    b[0x046] = uint8_t(r.liftOffDistance);
    b[0x047] = uint8_t(r.angleSnapOff);
    b[0x057] = uint8_t(r.reservedA);
    b[0x058] = uint8_t(r.rippleOff);

    size_t offset = kMacroAreaStart;
    for (int button = 0; button < 7; ++button) {
        const ButtonAssignment &a = r.buttons[button];
        uint8_t *entry = b + 0x065 + vela::wire::kEntrySize * button;
        TypeValue tv = buttonTypeValue(a.function, a.param);
        uint16_t count = 0;
        uint16_t macroOffset = 0;
        if (a.function == FnMacro) {
            const std::vector<CMacroEvent> *events = nullptr;
            if (a.buttonIndex < kButtonCount && r.buttonMacros[a.buttonIndex].macroId == a.param)
                events = &r.buttonMacros[a.buttonIndex].events;
            count = events ? uint16_t(std::min(events->size(), kMaxMacroEvents)) : 0;
            const bool hasRelease =
                events && std::any_of(events->begin(), events->begin() + count, [](const CMacroEvent &e) { return e.upFlag == 1; });
            tv.value = hasRelease ? 0x00 : 0xFE;
            const size_t size = vela::wire::kEventSize * (count + 1);
            if (offset + size > kOnboardImageSize) {
                image.fits = false;
                image.overflowButtons.push_back(button);
                count = 0;
            } else {
                for (uint16_t i = 0; i < count; ++i) {
                    const CMacroEvent &e = (*events)[i];
                    vela::wire::PutEvent(b + offset + vela::wire::kEventSize * i,
                                         {e.kind, vela::wire::VirtualKeyToHid(e.code), e.upFlag, uint32_t(e.delay)});
                }
                macroOffset = uint16_t(offset);
                offset += size; // the seven zero bytes after the events are already zero
            }
        }
        vela::wire::PutEntry(entry, {tv.type, tv.value, macroOffset, count});
    }
    // Buttons 7 and 8 stay all zero.
    return image;
}

uint8_t UploadProfile(vela::program::ProgramDevice &device, const ProfileRecord &record)
{
    const OnboardImage image = BuildOnboardImage(record);
    if (!image.fits)
        return UploadImageTooLarge;
    return device.uploadImage(record.slotIndex, image.bytes);
}
