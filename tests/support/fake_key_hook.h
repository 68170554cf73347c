#pragma once
// A keyboard hook that can refuse to install and lets a test send key reports
// to the installed target. Installed as the hook backend while it lives.
#include "platform/key_hook.h"

#include <QObject>
#include <QPointer>

namespace vela::test {

class FakeKeyHook final : public KeyHookBackend {
public:
    FakeKeyHook() { SetKeyHookBackend(this); }
    ~FakeKeyHook() override { SetKeyHookBackend(nullptr); }

    // When set, every install fails (as a hook the system refuses).
    bool refuse = false;
    int installs = 0;
    int removals = 0;

    bool install(QObject *target) override
    {
        ++installs;
        if (refuse || !target || !dynamic_cast<KeyHookSink *>(target))
            return false;
        target_ = target;
        return true;
    }
    void remove() override
    {
        ++removals;
        target_ = nullptr;
    }
    QObject *target() const override { return target_.data(); }

    // Posts a report to the target, as the real hook does; false without one.
    bool send(int vkCode, int flag)
    {
        if (!target_)
            return false;
        PostKeyHookEvent(target_, vkCode, flag);
        return true;
    }

private:
    QPointer<QObject> target_;
};

} // namespace vela::test
