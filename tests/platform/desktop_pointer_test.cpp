// The real desktop writes: GSettings through GIO's keyfile backend in a temp
// config folder, KDE's files there too, and the X server's pointer control on
// a private Xvfb. Nothing touches the settings of the user running the tests.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include "platform/pointer_settings.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// GIO reads these once, so they are set before main runs.
struct IsolatedDesktop {
    QTemporaryDir config;
    IsolatedDesktop()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        qputenv("GSETTINGS_BACKEND", "keyfile");
        qputenv("XDG_CURRENT_DESKTOP", "KDE");
        qunsetenv("DISPLAY");
    }
    QString file(const char *name) const { return config.path() + u'/' + QString::fromLatin1(name); }
};
IsolatedDesktop g_desktop;

QString readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

class GnomeSettings {
public:
    GnomeSettings() : settings_(g_settings_new("org.gnome.desktop.peripherals.mouse")) {}
    ~GnomeSettings() { g_object_unref(settings_); }
    int doubleClick() const { return g_settings_get_int(settings_, "double-click"); }
    double speed() const { return g_settings_get_double(settings_, "speed"); }
    QString accelProfile() const
    {
        gchar *text = g_settings_get_string(settings_, "accel-profile");
        QString out = QString::fromUtf8(text);
        g_free(text);
        return out;
    }

private:
    GSettings *settings_;
};

TEST(DesktopPointerSystem, WritesGSettingsAndKdeFiles)
{
    if (!vela::GnomePointerSystem::available())
        GTEST_SKIP() << "schema org.gnome.desktop.peripherals.mouse is not installed";
    vela::PointerValues values{1400, 11, 1, 0, 5, 1, 2};
    vela::ApplyPointerSettings(values, vela::DesktopPointerSystem());
    {
        GnomeSettings gnome;
        EXPECT_EQ(gnome.doubleClick(), 200);
        EXPECT_DOUBLE_EQ(gnome.speed(), 1.0);
        EXPECT_EQ(gnome.accelProfile(), "adaptive");
    }
    QString keyfile = readFile(g_desktop.file("glib-2.0/settings/keyfile"));
    EXPECT_TRUE(keyfile.contains("[org/gnome/desktop/peripherals/mouse]")) << keyfile.toStdString();
    EXPECT_TRUE(keyfile.contains("double-click=200")) << keyfile.toStdString();
    EXPECT_EQ(readFile(g_desktop.file("kcminputrc")), "[Mouse]\nWheelScrollLines=5\n");

    values = {800, 6, 1, 0, 2, 0, 3};
    vela::ApplyPointerSettings(values, vela::DesktopPointerSystem());
    GnomeSettings gnome;
    EXPECT_EQ(gnome.doubleClick(), 800);
    EXPECT_DOUBLE_EQ(gnome.speed(), 0.0);
    EXPECT_EQ(gnome.accelProfile(), "flat");
}

// A private X server for one test, found through -displayfd.
class Xvfb {
public:
    Xvfb()
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            std::string fd = std::to_string(fds[1]);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
                     "640x480x24", static_cast<char *>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c;
        while (::poll(&p, 1, 10000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(fds[0]);
        if (!number.empty())
            display_ = ":" + number;
    }
    ~Xvfb()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    const std::string &display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

TEST(X11PointerSystem, SetsTheCorePointerAccelerationByLevel)
{
    if (std::system("command -v Xvfb >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "Xvfb is not installed";
    Xvfb server;
    ASSERT_FALSE(server.display().empty());
    Display *display = XOpenDisplay(server.display().c_str());
    ASSERT_NE(display, nullptr);
    vela::X11PointerSystem x11(QString::fromStdString(server.display()));
    struct Case {
        int enhance, level, numerator, denominator, threshold;
    } cases[] = {{1, 1, 3, 2, 6}, {1, 2, 2, 1, 4}, {1, 3, 3, 1, 2}, {0, 3, 1, 1, 0}};
    for (const Case &c : cases) {
        x11.setAcceleration(vela::AccelerationFor(c.enhance, c.level));
        int numerator = 0, denominator = 0, threshold = -1;
        XGetPointerControl(display, &numerator, &denominator, &threshold);
        // The server may reduce the fraction; compare the factor.
        EXPECT_EQ(numerator * c.denominator, c.numerator * denominator) << c.level;
        EXPECT_EQ(threshold, c.threshold) << c.level;
    }
    XCloseDisplay(display);

    // No display to talk to: nothing happens, nothing hangs.
    vela::X11PointerSystem(QStringLiteral(":999")).setAcceleration(vela::AccelerationFor(1, 1));
}

} // namespace
