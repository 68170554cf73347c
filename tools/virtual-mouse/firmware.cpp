#include "tools/virtual-mouse/firmware.h"
#include "tools/virtual-mouse/bootloader.h"

#include <algorithm>
#include <cstring>

namespace vela::vmouse {
namespace {

constexpr uint8_t kStatusOk = 1;
constexpr uint8_t kStatusRefused = 2;
constexpr uint8_t kCommandId = 0xA1;
constexpr uint8_t kLongId = 0xA0;

// Where the library's settings block keeps each setting.
enum SettingsOffset : size_t {
    kProfileSetting = 0,
    kPollingCode = 1,
    kResponseTime = 2,
    kAngleSnapping = 3,
    kLiftOff = 4,
    kDpiSettings = 5,    // two bytes
    kDpiValues = 7,      // ten uint16
    kSensorSettings = 27, // four bytes of Reset_sensor_settings, kept for nobody
    kLightingMode = 31,
    kLightingBlock = 32, // 24 bytes
    kBrightness = 56,
    kLightingValue2 = 57,
    kLightingValue3 = 58,
    kButtonEntries = 65, // six entries of seven bytes
};
constexpr size_t kEntrySize = 7;

void putEntry(LibraryProfile &profile, size_t button, std::array<uint8_t, kEntrySize> entry)
{
    std::copy(entry.begin(), entry.end(), profile.settings.begin() + kButtonEntries + kEntrySize * (button - 1));
}

// Profile number 1-5 of a command (byte 5) as an index, or -1.
int profileIndex(const uint8_t *report)
{
    return report[5] >= 1 && report[5] <= kSlotCount ? report[5] - 1 : -1;
}

bool validButton(uint8_t button)
{
    return button >= 1 && button <= kLibraryButtons;
}

uint8_t versionCommand(Firmware &f, const uint8_t *, size_t, Reply &reply)
{
    reply[16] = uint8_t(f.state().firmwareVersion);
    reply[17] = uint8_t(f.state().firmwareVersion >> 8);
    reply[18] = uint8_t(f.state().bootloaderVersion);
    reply[19] = uint8_t(f.state().bootloaderVersion >> 8);
    return kStatusOk;
}

uint8_t getActiveCommand(Firmware &f, const uint8_t *, size_t, Reply &reply)
{
    reply[16] = f.state().activeSlot;
    return kStatusOk;
}

uint8_t setActiveCommand(Firmware &f, const uint8_t *report, size_t, Reply &)
{
    if (report[5] >= kSlotCount)
        return kStatusRefused;
    f.state().activeSlot = report[5];
    f.persistentChanged = true;
    return kStatusOk;
}

uint8_t surfaceCommand(Firmware &f, const uint8_t *report, size_t, Reply &reply)
{
    switch (report[2]) {
    case 0x01:
        f.state().surfaceStarted = true;
        return kStatusOk;
    case 0x02:
        reply[16] = f.state().surfaceScore;
        return kStatusOk;
    default:
        return kStatusRefused;
    }
}

uint8_t uploadCommand(Firmware &f, const uint8_t *report, size_t size, Reply &)
{
    const uint8_t slot = report[5];
    const uint8_t chunk = report[6];
    if (size < kLongReportSize || slot >= kSlotCount || chunk > 1)
        return kStatusRefused;
    std::memcpy(f.state().slotImages[slot].data() + chunk * kBlockSize, report + 16, kBlockSize);
    f.persistentChanged = true;
    return kStatusOk;
}

uint8_t buttonCommand(Firmware &f, const uint8_t *report, size_t, Reply &)
{
    const int p = profileIndex(report);
    if (p < 0 || report[2] != 0x00 || !validButton(report[6]))
        return kStatusRefused;
    std::array<uint8_t, kEntrySize> entry;
    std::copy(report + 16, report + 16 + kEntrySize, entry.begin());
    putEntry(f.state().profiles[p], report[6], entry);
    return kStatusOk;
}

uint8_t blockWriteCommand(Firmware &f, const uint8_t *report, size_t size, Reply &)
{
    const int p = profileIndex(report);
    if (size < kLongReportSize || p < 0 || !validButton(report[2]))
        return kStatusRefused;
    uint16_t sum = 0;
    for (size_t i = 0; i < kBlockSize; ++i)
        sum = uint16_t(sum + report[16 + i]);
    if (sum != uint16_t(report[7] | report[8] << 8))
        return kStatusRefused;
    std::memcpy(f.state().profiles[p].blocks[report[2] - 1].data(), report + 16, kBlockSize);
    return kStatusOk;
}

uint8_t blockReadCommand(Firmware &f, const uint8_t *report, size_t, Reply &reply)
{
    const int p = profileIndex(report);
    if (p < 0 || !validButton(report[2]))
        return kStatusRefused;
    std::memcpy(reply.data() + 16, f.state().profiles[p].blocks[report[2] - 1].data(), kBlockSize);
    return kStatusOk;
}

uint8_t profileCommand(Firmware &f, const uint8_t *report, size_t, Reply &reply)
{
    FirmwareState &s = f.state();
    const int p = profileIndex(report);
    switch (report[2]) {
    case 0x01: // reset profile to its defaults
        if (p < 0)
            return kStatusRefused;
        s.profiles[p] = defaultLibraryProfile();
        return kStatusOk;
    case 0x02: // sync: accepted for 1-6, nothing to do in a model
        return report[5] >= 1 && report[5] <= 6 ? kStatusOk : kStatusRefused;
    case 0x03:
        reply[16] = uint8_t(s.activeSlot + 1);
        return kStatusOk;
    case 0x04:
        if (p < 0)
            return kStatusRefused;
        s.activeSlot = uint8_t(p);
        f.persistentChanged = true;
        return kStatusOk;
    case 0x05:
    case 0x06:
        if (p < 0)
            return kStatusRefused;
        s.profiles[p].present = report[2] == 0x05;
        return kStatusOk;
    case 0x07:
        if (p < 0)
            return kStatusRefused;
        std::memcpy(reply.data() + 16, s.profiles[p].settings.data(), kBlockSize);
        return kStatusOk;
    case 0x09:
        reply[16] = uint8_t(std::count_if(s.profiles.begin(), s.profiles.end(),
                                          [](const LibraryProfile &profile) { return profile.present; }));
        return kStatusOk;
    case 0x0A: {
        const int target = report[6] >= 1 && report[6] <= kSlotCount ? report[6] - 1 : -1;
        if (p < 0 || target < 0)
            return kStatusRefused;
        s.profiles[target] = s.profiles[p];
        return kStatusOk;
    }
    default:
        return kStatusRefused;
    }
}

uint8_t lightingCommand(Firmware &f, const uint8_t *report, size_t, Reply &)
{
    const int p = profileIndex(report);
    if (p < 0 || report[2] != 0x00)
        return kStatusRefused;
    auto &settings = f.state().profiles[p].settings;
    settings[kLightingMode] = report[16];
    std::memcpy(settings.data() + kLightingBlock, report + 17, 24);
    settings[kBrightness] = report[41];
    settings[kLightingValue2] = report[42];
    settings[kLightingValue3] = report[43];
    return kStatusOk;
}

uint8_t sensorCommand(Firmware &f, const uint8_t *report, size_t, Reply &)
{
    const int p = profileIndex(report);
    if (p < 0)
        return kStatusRefused;
    auto &settings = f.state().profiles[p].settings;
    switch (report[2]) {
    case 0x01:
        settings[kPollingCode] = report[6];
        return kStatusOk;
    case 0x02:
        settings[kResponseTime] = report[6];
        return kStatusOk;
    case 0x03:
        settings[kAngleSnapping] = report[6];
        return kStatusOk;
    case 0x04:
        settings[kLiftOff] = report[6];
        return kStatusOk;
    case 0x0A:
        settings[kDpiSettings] = report[6];
        settings[kDpiSettings + 1] = report[7];
        std::memcpy(settings.data() + kDpiValues, report + 16, 20);
        return kStatusOk;
    case 0x0F:
        std::memcpy(settings.data() + kSensorSettings, report + 16, 4);
        settings[kDpiSettings] = report[20];
        settings[kDpiSettings + 1] = report[21];
        std::memcpy(settings.data() + kDpiValues, report + 22, 20);
        return kStatusOk;
    default:
        return kStatusRefused;
    }
}

uint8_t factoryCommand(Firmware &f, const uint8_t *report, size_t, Reply &)
{
    if (report[2] != 0x00)
        return kStatusRefused;
    FirmwareState &s = f.state();
    for (auto &profile : s.profiles)
        profile = defaultLibraryProfile();
    s.activeSlot = 0;
    f.persistentChanged = true;
    return kStatusOk;
}

} // namespace

LibraryProfile defaultLibraryProfile()
{
    LibraryProfile profile;
    auto &s = profile.settings;
    s[kProfileSetting] = 1;
    s[kPollingCode] = 1; // 1000 Hz
    s[kResponseTime] = 4;
    s[kLiftOff] = 1;
    const uint16_t dpi[5] = {400, 800, 1600, 3200, 6400};
    for (int k = 0; k < 5; ++k)
        for (int axis = 0; axis < 2; ++axis) {
            s[kDpiValues + 4 * k + 2 * axis] = uint8_t(dpi[k]);
            s[kDpiValues + 4 * k + 2 * axis + 1] = uint8_t(dpi[k] >> 8);
        }
    s[kLightingMode] = 1;
    s[kBrightness] = 100;
    s[kLightingValue2] = 1;
    s[kLightingValue3] = 1;
    // Left, right, middle, forward, back, DPI cycle.
    putEntry(profile, 1, {0x00, 0x01, 0, 0, 0, 0, 0x0F});
    putEntry(profile, 2, {0x00, 0x02, 0, 0, 0, 0, 0x0F});
    putEntry(profile, 3, {0x00, 0x04, 0, 0, 0, 0, 0x0F});
    putEntry(profile, 4, {0x00, 0x10, 0, 0, 0, 0, 0x0F});
    putEntry(profile, 5, {0x00, 0x08, 0, 0, 0, 0, 0x0F});
    putEntry(profile, 6, {0x09, 0xF1, 0, 0, 0, 0, 0x0F});
    return profile;
}

FirmwareState defaultFirmwareState()
{
    FirmwareState state;
    for (auto &profile : state.profiles)
        profile = defaultLibraryProfile();
    return state;
}

Firmware::Firmware()
{
    reply_[1] = kStatusOk;
    addNormalModeCommands(*this);
    addBootloaderCommands(*this);
}

void Firmware::addHandler(Mode mode, uint8_t reportId, uint8_t command, Handler handler)
{
    handlers_[{mode, reportId, command}] = std::move(handler);
}

void Firmware::onSetFeature(Mode mode, const uint8_t *report, size_t size)
{
    // Handlers read fixed offsets up to byte 63; short reports read as zeros.
    std::array<uint8_t, kLongReportSize> padded{};
    std::memcpy(padded.data(), report, std::min(size, padded.size()));
    reply_.fill(0);
    auto it = handlers_.find({mode, padded[0], padded[1]});
    reply_[1] = it == handlers_.end() ? kStatusRefused
                                      : it->second(*this, padded.data(), std::max(size, kShortReportSize), reply_);
}

void Firmware::onGetFeature(uint8_t *data, size_t size) const
{
    const uint8_t id = data[0];
    std::memcpy(data, reply_.data(), std::min(size, reply_.size()));
    if (size > reply_.size())
        std::memset(data + reply_.size(), 0, size - reply_.size());
    data[0] = id;
}

void addNormalModeCommands(Firmware &firmware)
{
    const Mode n = Mode::Normal;
    firmware.addHandler(n, kCommandId, 0x02, versionCommand);
    firmware.addHandler(n, kCommandId, 0x03, getActiveCommand);
    firmware.addHandler(n, kCommandId, 0x04, setActiveCommand);
    firmware.addHandler(n, kCommandId, 0x05, surfaceCommand);
    firmware.addHandler(n, kLongId, 0x08, uploadCommand);
    firmware.addHandler(n, kCommandId, 0x0A, buttonCommand);
    firmware.addHandler(n, kCommandId, 0x0B, profileCommand);
    firmware.addHandler(n, kCommandId, 0x0C, lightingCommand);
    firmware.addHandler(n, kCommandId, 0x0D, sensorCommand);
    firmware.addHandler(n, kCommandId, 0x0E, factoryCommand);
    firmware.addHandler(n, kLongId, 0x21, blockWriteCommand);
    firmware.addHandler(n, kCommandId, 0x25, blockReadCommand);
}

} // namespace vela::vmouse
