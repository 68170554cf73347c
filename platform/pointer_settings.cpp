// GLib's headers use "signals" as a name, which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include "platform/pointer_settings.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <X11/Xlib.h>

#include <algorithm>

namespace vela {
namespace {

constexpr char kMouseSchema[] = "org.gnome.desktop.peripherals.mouse";
// Config files larger than this are not ours to rewrite.
constexpr qint64 kMaxConfigBytes = 1 << 20;

GSettingsSchema *lookupMouseSchema()
{
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    return source ? g_settings_schema_source_lookup(source, kMouseSchema, TRUE) : nullptr;
}

// Writes one key when the schema has it and the value is in its range; takes
// ownership of a floating `value`.
void writeGnomeKey(const char *key, GVariant *value)
{
    g_variant_ref_sink(value);
    if (GSettingsSchema *schema = lookupMouseSchema()) {
        if (g_settings_schema_has_key(schema, key)) {
            GSettingsSchemaKey *schemaKey = g_settings_schema_get_key(schema, key);
            bool fits = g_variant_is_of_type(value, g_settings_schema_key_get_value_type(schemaKey))
                        && g_settings_schema_key_range_check(schemaKey, value);
            g_settings_schema_key_unref(schemaKey);
            if (fits) {
                GSettings *settings = g_settings_new_full(schema, nullptr, nullptr);
                g_settings_set_value(settings, key, value);
                g_settings_sync();
                g_object_unref(settings);
            }
        }
        g_settings_schema_unref(schema);
    }
    g_variant_unref(value);
}

bool readWhole(const QString &path, QString *text)
{
    QFile file(path);
    if (!file.exists()) {
        text->clear();
        return true;
    }
    if (file.size() > kMaxConfigBytes || !file.open(QIODevice::ReadOnly))
        return false;
    *text = QString::fromUtf8(file.readAll());
    return true;
}

void setConfigEntry(const QString &path, const QString &group, const QString &key,
                    const QString &value)
{
    QString text;
    // A file we cannot read is left alone rather than replaced by our one line.
    if (!readWhole(path, &text))
        return;
    QString updated = SetIniEntry(text, group, key, value);
    if (updated == text)
        return;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return;
    out.write(updated.toUtf8());
    out.commit();
}

class DesktopSystem final : public PointerSystem {
public:
    void setDoubleClickTime(int ms) override
    {
        forEach([&](PointerSystem &s) { s.setDoubleClickTime(ms); });
    }
    void setMouseSpeed(int windowsSpeed) override
    {
        forEach([&](PointerSystem &s) { s.setMouseSpeed(windowsSpeed); });
    }
    void setWheelScrollLines(uint32_t lines) override
    {
        forEach([&](PointerSystem &s) { s.setWheelScrollLines(lines); });
    }
    void setAcceleration(const Acceleration &acceleration) override
    {
        forEach([&](PointerSystem &s) { s.setAcceleration(acceleration); });
    }

private:
    template <typename F>
    void forEach(F call)
    {
        if (GnomePointerSystem::available()) {
            GnomePointerSystem gnome;
            call(gnome);
        }
        if (X11PointerSystem::available()) {
            X11PointerSystem x11;
            call(x11);
        }
        if (KdePointerSystem::available()) {
            QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
            if (!config.startsWith(u'/'))
                config = qEnvironmentVariable("HOME") + QStringLiteral("/.config");
            KdePointerSystem kde(config);
            call(kde);
        }
    }
};

} // namespace

int DoubleClickTimeMs(int doubleClickSpeed)
{
    return 1600 - std::clamp(doubleClickSpeed, 200, 1400);
}

int WindowsMouseSpeed(int pointerSpeed)
{
    int speed = pointerSpeed <= 1 ? 2 * pointerSpeed : 2 * pointerSpeed - 2;
    return std::clamp(speed, 1, 20);
}

double GnomePointerSpeed(int windowsSpeed)
{
    return std::clamp((windowsSpeed - 10) / 10.0, -1.0, 1.0);
}

std::optional<uint32_t> WheelScrollLines(const PointerValues &values)
{
    if (values.scrollByLines != 0)
        return static_cast<uint32_t>(std::clamp(values.scrollLines, 1, 100));
    if (values.scrollByPage != 0)
        return kWheelPageScroll;
    return std::nullopt;
}

Acceleration AccelerationFor(int enhancePrecision, int accelerationIndex)
{
    if (enhancePrecision == 0)
        return {};
    switch (std::clamp(accelerationIndex, 1, 3)) {
    case 1:
        return {true, 6, 10, 1, 3, 2, 6};
    case 2:
        return {true, 4, 8, 1, 2, 1, 4};
    default:
        return {true, 2, 6, 2, 3, 1, 2};
    }
}

void ApplyPointerSettings(const PointerValues &values, PointerSystem &system)
{
    system.setDoubleClickTime(DoubleClickTimeMs(values.doubleClickSpeed));
    system.setMouseSpeed(WindowsMouseSpeed(values.pointerSpeed));
    if (std::optional<uint32_t> lines = WheelScrollLines(values))
        system.setWheelScrollLines(*lines);
    system.setAcceleration(AccelerationFor(values.enhancePrecision, values.accelerationIndex));
}

bool GnomePointerSystem::available()
{
    GSettingsSchema *schema = lookupMouseSchema();
    if (!schema)
        return false;
    g_settings_schema_unref(schema);
    return true;
}

void GnomePointerSystem::setDoubleClickTime(int ms)
{
    writeGnomeKey("double-click", g_variant_new_int32(ms));
}

void GnomePointerSystem::setMouseSpeed(int windowsSpeed)
{
    writeGnomeKey("speed", g_variant_new_double(GnomePointerSpeed(windowsSpeed)));
}

void GnomePointerSystem::setAcceleration(const Acceleration &acceleration)
{
    writeGnomeKey("accel-profile", g_variant_new_string(acceleration.enabled ? "adaptive" : "flat"));
}

bool X11PointerSystem::available()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY");
}

void X11PointerSystem::setAcceleration(const Acceleration &acceleration)
{
    QByteArray name = display_.toLocal8Bit();
    Display *display = XOpenDisplay(name.isEmpty() ? nullptr : name.constData());
    if (!display)
        return;
    XChangePointerControl(display, True, True, acceleration.xNumerator, acceleration.xDenominator,
                          acceleration.xThreshold);
    XSync(display, False);
    XCloseDisplay(display);
}

bool KdePointerSystem::available()
{
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':').contains(QStringLiteral("KDE"));
}

void KdePointerSystem::setWheelScrollLines(uint32_t lines)
{
    if (lines == kWheelPageScroll || folder_.isEmpty())
        return;
    QString value = QString::number(lines);
    setConfigEntry(folder_ + QStringLiteral("/kcminputrc"), QStringLiteral("Mouse"),
                   QStringLiteral("WheelScrollLines"), value);
    setConfigEntry(folder_ + QStringLiteral("/kdeglobals"), QStringLiteral("KDE"),
                   QStringLiteral("WheelScrollLines"), value);
}

PointerSystem &DesktopPointerSystem()
{
    static DesktopSystem system;
    return system;
}

QString SetIniEntry(const QString &text, const QString &group, const QString &key,
                    const QString &value)
{
    QStringList lines = text.isEmpty() ? QStringList() : text.split(u'\n');
    bool endsWithNewline = text.endsWith(u'\n');
    if (endsWithNewline)
        lines.removeLast();
    const QString header = u'[' + group + u']';
    const QString entry = key + u'=' + value;
    qsizetype groupStart = -1;
    qsizetype groupEnd = lines.size();  // index of the next group's header
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString trimmed = lines[i].trimmed();
        if (groupStart < 0) {
            if (trimmed == header)
                groupStart = i;
            continue;
        }
        if (trimmed.startsWith(u'[')) {
            groupEnd = i;
            break;
        }
        qsizetype eq = trimmed.indexOf(u'=');
        if (eq > 0 && trimmed.left(eq).trimmed() == key) {
            lines[i] = entry;
            return lines.join(u'\n') + (endsWithNewline ? QStringLiteral("\n") : QString());
        }
    }
    if (groupStart < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines << QString();
        lines << header << entry;
    } else {
        // After the group's last non-blank line, so blank separators stay between groups.
        qsizetype at = groupEnd;
        while (at > groupStart + 1 && lines[at - 1].trimmed().isEmpty())
            --at;
        lines.insert(at, entry);
    }
    return lines.join(u'\n') + u'\n';
}

} // namespace vela
