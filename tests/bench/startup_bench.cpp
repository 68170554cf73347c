// Start-up of the program, from process start to its main window shown, next
// to an empty frameless 1024 x 576 Qt window measured the same way in the
// same run, under a private Xvfb with no mouse attached.
//
//   bench_startup [RUNS]   (default 7; prints the medians and their ratio)
//
// "Shown" is the moment the X server has the window mapped, seen by polling
// the server every millisecond from here, the same way for both programs.
#include "tests/support/xvfb_server.h"

#include <QProcess>
#include <QTemporaryDir>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

namespace {

bool MappedWindowNamed(Display *d, Window w, const char *title)
{
    char *name = nullptr;
    if (XFetchName(d, w, &name) && name) {
        const bool same = std::strcmp(name, title) == 0;
        XFree(name);
        if (same) {
            XWindowAttributes a;
            if (XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable)
                return true;
        }
    }
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    bool found = false;
    if (XQueryTree(d, w, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i)
            found = MappedWindowNamed(d, children[i], title);
        if (children)
            XFree(children);
    }
    return found;
}

// Milliseconds from start to the window mapped; -1 after 20 s.
double TimeToShown(const std::string &display, const QString &program, const QStringList &args,
                   const char *title)
{
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", QString::fromStdString(display));
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.path() + "/config");
    env.insert("XDG_RUNTIME_DIR", home.path());
    env.insert("VELA_VIRTUAL_MOUSE", home.path() + "/no-mouse.sock");
    env.insert("GSETTINGS_BACKEND", "memory");
    Display *d = XOpenDisplay(display.c_str());
    if (!d)
        return -1;
    QProcess p;
    p.setProcessEnvironment(env);
    const auto start = std::chrono::steady_clock::now();
    p.start(program, args);
    double ms = -1;
    while (true) {
        const double now = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (now > 20000)
            break;
        if (MappedWindowNamed(d, DefaultRootWindow(d), title)) {
            ms = now;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    XCloseDisplay(d);
    p.terminate();
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(5000);
    }
    return ms;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    vela::test::XvfbServer xvfb({"-screen", "0", "1280x800x24"});
    if (xvfb.display().empty()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    const QString bin = QStringLiteral(VELA_BIN_DIR);
    std::vector<double> empty, program;
    for (int i = 0; i < runs; ++i) {
        // Interleaved, so both see the same machine load.
        empty.push_back(TimeToShown(xvfb.display(), QStringLiteral(VELA_TESTS_DIR "/bench_empty_window"),
                                    {"empty window"}, "empty window"));
        program.push_back(TimeToShown(xvfb.display(), bin + "/vela-pro-software", {}, "Vela PRO Software"));
    }
    const double e = Median(empty), p = Median(program);
    std::printf("empty frameless window: %.1f ms (median of %d)\n", e, runs);
    std::printf("vela-pro-software:      %.1f ms (median of %d)\n", p, runs);
    std::printf("ratio: %.2f (goal: 2.5 or less)\n", e > 0 ? p / e : 0.0);
    return e > 0 && p > 0 ? 0 : 1;
}
