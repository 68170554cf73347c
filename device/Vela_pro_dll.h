/* Vela_pro_dll: the mouse's settings, profiles, event channel, firmware
 * update and arrival listener as plain C functions.
 *
 * Result codes (one byte, every function returning uint8_t):
 *   1   done (the mouse answered status 1)
 *   2   an argument is out of range; nothing was sent (for block transfers
 *       also: the long report could not be sent)
 *   5   Capture_cb_data started the event channel
 *   20  mouse not found, send failed, status not 1, or a required pointer
 *       is missing
 *   255 Capture_cb_data could not open the mouse for input reports
 *
 * Profiles are numbered 1-5 (Sync_profile accepts 1-6), buttons 1-6.
 * Every function may be called from any thread; one library-wide lock keeps
 * commands from interleaving, so a call blocks for its command's wait (tens
 * of milliseconds) plus the status read. Nothing throws across this API.
 * The library opens the mouse on demand with a handle of its own, separate
 * from any other user of the mouse in the process.
 *
 * The library also exports hidapi's functions under their hidapi names
 * (hid_init, hid_open, hid_read_timeout, ...); they run through the same
 * HID layer, so they see the virtual mouse when VELA_VIRTUAL_MOUSE is set.
 */
#ifndef VELA_PRO_DLL_H
#define VELA_PRO_DLL_H

#include <stdbool.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* DPI settings: two pass-through settings, then five stages; stage k has
 * X in value[2k] and Y in value[2k+1]. 22 bytes. */
typedef struct __attribute__((packed)) {
    uint8_t first, second;
    uint16_t value[10];
} VelaDpiBlock;

/* Passed to the mouse unchanged. */
typedef struct {
    uint8_t bytes[24];
} VelaLightingBlock;

/* One macro or preset event, 12 bytes. kind: 16 mouse button, 17 wheel,
 * 18 key. code: virtual-key or mouse code. delay: milliseconds, least
 * significant byte first. */
typedef struct {
    uint8_t kind, pad0;
    int16_t code;
    uint8_t release, pad1[3];
    uint8_t delay[3], pad2;
} VelaButtonEvent;

/* Button settings of Set_button_settings. family: 16 mouse button, 17 wheel,
 * 18 key, 19 macro, 20 profile switch, 21 DPI switch, 22, 23, 24 media key,
 * 25 preset sequence, 255 disabled. For family 19 event_count events follow
 * from byte 20 (at most VELA_MAX_BLOCK_EVENTS). */
typedef struct {
    uint8_t button, pad0[3];
    uint32_t family;
    uint8_t sub_value, pad1;
    int16_t key_code;
    uint8_t macro_param, pad2;
    uint16_t event_count;
    uint8_t pad3[4];
    VelaButtonEvent events[];
} VelaButtonSettings;

/* Launch data for Set_button_run_program / Set_button_run_browser: a program
 * path or web address of size bytes (at most 1024), in the caller's
 * encoding. profile 1-5, button 1-6. */
typedef struct {
    uint32_t profile;
    int32_t button;
    const void *data;
    uint16_t size;
    uint8_t pad[2];
} VelaLaunchRequest;

/* The events a 1024-byte button block can carry (seven bytes each, followed
 * by seven zero bytes). */
#define VELA_MAX_BLOCK_EVENTS 145

/* One button as Read_profile_data decodes it. Launcher entries come back as
 * family 25 with sub_value 6 (program) or 1 (browser); their data is in the
 * block area and launch_size is the size stored with it. Macro entries
 * (family 19) carry their events here. */
typedef struct {
    uint8_t button, pad0[3];
    uint32_t family;
    uint8_t sub_value, pad1;
    int16_t key_code;
    uint8_t macro_param, pad2;
    uint16_t event_count;
    uint16_t launch_size, pad3;
    VelaButtonEvent events[VELA_MAX_BLOCK_EVENTS];
} VelaProfileButton;

/* A profile as Read_profile_data decodes it from the mouse. */
typedef struct {
    uint8_t profile_setting;   /* 1-6 */
    uint8_t response_time;     /* as stored by Set_button_response_time */
    uint16_t polling_rate;     /* 125, 250, 500 or 1000 */
    uint8_t angle_snapping;    /* 0 or 1 */
    uint8_t lift_off;          /* 0 or 1 */
    uint8_t lighting_mode;     /* 0, 1, 2, 4, 5, 6, 7, 8 or 15 */
    uint8_t brightness;        /* 0, 25, 50, 75 or 100 */
    VelaDpiBlock dpi;
    VelaLightingBlock lighting;
    uint8_t lighting_value2;   /* 0 or 1 (second value of Update_lighting_settings) */
    uint8_t lighting_value3;   /* 0, 1 or 2 (third value) */
    uint8_t pad[2];
    VelaProfileButton buttons[6];
} VelaProfileData;

typedef void (*VelaEventCallback)(uint8_t *code, void *value, uint32_t *extra);
typedef void (*VelaFirmwareCallback)(uint8_t *status, uint32_t *progress);
typedef void (*VelaDeviceCallback)(uint8_t *value);

uint8_t Get_dll_version(int16_t *version);
uint8_t Get_device_status(uint8_t *status);
bool Open_x2_device(void);
bool Open_x2Compliant_device(void);
bool Open_x2bl_device(void);
uint8_t Close_x2_device(void);
uint8_t Close_x2bl_device(void); /* same entry point as Close_x2_device */
uint8_t Close_device(void);
uint8_t Get_fw_version(int16_t *version);
uint8_t Get_bl_version(int16_t *version);
uint8_t Set_polling_rate(uint8_t profile, uint16_t rate);
uint8_t Set_button_response_time(uint8_t profile, uint8_t time);
uint8_t Set_angle_snapping(uint8_t profile, uint8_t value);
uint8_t Set_lod(uint8_t profile, uint8_t value);
uint8_t Set_dpi_settings(uint8_t profile, VelaDpiBlock dpi);
uint8_t Reset_sensor_settings(uint8_t profile, uint8_t s1, uint8_t s2, uint8_t s3, uint8_t s4, VelaDpiBlock dpi);
uint8_t Update_lighting_settings(uint8_t profile, uint8_t mode, VelaLightingBlock block, uint8_t v1, uint8_t v2,
                                 uint8_t v3);
uint8_t Reset_profile_default(uint8_t profile);
uint8_t Sync_profile(uint8_t profile);
uint8_t Get_current_profile_id(uint8_t *profile);
uint8_t Set_current_profile_id(uint8_t profile);
uint8_t Add_profile(uint8_t profile);
uint8_t Delete_profile(uint8_t profile);
/* blocks_out receives the launch data of each launcher button (button k in
 * blocks_out[k-1]); other rows are zeroed. */
uint8_t Read_profile_data(uint8_t profile, VelaProfileData *profile_out, uint8_t blocks_out[6][1024]);
uint8_t Get_number_of_profiles_in_mouse(uint8_t *count);
uint8_t Copy_profile_data(uint8_t source, uint8_t target);
uint8_t Reset_factory_default(void);
uint8_t Set_button_settings(uint8_t profile, const VelaButtonSettings *settings);
uint8_t Set_button_run_program(const VelaLaunchRequest *request);
uint8_t Set_button_run_browser(const VelaLaunchRequest *request);
/* Event channel. Starts a library thread that reads the mouse's 9-byte input
 * reports and calls callback on that thread: codes 1-5 with a pointer to
 * report byte 2 and extra 1; codes 35 and 36 with the 1024-byte block of
 * button (byte 4) in profile (byte 5) and extra = bytes 2-3; other codes make
 * no call. The pointed-to data is valid during the call only. At most about
 * twelve events a second (80 ms pause after each report). Returns 5 when
 * started, 20 without a callback, 255 when the mouse cannot be opened. A
 * second call stops the running thread and closes its device first.
 * Close_device stops it within a few hundred milliseconds, also when called
 * from the callback, and closes the command interface; always 1. */
uint8_t Capture_cb_data(VelaEventCallback callback);
/* Firmware update. Firmware_update_progress stores the callback (20 when
 * missing, else 1). Update_firmware copies the first size bytes of data and
 * returns at once; a library thread updates the mouse and calls the callback
 * on that thread with status 1 and progress 1, 3, 4, 4 + 100 * k / n per
 * chunk, 100; then ends with exactly one final status: 0x60 with the new
 * version (0x0106 reads 106), or 0x50 (no image, or over 102400 bytes; the
 * mouse is not touched), 0x51, 0x52, 0x53, 0x54, 0x55, or 0x56 (no mouse,
 * or it did not come back within 60 s after the update). Returns false, and
 * calls nothing, while an update is already running. Issue no other command
 * during an update. */
uint8_t Firmware_update_progress(VelaFirmwareCallback callback);
bool Update_firmware(uint32_t size, const uint8_t *data);
/* Arrival listener. Device_change_message stores the callback (20 when
 * missing, else 1). Start_device_listener starts a library thread that
 * watches HID interfaces and calls the callback on that thread with 1 on
 * arrival of VID_3282/PID_0003/MI_00, 2 on arrival of VID_3282/PID_0004, and
 * 255 on removal of either (then Close_device). Returns 1 when started, 20
 * when it could not start or a listener already runs. It runs until the
 * library is unloaded. */
uint8_t Device_change_message(VelaDeviceCallback callback);
uint8_t Start_device_listener(void);

#ifdef __cplusplus
}
#endif

#endif
