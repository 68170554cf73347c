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

static int failures = 0;
static const char *mouseBinary;
static char socketPath[256];

#define CHECK(cond)                                                        \
    do {                                                                   \
        if (!(cond)) {                                                     \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            ++failures;                                                    \
        }                                                                  \
    } while (0)

/* Runs "ctl COMMAND" and returns its output (caller frees), or NULL. */
static char *ctl(const char *command)
{
    char line[512];
    snprintf(line, sizeof(line), "'%s' ctl --socket '%s' %s", mouseBinary, socketPath, command);
    FILE *p = popen(line, "r");
    if (!p)
        return NULL;
    size_t size = 0, used = 0;
    char *out = NULL;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), p)) > 0) {
        if (used + n + 1 > size) {
            size = (used + n + 1) * 2;
            out = realloc(out, size);
        }
        memcpy(out + used, chunk, n);
        used += n;
    }
    if (out)
        out[used] = '\0';
    return pclose(p) == 0 ? (out ? out : strdup("")) : (free(out), NULL);
}

static pid_t startMouse(void)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        execl(mouseBinary, mouseBinary, "serve", "--socket", socketPath, (char *)NULL);
        _exit(127);
    }
    close(fds[1]);
    char buffer[64] = {0};
    size_t used = 0;
    struct pollfd p = {fds[0], POLLIN, 0};
    /* Bounded: five seconds for "ready". */
    while (used < sizeof(buffer) - 1 && !strstr(buffer, "ready") && poll(&p, 1, 5000) > 0) {
        ssize_t n = read(fds[0], buffer + used, sizeof(buffer) - 1 - used);
        if (n <= 0)
            break;
        used += (size_t)n;
    }
    close(fds[0]);
    if (!strstr(buffer, "ready")) {
        kill(pid, SIGKILL);
        waitpid(pid, NULL, 0);
        return -1;
    }
    return pid;
}

#define LOAD(name) __typeof__(name) *p_##name = (__typeof__(name) *)dlsym(lib, #name); CHECK(p_##name != NULL)

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
