#pragma once
// What every skinned control shares: the look states, the kit's fonts and
// colours, the text helper, image choice and the notification channel to the
// parent (a synchronous call, see SendSysCommand).
// Every class and function of the kit is for the UI thread only; sizes and
// positions are pixels, rectangles in the control's client coordinates.
#include "platform/key_hook.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>

class QPainter;
class QWidget;

namespace vela::ui {

// Look states of a control.
enum Look : int { LookNormal = 0, LookHover = 1, LookPressed = 2, LookDisabled = 3 };
// Sliders use look 3 as "locked", set by their owner.
constexpr int LookLocked = 3;

// Private codes of the notification channel (first parameter).
constexpr int CMD_POPUP_TOPMOST = 2234;    // a skinned menu is closing: 1 before hiding, 0 after
constexpr int CMD_MACRO_SELECTED = 103;
constexpr int CMD_MACRO_DELETED = 104;
constexpr int CMD_SCROLL_TO_ROW = 110;
constexpr int CMD_EVENT_DELETED = 114;
constexpr int CMD_SHOW_ROW = 115;
constexpr int CMD_START_RECORDING = 116;
// Second parameter of an edit's text-change notification.
constexpr intptr_t EDIT_TEXT_CHANGED = 102;
// Second parameter of a static's double-click notification.
constexpr intptr_t STATIC_DOUBLE_CLICK = 1;
// The hooks' private message is vela::WM_HOOK_EVENT (platform/key_hook.h);
// the menus' mouse hook reports with it too.

// A window that takes notifications from its controls. Every control, page or
// dialog that gets CMD_POPUP_TOPMOST and does not act on it passes it on to
// its own parent unchanged (ForwardTopmost), so it reaches the main window.
class SysCommandTarget {
public:
    virtual ~SysCommandTarget() = default;
    // Called synchronously on the UI thread. idOrCode is the sender's control
    // id or a private code; value is the sender's value.
    virtual void onSysCommand(int idOrCode, intptr_t value) = 0;
};

// Delivers (idOrCode, value) to `to`, or to its nearest ancestor that is a
// SysCommandTarget; nothing happens when there is none. UI thread only.
void SendSysCommand(QWidget *to, int idOrCode, intptr_t value);
// Sends to the parent of `from` (the usual control → parent report).
void NotifyParent(QWidget *from, int idOrCode, intptr_t value);

// The control id a skinned control reports with (its dialog item id).
class NexControl {
public:
    int controlId() const { return id_; }
    void setControlId(int id) { id_ = id; }

private:
    int id_ = 0;
};

// The slider notification's value: value in the low 16 bits, thumb in the high 16.
constexpr intptr_t SliderNotifyValue(int value, int thumb)
{
    return static_cast<intptr_t>((static_cast<uint32_t>(value) & 0xFFFFu) |
                                 (static_cast<uint32_t>(thumb) << 16));
}

// Kit colours: ARGB values as 0xAARRGGBB; COLORREF values as 0x00BBGGRR.
constexpr uint32_t ARGB_BUTTON_TEXT = 0xFFD2D2D2;
constexpr uint32_t ARGB_ACCENT = 0xFF32EBA5;
constexpr uint32_t ARGB_WHITE = 0xFFFFFFFF;
constexpr uint32_t ARGB_MENU_TEXT = 0xFFAAAAAA;
constexpr uint32_t ARGB_MENU_BACKGROUND = 0xFF000000;
constexpr uint32_t ARGB_EDIT_FRAME = 0xFF969696;
constexpr uint32_t COLORREF_WHITE = 0xFFFFFF;
constexpr uint32_t COLORREF_DISABLED_TEXT = 0x787878;
constexpr uint32_t COLORREF_ROW_TEXT = 0xBEBEBE;
constexpr uint32_t COLORREF_ROW_SELECTED = 0xA5EB32;

QColor FromArgb(uint32_t argb);
QColor FromColorref(uint32_t colorref);
// ARGB → COLORREF: swap red and blue, drop alpha.
constexpr uint32_t ArgbToColorref(uint32_t argb)
{
    return ((argb & 0xFF) << 16) | (argb & 0xFF00) | ((argb >> 16) & 0xFF);
}
constexpr uint32_t ColorrefToRgb(uint32_t c) { return ArgbToColorref(c); }

// Font heights of the kit's users (cell heights in pixels).
constexpr int FONT_BUTTON = 15;
constexpr int FONT_EDIT = 14;
constexpr int FONT_SLIDER = 13;

// The kit's font: "Arial", normal weight, for a cell height in pixels. The
// cell includes the internal leading, so the em size is smaller.
QFont KitFont(int cellHeight);

// Where DrawTextAt puts the text's top-left corner for a text extent (cx, cy)
// in a box; divisions truncate toward zero, so text wider than the box starts
// left of it.
QPoint TextOrigin(QSize extent, bool centreH, bool centreV, QRect box);

// The kit's text helper: one line, transparent, not clipped to the box.
// With a null font the painter's current font is used.
void DrawTextAt(QPainter &p, const QString &text, QColor colour, bool centreH, bool centreV,
                QRect box, const QFont *font = nullptr);

// Look state of a control that follows the pointer (button family, sliders,
// scroll bar). Qt's enter and leave (and moves outside during a press) stand
// in for the mouse capture the rules were made for.
struct LookState {
    bool pressed = false;       // the left button went down on the control and is still down
    bool tracking = false;      // the pointer is over the control
    int look = LookNormal;      // 0-2, or 3 for a locked slider
    int savedLook = LookNormal; // sliders: the look they had when the pointer left

    // The pointer came in. keepPressedLook (sliders): with the left button
    // down the saved look comes back, so a drag resumes.
    void enter(bool leftDown, bool keepPressedLook)
    {
        tracking = true;
        pressed = leftDown;
        look = (keepPressedLook && leftDown) ? savedLook : int(LookHover);
    }
    void leave(bool keepPressedLook)
    {
        if (keepPressedLook)
            savedLook = look;
        look = LookNormal;
        pressed = false;
        tracking = false;
    }
};

// The four look images of a control (null = missing).
using LookImages = std::array<QImage, 4>;

// Image choice of the button family: disabled image when disabled, pressed
// image when selected or checked, else the image of the look. Null when the
// chosen slot is empty.
const QImage &ChooseLookImage(const LookImages &images, bool enabled, bool selected, int look);

// Draws an image stretched over a rectangle with smoothing; nothing for null.
void DrawStretched(QPainter &p, const QImage &image, QRect target);

} // namespace vela::ui
