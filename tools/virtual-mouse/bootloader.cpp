#include "tools/virtual-mouse/bootloader.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace vela::vmouse {
namespace {

constexpr uint8_t kOk = 1;
constexpr uint8_t kRefused = 2;
constexpr uint8_t kCommandId = 0xA1;
constexpr uint8_t kLongId = 0xA0;
constexpr size_t kMaxChunks = 100;
constexpr uint8_t kFirstChunkIndex = 12;

uint16_t sum16(const uint8_t *data, size_t size)
{
    uint16_t sum = 0;
    for (size_t i = 0; i < size; ++i)
        sum = uint16_t(sum + data[i]);
    return sum;
}

} // namespace

void addBootloaderCommands(Firmware &firmware)
{
    auto session = std::make_shared<BootloaderSession>();

    firmware.addHandler(Mode::Normal, kCommandId, 0x3A, [session](Firmware &f, const uint8_t *r, size_t, Reply &) {
        if (r[5] != 0x6B || r[6] != 0x1E || r[7] != 0xD4)
            return kRefused;
        *session = BootloaderSession{};
        if (f.requestMode)
            f.requestMode(Mode::Bootloader);
        return kOk;
    });

    // The host reads the bootloader's version in bootloader mode too.
    firmware.addHandler(Mode::Bootloader, kCommandId, 0x02, [](Firmware &f, const uint8_t *, size_t, Reply &reply) {
        reply[16] = uint8_t(f.state().firmwareVersion);
        reply[17] = uint8_t(f.state().firmwareVersion >> 8);
        reply[18] = uint8_t(f.state().bootloaderVersion);
        reply[19] = uint8_t(f.state().bootloaderVersion >> 8);
        return kOk;
    });

    firmware.addHandler(Mode::Bootloader, kCommandId, 0x03, [session](Firmware &, const uint8_t *r, size_t size,
                                                                        Reply &) {
        if (size < kLongReportSize || r[16] == 0 || r[16] > kMaxChunks)
            return kRefused;
        *session = BootloaderSession{};
        session->started = true;
        session->chunkCount = r[16];
        session->imageSum = uint32_t(r[17]) | uint32_t(r[18]) << 8 | uint32_t(r[19]) << 16 | uint32_t(r[20]) << 24;
        return kOk;
    });

    firmware.addHandler(Mode::Bootloader, kLongId, 0x06, [session](Firmware &, const uint8_t *r, size_t size, Reply &) {
        if (!session->started || size < kLongReportSize)
            return kRefused;
        const uint8_t *data = r + 16;
        if (sum16(data, kBlockSize) != uint16_t(r[3] | r[4] << 8))
            return kRefused;
        const size_t index = size_t(uint8_t(r[2] - kFirstChunkIndex));
        // A host that lost the status of the last chunk sends it again.
        if (session->received > 0 && index == session->received - 1
            && std::equal(data, data + kBlockSize, session->image.end() - kBlockSize))
            return kOk;
        if (index != session->received || index >= session->chunkCount)
            return kRefused;
        session->image.insert(session->image.end(), data, data + kBlockSize);
        ++session->received;
        return kOk;
    });

    firmware.addHandler(Mode::Bootloader, kCommandId, 0x09, [session](Firmware &f, const uint8_t *, size_t, Reply &) {
        uint32_t sum = 0;
        for (uint8_t byte : session->image)
            sum += byte;
        if (!session->started || session->received != session->chunkCount || sum != session->imageSum)
            return kRefused;
        FirmwareState &s = f.state();
        s.firmwareVersion = s.updateVersion ? s.updateVersion : uint16_t(s.firmwareVersion + 1);
        s.updateVersion = 0;
        f.persistentChanged = true;
        *session = BootloaderSession{};
        if (f.requestMode)
            f.requestMode(Mode::Normal);
        return kOk;
    });
}

} // namespace vela::vmouse
