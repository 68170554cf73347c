// The real desktop writes: GSettings through GIO's keyfile backend in a temp
// config folder, KDE's files there too, and the X server's pointer control on
// a private Xvfb. Nothing touches the settings of the user running the tests.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include "platform/pointer_settings.h"

#include "tests/support/files.h"
#include "tests/support/xvfb_server.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <X11/Xlib.h>


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

QString readText(const QString &path)
{
    return QString::fromUtf8(vela::test::readFile(path));
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
    QString keyfile = readText(g_desktop.file("glib-2.0/settings/keyfile"));
    EXPECT_TRUE(keyfile.contains("[org/gnome/desktop/peripherals/mouse]")) << keyfile.toStdString();
    EXPECT_TRUE(keyfile.contains("double-click=200")) << keyfile.toStdString();
    EXPECT_EQ(readText(g_desktop.file("kcminputrc")), "[Mouse]\nWheelScrollLines=5\n");

    values = {800, 6, 1, 0, 2, 0, 3};
    vela::ApplyPointerSettings(values, vela::DesktopPointerSystem());
    GnomeSettings gnome;
    EXPECT_EQ(gnome.doubleClick(), 800);
    EXPECT_DOUBLE_EQ(gnome.speed(), 0.0);
    EXPECT_EQ(gnome.accelProfile(), "flat");
}

TEST(X11PointerSystem, SetsTheCorePointerAccelerationByLevel)
{
    if (!vela::test::XvfbServer::installed())
        GTEST_SKIP() << "Xvfb is not installed";
    vela::test::XvfbServer server;
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
