#pragma once
// The menus' mouse hook: one application-wide event filter that reports every
// mouse-button message (not movement, not the wheel) to the object it points
// at, posted as the low-level hook's WM_HOOK_EVENT would be. Events always go
// on to their receivers. UI thread only.
#include <QPoint>

class QObject;

namespace vela {

// Mouse message numbers carried by the reports.
enum MouseMessage : int {
    kLButtonDown = 0x201, kLButtonUp = 0x202, kLButtonDblClk = 0x203,
    kRButtonDown = 0x204, kRButtonUp = 0x205, kRButtonDblClk = 0x206,
    kMButtonDown = 0x207, kMButtonUp = 0x208, kMButtonDblClk = 0x209,
    kXButtonDown = 0x20B, kXButtonUp = 0x20C, kXButtonDblClk = 0x20D,
};

// Receives the reports. The object passed to MouseHookPointAt must also be a
// MouseHookSink.
class MouseHookSink {
public:
    virtual ~MouseHookSink() = default;
    // Called from the event loop (posted), with the pointer's screen position.
    virtual void onMouseHookEvent(int mouseMessage, QPoint globalPos) = 0;
};

// Points the hook at target, installing it when it is not installed. Pointing
// it elsewhere never installs a second one. A destroyed target gets nothing.
void MouseHookPointAt(QObject *target);
// Removes the hook (no-op when it is not installed).
void MouseHookRemove();
bool MouseHookInstalled();
// The object the hook reports to, or null.
QObject *MouseHookTarget();

} // namespace vela
