// The event channel, firmware update and arrival listener of Vela_pro_dll
// (Vela_pro_dll.h), and the bootloader's open, close and version.
#include "device/Vela_pro_dll.h"
#include "device/dll/instance.h"
#include "device/library_services.h"

namespace {

constexpr uint8_t kFailed = 20;

vela::library::LibraryServices &Services()
{
    // Built after the device, so unloading stops these threads before the
    // device they use goes away.
    static vela::library::LibraryServices services(vela::library::Instance(), vela::systemClock(),
                                                   [] { return vela::DeviceNotifications::open(); });
    return services;
}

} // namespace

#pragma GCC visibility push(default)
extern "C" {

bool Open_x2bl_device(void)
{
    VELA_GUARDED(false, return vela::library::Instance().openDevice(vela::wire::kProductBootloader);)
}

// The same operation as Close_x2_device under its second name.
uint8_t Close_x2bl_device(void)
{
    VELA_GUARDED(kFailed, return vela::library::Instance().closeDevice();)
}

uint8_t Get_bl_version(int16_t *version)
{
    VELA_GUARDED(kFailed, return vela::library::Instance().getBootloaderVersion(version);)
}

uint8_t Capture_cb_data(VelaEventCallback callback)
{
    VELA_GUARDED(kFailed, return Services().captureEvents(callback);)
}

uint8_t Close_device(void)
{
    VELA_GUARDED(1, return Services().closeDevice();)
}

uint8_t Firmware_update_progress(VelaFirmwareCallback callback)
{
    VELA_GUARDED(kFailed, return Services().setFirmwareCallback(callback);)
}

bool Update_firmware(uint32_t size, const uint8_t *data)
{
    VELA_GUARDED(false, return Services().updateFirmware(size, data);)
}

uint8_t Device_change_message(VelaDeviceCallback callback)
{
    VELA_GUARDED(kFailed, return Services().setDeviceCallback(callback);)
}

uint8_t Start_device_listener(void)
{
    VELA_GUARDED(kFailed, return Services().startListener();)
}

} // extern "C"
#pragma GCC visibility pop
