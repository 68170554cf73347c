/* The library's event channel, firmware update and arrival listener from C,
 * against a running vela-virtual-mouse, with real waits.
 * Usage: device_services_c_test VIRTUAL_MOUSE LIBRARY */
#define _GNU_SOURCE
#include "device/Vela_pro_dll.h"

#include <dlfcn.h>
#include <pthread.h>
#include <time.h>

#include "tests/support/virtual_mouse_c.h"

static void sleep_ms(long ms)
{
    struct timespec t = {ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&t, NULL);
}

/* Runs one ctl command; true when it succeeded. */
static int run(const char *command)
{
    char *out = ctl(command);
    free(out);
    return out != NULL;
}

/* What the callbacks saw; they run on the library's threads. */
static pthread_mutex_t seen_lock = PTHREAD_MUTEX_INITIALIZER;
static int event_count, event_code, event_value;
static uint32_t event_extra;
static int firmware_final = -1;
static uint32_t firmware_progress, firmware_steps;
static int device_calls;

static void on_event(uint8_t *code, void *value, uint32_t *extra)
{
    pthread_mutex_lock(&seen_lock);
    ++event_count;
    event_code = *code;
    event_value = *(uint8_t *)value;
    event_extra = *extra;
    pthread_mutex_unlock(&seen_lock);
}

static void on_firmware(uint8_t *status, uint32_t *progress)
{
    pthread_mutex_lock(&seen_lock);
    if (*status == 1)
        ++firmware_steps;
    else
        firmware_final = *status;
    firmware_progress = *progress;
    pthread_mutex_unlock(&seen_lock);
}

static void on_device(uint8_t *value)
{
    (void)value;
    pthread_mutex_lock(&seen_lock);
    ++device_calls;
    pthread_mutex_unlock(&seen_lock);
}

/* Polls cond every 10 ms for at most ms milliseconds. */
#define WAIT_FOR(cond, ms)                                       \
    do {                                                         \
        for (long waited_ = 0; waited_ < (ms); waited_ += 10) { \
            pthread_mutex_lock(&seen_lock);                      \
            int done_ = (cond);                                  \
            pthread_mutex_unlock(&seen_lock);                    \
            if (done_)                                           \
                break;                                           \
            sleep_ms(10);                                        \
        }                                                        \
    } while (0)

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: %s VIRTUAL_MOUSE LIBRARY\n", argv[0]);
        return 2;
    }
    mouseBinary = argv[1];
    char folder[] = "/tmp/vela-services-XXXXXX";
    if (!mkdtemp(folder))
        return 2;
    snprintf(socketPath, sizeof socketPath, "%s/mouse.sock", folder);
    const pid_t mouse = startMouse();
    if (mouse < 0) {
        fprintf(stderr, "the virtual mouse did not start\n");
        return 1;
    }
    setenv("VELA_VIRTUAL_MOUSE", socketPath, 1);

    void *lib = dlopen(argv[2], RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    LOAD(Capture_cb_data);
    LOAD(Close_device);
    LOAD(Firmware_update_progress);
    LOAD(Update_firmware);
    LOAD(Device_change_message);
    LOAD(Start_device_listener);
    LOAD(Get_fw_version);
    LOAD(Open_x2bl_device);
    LOAD(Close_x2bl_device);
    LOAD(Get_bl_version);
    if (failures)
        return 1;

    /* Event channel: a queued input report reaches the callback. */
    CHECK(p_Capture_cb_data(NULL) == 20);
    CHECK(p_Capture_cb_data(on_event) == 5);
    CHECK(run("input 010203000000000000"));
    WAIT_FOR(event_count > 0, 5000);
    CHECK(event_count == 1 && event_code == 2 && event_value == 3 && event_extra == 1);

    /* Firmware update of a small image, to the preset new version. */
    CHECK(run("update-version 0x0107"));
    uint8_t image[1500];
    for (size_t i = 0; i < sizeof image; ++i)
        image[i] = (uint8_t)(i * 31);
    CHECK(p_Firmware_update_progress(on_firmware) == 1);
    CHECK(p_Update_firmware(sizeof image, image));
    WAIT_FOR(firmware_final >= 0, 30000);
    CHECK(firmware_final == 0x60);
    CHECK(firmware_progress == 107);
    CHECK(firmware_steps == 6); /* 1, 3, 4, two chunks, 100 */
    int16_t version = 0;
    CHECK(p_Get_fw_version(&version) == 1 && version == 107);

    /* The bootloader's own interface and version. */
    CHECK(run("mode bootloader"));
    CHECK(p_Open_x2bl_device());
    CHECK(p_Get_bl_version(&version) == 1 && version == 101);
    CHECK(p_Close_x2bl_device() == 1);
    CHECK(run("mode normal"));

    /* Listener: unplug and plug reach it; this mouse is not its identity,
     * so no call. */
    CHECK(p_Device_change_message(on_device) == 1);
    CHECK(p_Start_device_listener() == 1);
    CHECK(p_Start_device_listener() == 20);
    CHECK(run("unplug"));
    CHECK(run("plug"));
    sleep_ms(300);
    pthread_mutex_lock(&seen_lock);
    CHECK(device_calls == 0);
    pthread_mutex_unlock(&seen_lock);

    /* Close_device ends the event thread without another report. */
    struct timespec before, after;
    clock_gettime(CLOCK_MONOTONIC, &before);
    CHECK(p_Close_device() == 1);
    clock_gettime(CLOCK_MONOTONIC, &after);
    const long took = (after.tv_sec - before.tv_sec) * 1000 + (after.tv_nsec - before.tv_nsec) / 1000000;
    /* A figure, not a check: the reader notices the close within its read
     * timeout plus the pause after a report. */
    printf("Close_device took %ld ms\n", took);
    CHECK(p_Get_fw_version(&version) == 1 && version == 107);

    kill(mouse, SIGTERM);
    waitpid(mouse, NULL, 0);
    unlink(socketPath);
    rmdir(folder);
    if (failures)
        fprintf(stderr, "%d check(s) failed\n", failures);
    else
        printf("all checks passed\n");
    return failures ? 1 : 0;
}
