#pragma once
// The device library's commands, as one object: its own transport (library
// flavour), the library-wide lock and every exported settings function. The
// exported C functions (device/dll/) call one process-wide instance; tests
// build their own around an in-process virtual mouse and a fake clock.
//
// Every command: take the lock, check arguments (2, nothing sent), ensure
// the command interface is open, send, wait the command's time, read the
// status; 1 when it is 1, else 20. Results and argument ranges are those of
// Vela_pro_dll.h.
#include "device/Vela_pro_dll.h"
#include "device/transport.h"
#include "device/wire.h"

#include <array>
#include <mutex>

namespace vela::library {

constexpr int16_t kDllVersion = 10;

class LibraryDevice {
public:
    LibraryDevice(hid::Backend &backend, Clock &clock);

    Transport &transport() { return transport_; }
    // The library-wide lock. The event channel's block reads run without it.
    std::mutex &lock() { return lock_; }

    uint8_t getDeviceStatus(uint8_t *status);
    bool openDevice(uint16_t productId);
    bool openCompliant();
    uint8_t closeDevice();

    uint8_t getFirmwareVersion(int16_t *version);
    uint8_t getBootloaderVersion(int16_t *version);
    uint8_t setPollingRate(uint8_t profile, uint16_t rate);
    uint8_t setButtonResponseTime(uint8_t profile, uint8_t time);
    uint8_t setAngleSnapping(uint8_t profile, uint8_t value);
    uint8_t setLod(uint8_t profile, uint8_t value);
    uint8_t setDpiSettings(uint8_t profile, const VelaDpiBlock &dpi);
    uint8_t resetSensorSettings(uint8_t profile, const uint8_t settings[4], const VelaDpiBlock &dpi);
    uint8_t updateLighting(uint8_t profile, uint8_t mode, const VelaLightingBlock &block, uint8_t v1, uint8_t v2,
                           uint8_t v3);
    uint8_t resetProfileDefault(uint8_t profile);
    uint8_t syncProfile(uint8_t profile);
    uint8_t getCurrentProfile(uint8_t *profile);
    uint8_t setCurrentProfile(uint8_t profile);
    uint8_t addProfile(uint8_t profile);
    uint8_t deleteProfile(uint8_t profile);
    uint8_t readProfileData(uint8_t profile, VelaProfileData *out, uint8_t blocks[6][1024]);
    uint8_t getProfileCount(uint8_t *count);
    uint8_t copyProfile(uint8_t source, uint8_t target);
    uint8_t resetFactoryDefault();
    uint8_t setButtonSettings(uint8_t profile, const VelaButtonSettings *settings);
    // type 0x23 (program) or 0x24 (browser).
    uint8_t setButtonLaunch(const VelaLaunchRequest *request, uint8_t type);

    // Block transfers, without taking the lock (callers hold it, or are the
    // event thread). blockRead fills block with the button's 1024 bytes on
    // result 1. blockWrite: 1 status 1, 20 other status, 2 send failed.
    uint8_t blockRead(uint8_t profile, uint8_t button, uint8_t *block);
    uint8_t blockWrite(uint8_t profile, uint8_t button, const uint8_t *block);

private:
    using Report = std::array<uint8_t, wire::kCommandReportSize>;
    static Report command(uint8_t code, uint8_t sub, uint8_t profile = 0);
    // Ensure open, send, wait, status read. On result 1 status holds the
    // status report (reply data from byte 16).
    uint8_t exchange(Report &report, uint32_t waitMs, Report *status = nullptr,
                     uint32_t retryWaitMs = kRetryWaitLong);
    uint8_t simple(uint8_t code, uint8_t sub, uint8_t profile, uint32_t waitMs);
    // Command 02: the 16-bit value at offset of the reply, as decimal digits.
    uint8_t version(int16_t *out, size_t offset);
    // 0D sub with the value in byte 6; 2 when !valid or the profile is bad.
    uint8_t sensorSetting(uint8_t sub, uint8_t profile, bool valid, uint8_t value, uint32_t waitMs);

    Transport transport_;
    Clock &clock_;
    std::mutex lock_;
};

} // namespace vela::library
