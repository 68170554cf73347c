// The settings API of Vela_pro_dll (Vela_pro_dll.h) over one LibraryDevice.
#include "device/Vela_pro_dll.h"
#include "device/dll/instance.h"

namespace vela::library {

LibraryDevice &Instance()
{
    static LibraryDevice device(hid::defaultBackend(), systemClock());
    return device;
}

} // namespace vela::library

using vela::library::Instance;

namespace {
constexpr uint8_t kFailed = 20;
}

// The API is the one thing with default visibility; the version script
// then decides what is exported.
#pragma GCC visibility push(default)
extern "C" {

uint8_t Get_dll_version(int16_t *version)
{
    if (!version)
        return kFailed;
    *version = vela::library::kDllVersion;
    return 1;
}

uint8_t Get_device_status(uint8_t *status)
{
    VELA_GUARDED(kFailed, return Instance().getDeviceStatus(status);)
}

bool Open_x2_device(void)
{
    VELA_GUARDED(false, return Instance().openDevice(vela::wire::kProductNormal);)
}

bool Open_x2Compliant_device(void)
{
    VELA_GUARDED(false, return Instance().openCompliant();)
}

uint8_t Close_x2_device(void)
{
    VELA_GUARDED(kFailed, return Instance().closeDevice();)
}

uint8_t Get_fw_version(int16_t *version)
{
    VELA_GUARDED(kFailed, return Instance().getFirmwareVersion(version);)
}

uint8_t Set_polling_rate(uint8_t profile, uint16_t rate)
{
    VELA_GUARDED(kFailed, return Instance().setPollingRate(profile, rate);)
}

uint8_t Set_button_response_time(uint8_t profile, uint8_t time)
{
    VELA_GUARDED(kFailed, return Instance().setButtonResponseTime(profile, time);)
}

uint8_t Set_angle_snapping(uint8_t profile, uint8_t value)
{
    VELA_GUARDED(kFailed, return Instance().setAngleSnapping(profile, value);)
}

uint8_t Set_lod(uint8_t profile, uint8_t value)
{
    VELA_GUARDED(kFailed, return Instance().setLod(profile, value);)
}

uint8_t Set_dpi_settings(uint8_t profile, VelaDpiBlock dpi)
{
    VELA_GUARDED(kFailed, return Instance().setDpiSettings(profile, dpi);)
}

uint8_t Reset_sensor_settings(uint8_t profile, uint8_t s1, uint8_t s2, uint8_t s3, uint8_t s4, VelaDpiBlock dpi)
{
    const uint8_t settings[4] = {s1, s2, s3, s4};
    VELA_GUARDED(kFailed, return Instance().resetSensorSettings(profile, settings, dpi);)
}

uint8_t Update_lighting_settings(uint8_t profile, uint8_t mode, VelaLightingBlock block, uint8_t v1, uint8_t v2,
                                 uint8_t v3)
{
    VELA_GUARDED(kFailed, return Instance().updateLighting(profile, mode, block, v1, v2, v3);)
}

uint8_t Reset_profile_default(uint8_t profile)
{
    VELA_GUARDED(kFailed, return Instance().resetProfileDefault(profile);)
}

uint8_t Sync_profile(uint8_t profile)
{
    VELA_GUARDED(kFailed, return Instance().syncProfile(profile);)
}

uint8_t Get_current_profile_id(uint8_t *profile)
{
    VELA_GUARDED(kFailed, return Instance().getCurrentProfile(profile);)
}

uint8_t Set_current_profile_id(uint8_t profile)
{
    VELA_GUARDED(kFailed, return Instance().setCurrentProfile(profile);)
}

uint8_t Add_profile(uint8_t profile)
{
    VELA_GUARDED(kFailed, return Instance().addProfile(profile);)
}

uint8_t Delete_profile(uint8_t profile)
{
    VELA_GUARDED(kFailed, return Instance().deleteProfile(profile);)
}

uint8_t Read_profile_data(uint8_t profile, VelaProfileData *profile_out, uint8_t blocks_out[6][1024])
{
    VELA_GUARDED(kFailed, return Instance().readProfileData(profile, profile_out, blocks_out);)
}

uint8_t Get_number_of_profiles_in_mouse(uint8_t *count)
{
    VELA_GUARDED(kFailed, return Instance().getProfileCount(count);)
}

uint8_t Copy_profile_data(uint8_t source, uint8_t target)
{
    VELA_GUARDED(kFailed, return Instance().copyProfile(source, target);)
}

uint8_t Reset_factory_default(void)
{
    VELA_GUARDED(kFailed, return Instance().resetFactoryDefault();)
}

uint8_t Set_button_settings(uint8_t profile, const VelaButtonSettings *settings)
{
    VELA_GUARDED(kFailed, return Instance().setButtonSettings(profile, settings);)
}

uint8_t Set_button_run_program(const VelaLaunchRequest *request)
{
    VELA_GUARDED(kFailed, return Instance().setButtonLaunch(request, 0x23);)
}

uint8_t Set_button_run_browser(const VelaLaunchRequest *request)
{
    VELA_GUARDED(kFailed, return Instance().setButtonLaunch(request, 0x24);)
}

} // extern "C"
#pragma GCC visibility pop
