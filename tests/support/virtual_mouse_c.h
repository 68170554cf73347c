/* For the C tests of the library: CHECK, and a vela-virtual-mouse started on
 * a socket of the test's own (startMouse waits for "ready", at most five
 * seconds) and driven with ctl. Set mouseBinary and socketPath first.
 * Header-only: each test is one C file. */
#ifndef VELA_TEST_VIRTUAL_MOUSE_C_H
#define VELA_TEST_VIRTUAL_MOUSE_C_H
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


/* p_NAME: the export NAME looked up in the library handle lib. */
#define LOAD(name) __typeof__(name) *p_##name = (__typeof__(name) *)dlsym(lib, #name); CHECK(p_##name != NULL)

#endif
