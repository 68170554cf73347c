#pragma once
// The device library's services beside its settings commands: the event
// channel (Capture_cb_data, Close_device), the firmware update
// (Firmware_update_progress, Update_firmware) and the arrival listener
// (Device_change_message, Start_device_listener), over one LibraryDevice.
// The exported C functions (device/dll/) call one process-wide instance;
// tests build their own around an in-process virtual mouse and a fake clock.
#include "device/Vela_pro_dll.h"
#include "device/device_listener.h"
#include "device/event_channel.h"
#include "device/firmware_update.h"
#include "device/library_device.h"

#include <atomic>
#include <mutex>
#include <thread>

namespace vela::library {

class LibraryServices {
public:
    // The device must outlive the services. subscribe makes the listener's
    // notifications subscription (DeviceNotifications::open in the library).
    LibraryServices(LibraryDevice &device, Clock &clock, listener::Listener::Subscribe subscribe);
    // Stops the listener and the event thread and waits for a firmware update
    // in progress to end.
    ~LibraryServices();
    LibraryServices(const LibraryServices &) = delete;
    LibraryServices &operator=(const LibraryServices &) = delete;

    // Capture_cb_data: 20 without a callback, 255 when the mouse cannot be
    // opened for input reports, 20 when the thread cannot start, else 5. A
    // second call stops the running reader and closes its device first.
    uint8_t captureEvents(VelaEventCallback callback);
    // Close_device: stops the event thread (promptly: it does not wait for a
    // report), closes its input device and the command interface. Always 1.
    uint8_t closeDevice();
    bool eventsRunning() const { return events_.running(); }

    // Firmware_update_progress: 20 without a callback, else 1.
    uint8_t setFirmwareCallback(VelaFirmwareCallback callback);
    // Update_firmware: copies the image and returns at once; the worker
    // reports through the callback. An image over 102400 bytes, or none,
    // ends with status 0x50 and no traffic. False, with no callback, when
    // an update is already running or its thread cannot start.
    bool updateFirmware(uint32_t size, const uint8_t *data);
    // Blocks until no update runs (tests).
    void waitForFirmwareWorker();

    // Device_change_message: 20 without a callback, else 1.
    uint8_t setDeviceCallback(VelaDeviceCallback callback);
    // Start_device_listener: 1 when the listener thread started, 20 when it
    // could not (no subscription, no thread) or when one already runs: a
    // second listener would call the callback, and Close_device, twice for
    // every notice.
    uint8_t startListener();
    // Handles one notice as the listener thread does (tests).
    void onNotice(uint8_t value);

private:
    LibraryDevice &device_;
    Clock &clock_;
    listener::Listener::Subscribe subscribe_;
    events::EventChannel events_;
    std::atomic<VelaFirmwareCallback> firmwareCallback_{nullptr};
    std::atomic<VelaDeviceCallback> deviceCallback_{nullptr};

    std::mutex firmwareMutex_;
    std::thread firmwareWorker_;
    std::atomic<bool> firmwareRunning_{false};

    std::mutex listenerMutex_;
    listener::Listener listener_;
};

} // namespace vela::library
