#include "platform/key_hook.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <atomic>
#include <utility>

namespace vela {
namespace {

// Windows virtual-key codes used below.
enum : int {
    VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1, VK_LCONTROL = 0xA2, VK_RCONTROL = 0xA3,
    VK_LMENU = 0xA4, VK_RMENU = 0xA5, VK_LWIN = 0x5B, VK_RWIN = 0x5C,
    VK_NUMPAD0 = 0x60, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B, VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F, VK_F1 = 0x70,
    VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD,
    VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF, VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB,
    VK_OEM_5 = 0xDC, VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE,
};

// Keys whose code does not follow a range rule.
constexpr std::pair<int, int> kNamedKeys[] = {
    {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09}, {Qt::Key_Backtab, 0x09},
    {Qt::Key_Clear, 0x0C}, {Qt::Key_Return, 0x0D}, {Qt::Key_Enter, 0x0D},
    {Qt::Key_Pause, 0x13}, {Qt::Key_CapsLock, 0x14}, {Qt::Key_Escape, 0x1B},
    {Qt::Key_Space, 0x20}, {Qt::Key_PageUp, 0x21}, {Qt::Key_PageDown, 0x22},
    {Qt::Key_End, 0x23}, {Qt::Key_Home, 0x24}, {Qt::Key_Left, 0x25}, {Qt::Key_Up, 0x26},
    {Qt::Key_Right, 0x27}, {Qt::Key_Down, 0x28}, {Qt::Key_Select, 0x29},
    {Qt::Key_Printer, 0x2A}, {Qt::Key_Execute, 0x2B}, {Qt::Key_Print, 0x2C},
    {Qt::Key_SysReq, 0x2C}, {Qt::Key_Insert, 0x2D}, {Qt::Key_Delete, 0x2E},
    {Qt::Key_Help, 0x2F},
    {Qt::Key_Meta, VK_LWIN}, {Qt::Key_Super_L, VK_LWIN}, {Qt::Key_Super_R, VK_RWIN},
    {Qt::Key_Menu, 0x5D}, {Qt::Key_Sleep, 0x5F},
    {Qt::Key_NumLock, 0x90}, {Qt::Key_ScrollLock, 0x91},
    {Qt::Key_Shift, VK_LSHIFT}, {Qt::Key_Control, VK_LCONTROL}, {Qt::Key_Alt, VK_LMENU},
    {Qt::Key_AltGr, VK_RMENU},
    {Qt::Key_Back, 0xA6}, {Qt::Key_Forward, 0xA7}, {Qt::Key_Refresh, 0xA8},
    {Qt::Key_Stop, 0xA9}, {Qt::Key_Search, 0xAA}, {Qt::Key_Favorites, 0xAB},
    {Qt::Key_HomePage, 0xAC}, {Qt::Key_VolumeMute, 0xAD}, {Qt::Key_VolumeDown, 0xAE},
    {Qt::Key_VolumeUp, 0xAF}, {Qt::Key_MediaNext, 0xB0}, {Qt::Key_MediaPrevious, 0xB1},
    {Qt::Key_MediaStop, 0xB2}, {Qt::Key_MediaPlay, 0xB3}, {Qt::Key_MediaTogglePlayPause, 0xB3},
    {Qt::Key_MediaPause, 0xB3}, {Qt::Key_LaunchMail, 0xB4}, {Qt::Key_LaunchMedia, 0xB5},
    {Qt::Key_Launch0, 0xB6}, {Qt::Key_Launch1, 0xB7},
    // Main-keyboard signs, shifted or not, on the US layout.
    {Qt::Key_Semicolon, VK_OEM_1}, {Qt::Key_Colon, VK_OEM_1},
    {Qt::Key_Equal, VK_OEM_PLUS}, {Qt::Key_Plus, VK_OEM_PLUS},
    {Qt::Key_Comma, VK_OEM_COMMA}, {Qt::Key_Less, VK_OEM_COMMA},
    {Qt::Key_Minus, VK_OEM_MINUS}, {Qt::Key_Underscore, VK_OEM_MINUS},
    {Qt::Key_Period, VK_OEM_PERIOD}, {Qt::Key_Greater, VK_OEM_PERIOD},
    {Qt::Key_Slash, VK_OEM_2}, {Qt::Key_Question, VK_OEM_2},
    {Qt::Key_QuoteLeft, VK_OEM_3}, {Qt::Key_AsciiTilde, VK_OEM_3},
    {Qt::Key_BracketLeft, VK_OEM_4}, {Qt::Key_BraceLeft, VK_OEM_4},
    {Qt::Key_Backslash, VK_OEM_5}, {Qt::Key_Bar, VK_OEM_5},
    {Qt::Key_BracketRight, VK_OEM_6}, {Qt::Key_BraceRight, VK_OEM_6},
    {Qt::Key_Apostrophe, VK_OEM_7}, {Qt::Key_QuoteDbl, VK_OEM_7},
    // Shifted digits.
    {Qt::Key_Exclam, '1'}, {Qt::Key_At, '2'}, {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'}, {Qt::Key_Percent, '5'}, {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'}, {Qt::Key_Asterisk, '8'}, {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
};

// Keypad signs; they win over the main-keyboard meaning of the same Qt key.
constexpr std::pair<int, int> kKeypadSigns[] = {
    {Qt::Key_Asterisk, VK_MULTIPLY}, {Qt::Key_Plus, VK_ADD}, {Qt::Key_Minus, VK_SUBTRACT},
    {Qt::Key_Period, VK_DECIMAL}, {Qt::Key_Comma, VK_DECIMAL}, {Qt::Key_Slash, VK_DIVIDE},
};

// X11 keysyms of the modifier keys, with their side.
constexpr std::pair<uint32_t, int> kModifierKeysyms[] = {
    {0xffe1, -1}, {0xffe2, +1},  // Shift_L, Shift_R
    {0xffe3, -1}, {0xffe4, +1},  // Control_L, Control_R
    {0xffe7, -1}, {0xffe8, +1},  // Meta_L, Meta_R
    {0xffe9, -1}, {0xffea, +1},  // Alt_L, Alt_R
    {0xffeb, -1}, {0xffec, +1},  // Super_L, Super_R
    {0xffed, -1}, {0xffee, +1},  // Hyper_L, Hyper_R
    {0xfe03, +1},                // ISO_Level3_Shift (AltGr)
};

// X11 key codes (evdev + 8) of the modifier keys, with their side.
constexpr std::pair<uint32_t, int> kModifierKeycodes[] = {
    {50, -1}, {62, +1},    // shifts
    {37, -1}, {105, +1},   // controls
    {64, -1}, {108, +1},   // alts
    {133, -1}, {134, +1},  // Windows keys
};

template <typename Table, typename Key>
int lookup(const Table &table, Key key)
{
    for (const auto &[from, to] : table)
        if (from == key)
            return to;
    return 0;
}

// The application-wide hook: an event filter on the application object.
class AppKeyHook final : public QObject, public KeyHookBackend {
public:
    bool install(QObject *target) override
    {
        QCoreApplication *app = QCoreApplication::instance();
        if (!app || QThread::currentThread() != app->thread() || !target
            || !dynamic_cast<KeyHookSink *>(target))
            return false;
        // The newest application filter sees events first: re-installing puts
        // the hook ahead of filters that consume keys (a pop-up dropping its
        // own keys must not hide them from the hook it installs).
        app->removeEventFilter(this);
        app->installEventFilter(this);
        installed_ = true;
        target_ = target;
        return true;
    }
    void remove() override
    {
        if (installed_ && QCoreApplication::instance())
            QCoreApplication::instance()->removeEventFilter(this);
        installed_ = false;
        target_ = nullptr;
        last_ = {};
    }
    QObject *target() const override { return target_.data(); }

protected:
    bool eventFilter(QObject *receiver, QEvent *event) override
    {
        QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if (isSameDelivery(receiver, *key))
            return false;
        // X11 auto-repeat sends release/press pairs; keeping only the presses
        // gives the repeated presses of a held key that recording expects.
        if (type == QEvent::KeyRelease && key->isAutoRepeat())
            return false;
        int vk = VirtualKeyForEvent(*key);
        if (vk > 0 && target_)
            PostKeyHookEvent(target_, vk, type == QEvent::KeyRelease ? kKeyReleased : kKeyPressed);
        return false;
    }

private:
    // What identifies one key event while Qt hands it along.
    struct Seen {
        const QEvent *event = nullptr;
        QPointer<QObject> receiver;
        QEvent::Type type = QEvent::None;
        int key = 0;
        quint32 scanCode = 0;
        quint64 timestamp = 0;
        bool autoRepeat = false;
    };

    // Qt shows one key event to the application filter once per step of its
    // delivery: the window, then the focus widget, then each parent that lets
    // it through. Only the first step counts. A later step has the same event
    // object and data and goes to a widget of the window that had it before,
    // or to a parent of the widget that had it before.
    bool isSameDelivery(QObject *receiver, const QKeyEvent &key)
    {
        Seen now{&key, receiver, key.type(), key.key(), key.nativeScanCode(), key.timestamp(),
                 key.isAutoRepeat()};
        bool same = false;
        QObject *before = last_.receiver.data();
        if (before && before != receiver && last_.event == now.event && last_.type == now.type
            && last_.key == now.key && last_.scanCode == now.scanCode
            && last_.timestamp == now.timestamp && last_.autoRepeat == now.autoRepeat) {
            auto *widget = qobject_cast<QWidget *>(receiver);
            if (auto *window = qobject_cast<QWindow *>(before))
                same = widget && widget->window()->windowHandle() == window;
            else if (auto *previous = qobject_cast<QWidget *>(before))
                same = widget && widget->isAncestorOf(previous);
        }
        last_ = now;
        return same;
    }

    bool installed_ = false;
    QPointer<QObject> target_;
    Seen last_;
};

AppKeyHook &appKeyHook()
{
    static AppKeyHook hook;
    return hook;
}

std::atomic<KeyHookBackend *> g_backend{nullptr};

KeyHookBackend &backend()
{
    KeyHookBackend *b = g_backend.load();
    return b ? *b : appKeyHook();
}

} // namespace

bool InstallKeyHook(QObject *target)
{
    return backend().install(target);
}

void RemoveKeyHook()
{
    backend().remove();
}

QObject *KeyHookTarget()
{
    return backend().target();
}

void SetKeyHookBackend(KeyHookBackend *b)
{
    g_backend.store(b);
}

void PostKeyHookEvent(QObject *target, int vkCode, int flag)
{
    if (!target)
        return;
    QPointer<QObject> guard(target);
    QMetaObject::invokeMethod(
        target,
        [guard, vkCode, flag] {
            if (auto *sink = dynamic_cast<KeyHookSink *>(guard.data()))
                sink->onKeyHookEvent(vkCode, flag);
        },
        Qt::QueuedConnection);
}

int VirtualKeyFromQtKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return keypad ? VK_NUMPAD0 + (qtKey - Qt::Key_0) : '0' + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return 'A' + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return VK_F1 + (qtKey - Qt::Key_F1);
    if (keypad) {
        if (int vk = lookup(kKeypadSigns, qtKey))
            return vk;
    }
    return lookup(kNamedKeys, qtKey);
}

int ModifierSide(uint32_t nativeKeysym, uint32_t nativeScanCode)
{
    if (int side = lookup(kModifierKeysyms, nativeKeysym))
        return side;
    return lookup(kModifierKeycodes, nativeScanCode);
}

int VirtualKeyForKey(int qtKey, Qt::KeyboardModifiers modifiers, uint32_t nativeKeysym,
                     uint32_t nativeScanCode)
{
    int vk = VirtualKeyFromQtKey(qtKey, modifiers);
    if (vk == VK_LSHIFT || vk == VK_LCONTROL || vk == VK_LMENU || vk == VK_LWIN) {
        if (ModifierSide(nativeKeysym, nativeScanCode) > 0)
            return vk == VK_LWIN ? VK_RWIN : vk + 1;
    }
    return vk;
}

int VirtualKeyForEvent(const QKeyEvent &event)
{
    return VirtualKeyForKey(event.key(), event.modifiers(), event.nativeVirtualKey(),
                            event.nativeScanCode());
}

} // namespace vela
