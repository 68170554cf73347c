#pragma once
// The skinned pop-up menu and the combo button that opens one.
//
// A CNexMenu is a frameless, non-activating tool window (the window behind
// keeps the keyboard focus). It reports a choice to its owner as
// (menu id, item id) and brackets every closing with CMD_POPUP_TOPMOST 1 and
// 0. A left click outside the menu chain closes it (through the mouse hook of
// platform/mouse_hook.h), and so does the application losing activation.
#include "platform/clock.h"
#include "platform/mouse_hook.h"
#include "ui/nex_button.h"

#include <QTimer>
#include <QWidget>

#include <vector>

namespace vela::ui {

struct MenuItem {
    int id = 0;
    QRect rect; // client coordinates, set by the layout
    QString text;
    bool enabled = true;
    bool hasSubmenu = false;
};

// Anchoring of ShowMenu: which corner of the menu goes to (x, y).
enum MenuAnchor : int { AnchorTopLeft = 0, AnchorBottomLeft = 2, AnchorBottomRight = 3 };

class CNexMenu : public QWidget, public SysCommandTarget, public MouseHookSink {
    Q_OBJECT
public:
    // owner receives the choices and CMD_POPUP_TOPMOST (shared by all
    // submenus); rect gives the width (its height is replaced by the layout).
    // The menu is a child window of parentMenu, else of owner, and dies with it.
    CNexMenu(QWidget *owner, int id, QRect rect, int minItemWidth, CNexMenu *parentMenu = nullptr);
    ~CNexMenu() override;

    // Appends an enabled item; nothing happens when the id already exists here.
    void AddItem(int id, const QString &text);
    // The submenu of an item id, created (width 50) on first use.
    CNexMenu *GetSubMenu(int itemId);
    // Marks the parent items as having a submenu and adds the item to it.
    void AddSubItem(int parentItemId, int id, const QString &text);
    // First item with the id here, else in the submenus depth first; null for none.
    const MenuItem *FindItem(int id) const;
    // Widest item text (pixels, menu font) of the menu with that id (this or a submenu); 0 for none.
    int WidestText(int menuId) const;

    // Lays out, places the corner given by anchoring at the screen point
    // (x, y), shows the menu and points the mouse hook at it. Never shows a
    // menu without items.
    void ShowMenu(int anchoring, int x, int y);
    // Closes this menu, its parent chain and its submenus.
    void HideMenu();
    void HideSubmenus();

    // Item under a client point (rectangles widened to the minimum item width);
    // it becomes the hover item. Returns its id, or -1 (hover -1).
    int HitTest(QPoint pos);

    int menuId() const { return id_; }
    QWidget *owner() const { return owner_; }
    CNexMenu *parentMenu() const { return parentMenu_; }
    const std::vector<MenuItem> &items() const { return items_; }
    const std::vector<CNexMenu *> &submenus() const { return submenus_; }
    int hoverIndex() const { return hover_; }
    int minItemWidth() const { return minItemWidth_; }

    // A system command sent to the menu goes on to its owner and closes the menu.
    void onSysCommand(int idOrCode, intptr_t value) override;
    // Left-button presses outside the chain close it; other reports are ignored.
    void onMouseHookEvent(int mouseMessage, QPoint globalPos) override;

protected:
    void paintEvent(QPaintEvent *) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    bool layoutItems();
    bool chainContains(QPoint globalPos) const;

    int id_;
    int hover_ = -1;
    int pressedId_ = -1;
    bool pressed_ = false;
    QFont font_ = KitFont(FONT_BUTTON);
    QWidget *owner_;
    CNexMenu *parentMenu_;
    int minItemWidth_;
    std::vector<MenuItem> items_;
    std::vector<CNexMenu *> submenus_; // Qt children of this menu
};

// A skinned button that shows the text of its chosen item and opens its own
// menu below (or above) itself. A choice is reported to the parent as
// (control id, item id).
class CNexComboButton : public CNexButtonBase, public SysCommandTarget {
    Q_OBJECT
public:
    explicit CNexComboButton(QWidget *parent = nullptr, int id = 0);

    // Takes the three images; a combo button has no disabled image.
    void SetImages(const QImage &normal, const QImage &hover, const QImage &pressed);
    // The first call creates the menu from the button's current width (set
    // the geometry first).
    void AddItem(int id, const QString &text);
    void AddSubItem(int parentItemId, int id, const QString &text);
    // Existing menu: resized to w × 20; else the menu is created with w.
    void SetMinMenuWidth(int w);
    void SetSelection(const QString &text, int id, int secondId);
    // Text of FindItem(id), or empty.
    QString TextOfItem(int id) const;
    void SetShowText(bool on) { showText_ = on; update(); }
    void SetUpdateText(bool on) { updateText_ = on; }
    void SetOpenUpward(bool on) { openUpward_ = on; }
    void SetActive(bool on) { active_ = on; update(); }
    // The tick source of the 200 ms reopen rule (default: the system clock; not owned).
    void SetClock(Clock *clock) { clock_ = clock; }

    const QString &text() const { return text_; }
    int selectedId() const { return selectedId_; }
    int secondId() const { return secondId_; }
    bool updateText() const { return updateText_; }
    CNexMenu *menu() const { return menu_; }
    uint32_t lastSeenOpen() const { return lastSeenOpen_; }

    void onSysCommand(int idOrCode, intptr_t value) override;

protected:
    void paintOver(QPainter &p) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    void createMenu(int width);
    uint32_t tick() const { return static_cast<uint32_t>(clock_->nowMs()); }

    CNexMenu *menu_ = nullptr; // Qt child of the button
    bool active_ = false;
    QString text_;
    int selectedId_ = -1, secondId_ = -1;
    QFont font_ = KitFont(FONT_BUTTON);
    uint32_t textColour_ = ARGB_WHITE;
    uint32_t activeColour_ = ARGB_ACCENT;
    bool showText_ = true, updateText_ = true, openUpward_ = false;
    bool menuOpen_ = false;
    bool pressWithinReopen_ = false;
    uint32_t lastSeenOpen_ = 0;
    int minMenuWidth_ = 0;
    QTimer openTick_;
    Clock *clock_;
};

// Caption shortening of the combo button: drops last characters, at most
// maxDrops, while the text is wider than `limit` by the measure.
template <typename Width>
QString ShortenCaption(QString text, int limit, int maxDrops, Width width)
{
    for (int i = 0; i < maxDrops && !text.isEmpty() && width(text) > limit; ++i)
        text.chop(1);
    return text;
}

} // namespace vela::ui
