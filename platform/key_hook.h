#pragma once
// The keyboard hook: every key press and release the application receives is
// reported, as a Windows virtual-key code, to one target object, the way the
// low-level hook posted WM_HOOK_EVENT. Keys are never consumed.
#include <Qt>

#include <cstdint>

class QKeyEvent;
class QObject;

namespace vela {

// The report's message number (wParam = virtual-key code, lParam = flag below).
constexpr int WM_HOOK_EVENT = 0x4A8;
constexpr int kKeyPressed = 0;
constexpr int kKeyReleased = 0x80;

// Receives the reports. The object given to InstallKeyHook must also be a KeyHookSink.
class KeyHookSink {
public:
    virtual ~KeyHookSink() = default;
    // Called from the UI thread's event loop (posted, never inside the key
    // event's own delivery). vkCode 1-254; flag kKeyPressed or kKeyReleased.
    virtual void onKeyHookEvent(int vkCode, int flag) = 0;
};

// Where hook installs go. The default is the application-wide event filter.
class KeyHookBackend {
public:
    virtual ~KeyHookBackend() = default;
    // Installs the hook for `target` (replacing the previous target). Returns
    // false when it cannot: no QApplication, not on its thread, or `target` is
    // null or not a KeyHookSink.
    virtual bool install(QObject *target) = 0;
    // Removes the hook; harmless when none is installed.
    virtual void remove() = 0;
    // The current target, or null (also when the target was destroyed).
    virtual QObject *target() const = 0;
};

// The hook slot of the process: one hook at a time, its target replaced by each
// install. The hook sees a key event before every widget and every application
// event filter installed before the last InstallKeyHook, and never consumes it.
// Keys are those the application receives (its windows have the focus); keys
// taken by a QShortcut never reach it. UI thread only.
bool InstallKeyHook(QObject *target);
void RemoveKeyHook();
QObject *KeyHookTarget();

// Replaces the backend (not owned); nullptr restores the application hook.
void SetKeyHookBackend(KeyHookBackend *backend);

// Posts one report to `target` (a KeyHookSink); dropped when the target is
// destroyed before the event loop gets to it. Any thread.
void PostKeyHookEvent(QObject *target, int vkCode, int flag);

// Windows virtual-key code for a Qt key, or 0 when there is none. Keypad keys
// (KeypadModifier) map to the VK_NUMPAD codes and the keypad signs. Printable
// keys follow the US layout, so shifted signs give their unshifted key ("!" → '1',
// "{" → VK_OEM_4). Shift, Control, Alt and the Windows key give their left
// code; VirtualKeyForEvent tells the sides apart. Plain function.
int VirtualKeyFromQtKey(int qtKey, Qt::KeyboardModifiers modifiers);

// For a modifier key, the side given by the X11 keysym (Shift_R, Control_R,
// Alt_R, ISO_Level3_Shift, Super_R, Meta_R ...) or, failing that, by the X11
// (evdev + 8) key code: +1 right, -1 left, 0 unknown. Plain function.
int ModifierSide(uint32_t nativeKeysym, uint32_t nativeScanCode);

// The code to report for a key event's data: VirtualKeyFromQtKey, with the
// right-hand modifier codes where ModifierSide says right. Plain function.
int VirtualKeyForKey(int qtKey, Qt::KeyboardModifiers modifiers, uint32_t nativeKeysym,
                     uint32_t nativeScanCode);
int VirtualKeyForEvent(const QKeyEvent &event);

} // namespace vela
