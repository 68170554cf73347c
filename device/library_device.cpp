#include "device/library_device.h"

#include "device/button_codec.h"

#include <cstring>
#include <vector>

namespace vela::library {
namespace {

constexpr uint8_t kDone = 1;
constexpr uint8_t kBadArgument = 2;
constexpr uint8_t kFailed = 20;

bool validProfile(uint8_t profile)
{
    return profile >= 1 && profile <= 5;
}

} // namespace

LibraryDevice::LibraryDevice(hid::Backend &backend, Clock &clock)
    : transport_(TransportFlavour::Library, backend, clock), clock_(clock)
{
}

LibraryDevice::Report LibraryDevice::command(uint8_t code, uint8_t sub, uint8_t profile)
{
    Report report{};
    report[0] = wire::kCommandReportId;
    report[1] = code;
    report[2] = sub;
    report[5] = profile;
    return report;
}

uint8_t LibraryDevice::exchange(Report &report, uint32_t waitMs, Report *status, uint32_t retryWaitMs)
{
    if (!transport_.ensureOpen() || !transport_.sendFeature(report.data(), report.size(), retryWaitMs))
        return kFailed;
    clock_.sleepMs(waitMs);
    Report reply{};
    reply[0] = wire::kCommandReportId;
    if (!transport_.getFeature(reply.data(), reply.size()) || reply[1] != wire::kStatusDone)
        return kFailed;
    if (status)
        *status = reply;
    return kDone;
}

uint8_t LibraryDevice::simple(uint8_t code, uint8_t sub, uint8_t profile, uint32_t waitMs)
{
    Report report = command(code, sub, profile);
    return exchange(report, waitMs);
}

uint8_t LibraryDevice::getDeviceStatus(uint8_t *status)
{
    // Takes no lock, as callers may ask while a command is running.
    const bool open = transport_.isOpen() || transport_.open(wire::kProductNormal);
    if (status)
        *status = open ? 1 : 255;
    return open ? kDone : kFailed;
}

bool LibraryDevice::openDevice(uint16_t productId)
{
    std::lock_guard guard(lock_);
    return transport_.open(productId);
}

bool LibraryDevice::openCompliant()
{
    std::lock_guard guard(lock_);
    return transport_.openCompliant();
}

uint8_t LibraryDevice::closeDevice()
{
    std::lock_guard guard(lock_);
    transport_.close();
    return kDone;
}

uint8_t LibraryDevice::version(int16_t *out, size_t offset)
{
    std::lock_guard guard(lock_);
    if (!out)
        return kFailed;
    Report report = command(0x02, 0x00), status{};
    const uint8_t result = exchange(report, 50, &status);
    if (result == kDone)
        *out = int16_t(wire::HexDigitsAsDecimal(wire::GetU16(status.data() + offset)));
    return result;
}

uint8_t LibraryDevice::getFirmwareVersion(int16_t *version)
{
    return this->version(version, 16);
}

uint8_t LibraryDevice::getBootloaderVersion(int16_t *version)
{
    return this->version(version, 18);
}

uint8_t LibraryDevice::sensorSetting(uint8_t sub, uint8_t profile, bool valid, uint8_t value, uint32_t waitMs)
{
    std::lock_guard guard(lock_);
    if (!valid || !validProfile(profile))
        return kBadArgument;
    Report report = command(0x0D, sub, profile);
    report[6] = value;
    return exchange(report, waitMs);
}

uint8_t LibraryDevice::setPollingRate(uint8_t profile, uint16_t rate)
{
    const uint8_t code = rate == 125 ? 8 : rate == 250 ? 4 : rate == 500 ? 2 : rate == 1000 ? 1 : 0;
    return sensorSetting(0x01, profile, code != 0, code, 50);
}

uint8_t LibraryDevice::setButtonResponseTime(uint8_t profile, uint8_t time)
{
    return sensorSetting(0x02, profile, time >= 2 && time <= 12 && time % 2 == 0, time, 50);
}

uint8_t LibraryDevice::setAngleSnapping(uint8_t profile, uint8_t value)
{
    return sensorSetting(0x03, profile, value <= 1, value, 30);
}

uint8_t LibraryDevice::setLod(uint8_t profile, uint8_t value)
{
    return sensorSetting(0x04, profile, value <= 1, value, 50);
}

uint8_t LibraryDevice::setDpiSettings(uint8_t profile, const VelaDpiBlock &dpi)
{
    std::lock_guard guard(lock_);
    if (!validProfile(profile))
        return kBadArgument;
    Report report = command(0x0D, 0x0A, profile);
    report[6] = dpi.first;
    report[7] = dpi.second;
    for (int i = 0; i < 10; ++i)
        wire::PutU16(report.data() + 16 + 2 * i, dpi.value[i]);
    return exchange(report, 50);
}

uint8_t LibraryDevice::resetSensorSettings(uint8_t profile, const uint8_t settings[4], const VelaDpiBlock &dpi)
{
    std::lock_guard guard(lock_);
    if (!validProfile(profile))
        return kBadArgument;
    Report report = command(0x0D, 0x0F, profile);
    std::memcpy(report.data() + 16, settings, 4);
    report[20] = dpi.first;
    report[21] = dpi.second;
    for (int i = 0; i < 10; ++i)
        wire::PutU16(report.data() + 22 + 2 * i, dpi.value[i]);
    return exchange(report, 50);
}

uint8_t LibraryDevice::updateLighting(uint8_t profile, uint8_t mode, const VelaLightingBlock &block, uint8_t v1,
                                      uint8_t v2, uint8_t v3)
{
    std::lock_guard guard(lock_);
    if (!validProfile(profile))
        return kBadArgument;
    Report report = command(0x0C, 0x00, profile);
    report[16] = mode;
    std::memcpy(report.data() + 17, block.bytes, sizeof(block.bytes));
    report[41] = v1;
    report[42] = v2;
    report[43] = v3;
    return exchange(report, 100);
}

uint8_t LibraryDevice::resetProfileDefault(uint8_t profile)
{
    std::lock_guard guard(lock_);
    return validProfile(profile) ? simple(0x0B, 0x01, profile, 50) : kBadArgument;
}

uint8_t LibraryDevice::syncProfile(uint8_t profile)
{
    std::lock_guard guard(lock_);
    return profile >= 1 && profile <= 6 ? simple(0x0B, 0x02, profile, 50) : kBadArgument;
}

uint8_t LibraryDevice::getCurrentProfile(uint8_t *profile)
{
    std::lock_guard guard(lock_);
    if (!profile)
        return kFailed;
    Report report = command(0x0B, 0x03), status{};
    const uint8_t result = exchange(report, 60, &status);
    if (result == kDone)
        *profile = status[16];
    return result;
}

uint8_t LibraryDevice::setCurrentProfile(uint8_t profile)
{
    std::lock_guard guard(lock_);
    return validProfile(profile) ? simple(0x0B, 0x04, profile, 100) : kBadArgument;
}

uint8_t LibraryDevice::addProfile(uint8_t profile)
{
    std::lock_guard guard(lock_);
    return validProfile(profile) ? simple(0x0B, 0x05, profile, 50) : kBadArgument;
}

uint8_t LibraryDevice::deleteProfile(uint8_t profile)
{
    std::lock_guard guard(lock_);
    return validProfile(profile) ? simple(0x0B, 0x06, profile, 50) : kBadArgument;
}

uint8_t LibraryDevice::getProfileCount(uint8_t *count)
{
    std::lock_guard guard(lock_);
    if (!count)
        return kFailed;
    Report report = command(0x0B, 0x09), status{};
    const uint8_t result = exchange(report, 60, &status);
    if (result != kDone)
        return result;
    *count = status[16];
    return *count >= 1 && *count <= 5 ? kDone : kFailed;
}

uint8_t LibraryDevice::copyProfile(uint8_t source, uint8_t target)
{
    std::lock_guard guard(lock_);
    if (!validProfile(source) || !validProfile(target))
        return kBadArgument;
    Report report = command(0x0B, 0x0A, source);
    report[6] = target;
    return exchange(report, 50);
}

uint8_t LibraryDevice::resetFactoryDefault()
{
    std::lock_guard guard(lock_);
    return simple(0x0E, 0x00, 0, 50);
}

uint8_t LibraryDevice::blockWrite(uint8_t profile, uint8_t button, const uint8_t *block)
{
    std::vector<uint8_t> report(wire::kLongReportSize, 0);
    report[0] = wire::kLongReportId;
    report[1] = 0x21;
    report[2] = button;
    report[5] = profile;
    wire::PutU16(report.data() + 7, wire::BlockChecksum(block));
    std::memcpy(report.data() + 16, block, wire::kBlockSize);
    if (!transport_.sendFeature(report.data(), report.size(), kRetryWaitShort))
        return kBadArgument;
    clock_.sleepMs(100);
    Report status{};
    status[0] = wire::kCommandReportId;
    return transport_.getFeature(status.data(), status.size()) && status[1] == wire::kStatusDone ? kDone : kFailed;
}

uint8_t LibraryDevice::blockRead(uint8_t profile, uint8_t button, uint8_t *block)
{
    Report report = command(0x25, button, profile);
    if (!transport_.sendFeature(report.data(), report.size(), kRetryWaitShort))
        return kFailed;
    clock_.sleepMs(10);
    std::vector<uint8_t> reply(wire::kLongReportSize, 0);
    reply[0] = wire::kLongReportId;
    if (!transport_.getFeature(reply.data(), reply.size()) || reply[1] != wire::kStatusDone)
        return kFailed;
    std::memcpy(block, reply.data() + 16, wire::kBlockSize);
    return kDone;
}

uint8_t LibraryDevice::readProfileData(uint8_t profile, VelaProfileData *out, uint8_t blocks[6][1024])
{
    std::lock_guard guard(lock_);
    if (!validProfile(profile))
        return kBadArgument;
    if (!out)
        return kFailed;
    Report report = command(0x0B, 0x07, profile);
    if (!transport_.ensureOpen() || !transport_.sendFeature(report.data(), report.size(), kRetryWaitShort))
        return kFailed;
    clock_.sleepMs(80);
    std::vector<uint8_t> reply(wire::kLongReportSize, 0);
    reply[0] = wire::kLongReportId;
    if (!transport_.getFeature(reply.data(), reply.size()) || reply[1] != wire::kStatusDone)
        return kFailed;
    DecodeProfile(reply.data() + 16, *out);
    if (blocks)
        std::memset(blocks, 0, 6 * 1024);
    std::array<uint8_t, wire::kBlockSize> block{};
    for (int button = 1; button <= 6; ++button) {
        VelaProfileButton &b = out->buttons[button - 1];
        // Launchers are told by their entry type: a preset decodes to the
        // same family and sub-value as a browser launcher.
        const uint8_t type = reply[16 + ProfileEntryOffset(button)];
        if (type == 0x23 || type == 0x24) {
            if (blockRead(profile, uint8_t(button), block.data()) != kDone)
                return kFailed;
            if (blocks)
                std::memcpy(blocks[button - 1], block.data(), block.size());
        } else if (b.family == 19) {
            if (blockRead(profile, uint8_t(button), block.data()) != kDone)
                return kFailed;
            b.event_count = uint16_t(DecodeEventBlock(block.data(), b.event_count, b.events));
        }
    }
    return kDone;
}

uint8_t LibraryDevice::setButtonSettings(uint8_t profile, const VelaButtonSettings *settings)
{
    std::lock_guard guard(lock_);
    if (!settings)
        return kFailed;
    if (!validProfile(profile))
        return kBadArgument;
    std::array<uint8_t, wire::kBlockSize> block{};
    wire::Entry entry;
    if (settings->family == 19) {
        // A block holds 145 events; more would run past it.
        if (!EncodeEventBlock(settings->events, settings->event_count, block))
            return kBadArgument;
        entry = EncodeButton(19, settings->sub_value, settings->key_code, settings->macro_param,
                             settings->event_count);
    } else if (settings->family == 25) {
        if (settings->sub_value > 5)
            return kBadArgument;
        const auto events = PresetEvents(settings->sub_value);
        EncodeEventBlock(events.data(), events.size(), block);
        entry = EncodeButton(25, settings->sub_value, settings->key_code, 0, uint16_t(events.size()));
    } else {
        entry = EncodeButton(settings->family, settings->sub_value, settings->key_code, settings->macro_param, 0);
    }
    Report report = command(0x0A, 0x00, profile);
    report[6] = settings->button;
    wire::PutEntry(report.data() + 16, entry);
    uint8_t result = exchange(report, 50);
    if (result != kDone || !EntryHasBlock(entry))
        return result;
    // Up to four tries, 0, 50 and 100 ms apart.
    const uint32_t pauses[] = {0, 50, 100};
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (attempt > 0 && pauses[attempt - 1])
            clock_.sleepMs(pauses[attempt - 1]);
        if (blockWrite(profile, settings->button, block.data()) == kDone)
            return kDone;
    }
    return kFailed;
}

uint8_t LibraryDevice::setButtonLaunch(const VelaLaunchRequest *request, uint8_t type)
{
    std::lock_guard guard(lock_);
    if (!request)
        return kFailed;
    if (request->profile < 1 || request->profile > 5 || request->button < 1 || request->button > 6
        || request->size > wire::kBlockSize)
        return kBadArgument;
    if (request->size && !request->data)
        return kFailed;
    const uint8_t profile = uint8_t(request->profile);
    const uint8_t button = uint8_t(request->button);
    Report report = command(0x0A, 0x00, profile);
    report[6] = button;
    report[16] = type;
    wire::PutU16(report.data() + 18, request->size);
    const uint8_t result = exchange(report, 50);
    if (result != kDone)
        return result;
    std::array<uint8_t, wire::kBlockSize> block{};
    if (request->size)
        std::memcpy(block.data(), request->data, request->size);
    if (!transport_.ensureOpen())
        return kFailed;
    return blockWrite(profile, button, block.data());
}

} // namespace vela::library
