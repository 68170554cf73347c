/* The C API from C: includes the header, loads the library by path and calls
 * its exports against a running vela-virtual-mouse (real socket, real waits).
 * Usage: device_c_api_test VIRTUAL_MOUSE_BINARY LIBRARY */
#define _GNU_SOURCE
#include "device/Vela_pro_dll.h"

#include <dlfcn.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/virtual_mouse_c.h"

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: %s VIRTUAL_MOUSE LIBRARY\n", argv[0]);
        return 2;
    }
    mouseBinary = argv[1];
    char folder[] = "/tmp/vela-c-api-XXXXXX";
    if (!mkdtemp(folder))
        return 2;
    snprintf(socketPath, sizeof(socketPath), "%s/mouse.sock", folder);
    pid_t mouse = startMouse();
    if (mouse < 0) {
        fprintf(stderr, "vela-virtual-mouse did not start\n");
        rmdir(folder);
        return 1;
    }
    setenv("VELA_VIRTUAL_MOUSE", socketPath, 1);

    void *lib = dlopen(argv[2], RTLD_NOW | RTLD_LOCAL);
    CHECK(lib != NULL);
    if (lib) {
        LOAD(Get_dll_version);
        LOAD(Set_polling_rate);
        LOAD(Get_fw_version);
        LOAD(Set_current_profile_id);
        LOAD(Get_current_profile_id);
        LOAD(Set_button_settings);
        LOAD(Read_profile_data);
        LOAD(Get_number_of_profiles_in_mouse);
        LOAD(Set_lod);
        if (failures == 0) {
            int16_t version = 0;
            CHECK(p_Get_dll_version(&version) == 1 && version == 10);
            CHECK(p_Set_polling_rate(1, 300) == 2);
            CHECK(p_Set_polling_rate(1, 500) == 1);
            CHECK(p_Get_fw_version(&version) == 1 && version == 105);

            uint8_t profile = 0;
            CHECK(p_Set_current_profile_id(3) == 1);
            CHECK(p_Get_current_profile_id(&profile) == 1 && profile == 3);
            char *active = ctl("active");
            CHECK(active && strcmp(active, "2\n") == 0);
            free(active);

            VelaButtonSettings key;
            memset(&key, 0, sizeof(key));
            key.button = 1;
            key.family = 18;
            key.key_code = 'A';
            CHECK(p_Set_button_settings(1, &key) == 1);

            static VelaProfileData data;
            static uint8_t blocks[6][1024];
            CHECK(p_Read_profile_data(1, &data, blocks) == 1);
            CHECK(data.polling_rate == 500);
            CHECK(data.buttons[0].family == 18 && data.buttons[0].key_code == 'A');

            uint8_t count = 0;
            CHECK(p_Get_number_of_profiles_in_mouse(&count) == 1 && count == 5);

            char *log = ctl("log");
            CHECK(log && strstr(log, " set a1 0d 01 00 00 01 02\n"));
            CHECK(log && strstr(log, " set a1 0a 00 00 00 01 01 00 00 00 00 00 00 00 00 00 02 00 04 00 00 00 0f\n"));
            free(log);

            free(ctl("unplug"));
            CHECK(p_Set_lod(1, 1) == 20);
            free(ctl("plug"));
            CHECK(p_Set_lod(1, 1) == 1);
        }
        dlclose(lib);
    }

    kill(mouse, SIGTERM);
    int status = 0;
    waitpid(mouse, &status, 0);
    CHECK(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    rmdir(folder);
    if (failures)
        fprintf(stderr, "%d checks failed\n", failures);
    return failures ? 1 : 0;
}
