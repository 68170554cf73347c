#pragma once
// Pointer settings of the desktop: double-click time, pointer speed, wheel
// lines and acceleration, written by Apply from the current profile's values.
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace vela {

// The profile fields the settings come from (names as in ProfileRecord).
struct PointerValues {
    int doubleClickSpeed = 800;  // 200-1400, step 200
    int pointerSpeed = 6;        // 1-11
    int scrollByLines = 1;       // non-zero: wheel lines = scrollLines
    int scrollByPage = 0;        // non-zero (and not by lines): a screen per notch
    int scrollLines = 2;         // 1-6
    int enhancePrecision = 0;    // non-zero: acceleration on
    int accelerationIndex = 1;   // 1-3
};

// Wheel lines that mean "one screen per notch".
constexpr uint32_t kWheelPageScroll = 0xFFFFFFFFu;

// The acceleration written for an on/off state and a level.
struct Acceleration {
    bool enabled = false;
    // The Windows triple (first threshold, second threshold, acceleration):
    // beyond threshold1 mickeys per report the pointer moves twice as far and,
    // with acceleration 2, beyond threshold2 four times as far.
    int threshold1 = 0;
    int threshold2 = 0;
    int acceleration = 0;
    // The X server's core pointer control: movement beyond xThreshold pixels
    // is multiplied by xNumerator / xDenominator.
    int xNumerator = 1;
    int xDenominator = 1;
    int xThreshold = 0;
    bool operator==(const Acceleration &) const = default;
};

// 1600 - doubleClickSpeed ms, the speed first kept within 200-1400 so a bad
// file cannot give a zero or negative time. Plain function.
int DoubleClickTimeMs(int doubleClickSpeed);
// The Windows speed 1-20 from pointerSpeed v: 2v when v <= 1, else 2v - 2,
// kept within 1-20. Plain function.
int WindowsMouseSpeed(int pointerSpeed);
// The Windows speed s mapped onto GNOME's -1 ... 1 as (s - 10) / 10, clamped.
double GnomePointerSpeed(int windowsSpeed);
// scrollLines (kept within 1-100) when scrollByLines, else kWheelPageScroll
// when scrollByPage, else nothing to write. Plain function.
std::optional<uint32_t> WheelScrollLines(const PointerValues &values);
// Off: all zero and 1/1 with threshold 0 (no acceleration). On, by level
// (below 1 counts as 1, above 3 as 3):
//   level 1: Windows 6, 10, 1   X11 3/2 beyond 6 px  (gentle, the Windows default)
//   level 2: Windows 4, 8, 1    X11 2/1 beyond 4 px
//   level 3: Windows 2, 6, 2    X11 3/1 beyond 2 px  (strong)
Acceleration AccelerationFor(int enhancePrecision, int accelerationIndex);

// The four system-parameter writes, in the order Apply makes them.
class PointerSystem {
public:
    virtual ~PointerSystem() = default;
    virtual void setDoubleClickTime(int ms) = 0;
    virtual void setMouseSpeed(int windowsSpeed) = 0;      // 1-20
    virtual void setWheelScrollLines(uint32_t lines) = 0;  // or kWheelPageScroll
    virtual void setAcceleration(const Acceleration &acceleration) = 0;
};

// Writes `values` through `system`: double-click time, speed, wheel lines
// (skipped when WheelScrollLines gives nothing), acceleration. Same thread as
// the system's calls; the desktop system below works from any thread.
void ApplyPointerSettings(const PointerValues &values, PointerSystem &system);

// GNOME: GSettings schema org.gnome.desktop.peripherals.mouse through GIO:
// "double-click" (ms), "speed" (GnomePointerSpeed), "accel-profile" ('flat'
// when off, 'adaptive' when on). GNOME keeps no wheel lines. Does nothing when
// the schema (or a key) is not installed. Values are flushed to the settings
// backend before each call returns. Any thread.
class GnomePointerSystem final : public PointerSystem {
public:
    static bool available();
    void setDoubleClickTime(int ms) override;
    void setMouseSpeed(int windowsSpeed) override;
    void setWheelScrollLines(uint32_t) override {}
    void setAcceleration(const Acceleration &acceleration) override;
};

// X11: the core pointer's acceleration (XChangePointerControl) on the display
// named `display` (empty: $DISPLAY). Only the acceleration exists there; each
// call opens and closes its own connection, so it works from any thread and
// does nothing when no display can be opened.
class X11PointerSystem final : public PointerSystem {
public:
    explicit X11PointerSystem(QString display = QString()) : display_(std::move(display)) {}
    static bool available();  // $DISPLAY set
    void setDoubleClickTime(int) override {}
    void setMouseSpeed(int) override {}
    void setWheelScrollLines(uint32_t) override {}
    void setAcceleration(const Acceleration &acceleration) override;

private:
    QString display_;
};

// KDE Plasma: wheel lines as WheelScrollLines in "<configFolder>/kcminputrc"
// group [Mouse] and in "<configFolder>/kdeglobals" group [KDE] (where Plasma's
// Qt integration reads it). Other entries of the files are kept; files are
// replaced atomically. A screen per notch has no KDE entry and is not written.
class KdePointerSystem final : public PointerSystem {
public:
    explicit KdePointerSystem(QString configFolder) : folder_(std::move(configFolder)) {}
    static bool available();  // XDG_CURRENT_DESKTOP names KDE
    void setDoubleClickTime(int) override {}
    void setMouseSpeed(int) override {}
    void setWheelScrollLines(uint32_t lines) override;
    void setAcceleration(const Acceleration &) override {}

private:
    QString folder_;
};

// The running desktop's settings: every one of GNOME, X11 and KDE that is
// available at the time of the call (checked on each call). Any thread.
PointerSystem &DesktopPointerSystem();

// Sets key=value in [group] of INI-style text, keeping every other line as it
// is: replaces the first "key=" line of the group (blanks around '=' allowed),
// or adds the line at the group's end, or adds the group at the end of the
// text. Plain function.
QString SetIniEntry(const QString &text, const QString &group, const QString &key,
                    const QString &value);

} // namespace vela
