#pragma once
// Records the pointer-setting writes in order, as text such as
// "double-click 800", "speed 10", "wheel 3", "accel 6,10,1".
#include "platform/pointer_settings.h"

#include <QString>
#include <QStringList>

namespace vela::test {

class RecordingPointerSystem final : public PointerSystem {
public:
    QStringList calls;
    Acceleration lastAcceleration;

    void setDoubleClickTime(int ms) override { calls << QStringLiteral("double-click %1").arg(ms); }
    void setMouseSpeed(int speed) override { calls << QStringLiteral("speed %1").arg(speed); }
    void setWheelScrollLines(uint32_t lines) override { calls << QStringLiteral("wheel %1").arg(lines); }
    void setAcceleration(const Acceleration &a) override
    {
        lastAcceleration = a;
        calls << QStringLiteral("accel %1,%2,%3").arg(a.threshold1).arg(a.threshold2).arg(a.acceleration);
    }
};

} // namespace vela::test
