#include "ui/nex_menu.h"

#include "ui/nex_geometry.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace vela::ui {

CNexMenu::CNexMenu(QWidget *owner, int id, QRect rect, int minItemWidth, CNexMenu *parentMenu)
    : QWidget(parentMenu ? static_cast<QWidget *>(parentMenu) : owner,
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                  Qt::WindowStaysOnTopHint),
      id_(id), owner_(owner), parentMenu_(parentMenu), minItemWidth_(minItemWidth)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setWindowTitle(QStringLiteral("menu"));
    setGeometry(0, 0, std::max(1, rect.width()), 10);
    // A menu left open while the user switches to another program closes.
    if (!parentMenu_)
        connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
            if (s != Qt::ApplicationActive)
                HideMenu();
        });
}

CNexMenu::~CNexMenu()
{
    if (MouseHookTarget() == this || (!parentMenu_ && MouseHookInstalled() && isVisible()))
        MouseHookRemove();
}

void CNexMenu::AddItem(int id, const QString &text)
{
    for (const MenuItem &item : items_)
        if (item.id == id)
            return;
    MenuItem item;
    item.id = id;
    item.text = text;
    items_.push_back(item);
}

CNexMenu *CNexMenu::GetSubMenu(int itemId)
{
    for (CNexMenu *sub : submenus_)
        if (sub->menuId() == itemId)
            return sub;
    auto *sub = new CNexMenu(owner_, itemId, QRect(0, 0, 50, 10), 50, this);
    submenus_.push_back(sub);
    return sub;
}

void CNexMenu::AddSubItem(int parentItemId, int id, const QString &text)
{
    for (MenuItem &item : items_)
        if (item.id == parentItemId)
            item.hasSubmenu = true;
    GetSubMenu(parentItemId)->AddItem(id, text);
}

const MenuItem *CNexMenu::FindItem(int id) const
{
    for (const MenuItem &item : items_)
        if (item.id == id)
            return &item;
    for (const CNexMenu *sub : submenus_)
        if (const MenuItem *found = sub->FindItem(id))
            return found;
    return nullptr;
}

int CNexMenu::WidestText(int menuId) const
{
    if (menuId != id_) {
        for (const CNexMenu *sub : submenus_)
            if (const int w = sub->WidestText(menuId))
                return w;
        return 0;
    }
    const QFontMetrics fm(font_);
    int widest = 0;
    for (const MenuItem &item : items_)
        widest = std::max(widest, fm.horizontalAdvance(item.text));
    return widest;
}

bool CNexMenu::layoutItems()
{
    if (items_.empty()) {
        hide();
        return false;
    }
    const int h = QFontMetrics(font_).height();
    const int n = static_cast<int>(items_.size());
    resize(width(), n * h + 8);
    for (int i = 0; i < n; ++i)
        items_[i].rect = RectLTRB(1, 4 + i * h, width() - 15, 4 + (i + 1) * h);
    return true;
}

void CNexMenu::ShowMenu(int anchoring, int x, int y)
{
    if (!layoutItems())
        return;
    hover_ = -1;
    QPoint topLeft(x, y);
    if (anchoring == AnchorBottomLeft)
        topLeft = QPoint(x, y - height());
    else if (anchoring == AnchorBottomRight)
        topLeft = QPoint(x - width(), y - height());
    // Kept on the screen, so a menu opened near an edge stays readable.
    if (const QScreen *screen = QGuiApplication::screenAt(QPoint(x, y))) {
        const QRect area = screen->availableGeometry();
        topLeft.setX(std::max(area.left(), std::min(topLeft.x(), area.left() + area.width() - width())));
        topLeft.setY(std::max(area.top(), std::min(topLeft.y(), area.top() + area.height() - height())));
    }
    move(topLeft);
    layoutItems();
    show();
    MouseHookPointAt(this);
}

void CNexMenu::HideMenu()
{
    if (!isVisible())
        return;
    SendSysCommand(owner_, CMD_POPUP_TOPMOST, 1);
    hide();
    if (parentMenu_)
        parentMenu_->HideMenu();
    HideSubmenus();
    SendSysCommand(owner_, CMD_POPUP_TOPMOST, 0);
    if (!parentMenu_)
        MouseHookRemove();
}

void CNexMenu::HideSubmenus()
{
    for (CNexMenu *sub : submenus_) {
        if (!sub->isVisible())
            continue;
        SendSysCommand(owner_, CMD_POPUP_TOPMOST, 1);
        sub->HideSubmenus();
        sub->hide();
        SendSysCommand(owner_, CMD_POPUP_TOPMOST, 0);
    }
    // Back to this menu, while it is open; a closed chain must not bring the
    // hook back after its top-level menu removed it.
    if (MouseHookInstalled() && isVisible())
        MouseHookPointAt(this);
}

int CNexMenu::HitTest(QPoint pos)
{
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        QRect r = items_[i].rect;
        if (r.width() < minItemWidth_)
            r.setWidth(minItemWidth_);
        if (r.contains(pos)) {
            hover_ = i;
            return items_[i].id;
        }
    }
    hover_ = -1;
    return -1;
}

bool CNexMenu::chainContains(QPoint globalPos) const
{
    for (const CNexMenu *m = this; m; m = m->parentMenu_)
        if (m->isVisible() && m->frameGeometry().contains(globalPos))
            return true;
    return false;
}

void CNexMenu::onSysCommand(int idOrCode, intptr_t value)
{
    SendSysCommand(owner_, idOrCode, value);
    HideMenu();
}

void CNexMenu::onMouseHookEvent(int mouseMessage, QPoint globalPos)
{
    if (mouseMessage != kLButtonDown || !isVisible())
        return;
    if (!chainContains(globalPos))
        HideMenu();
}

void CNexMenu::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), FromArgb(ARGB_MENU_BACKGROUND));
    p.setPen(FromArgb(ARGB_ACCENT));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setFont(font_);
    const QColor text = FromArgb(ARGB_MENU_TEXT);
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        const MenuItem &item = items_[i];
        const QRect r = item.rect.translated(10, 0);
        const int right = RightOf(r), bottom = BottomOf(r);
        if (item.hasSubmenu) {
            const CNexMenu *sub = nullptr;
            for (const CNexMenu *s : submenus_)
                if (s->menuId() == item.id)
                    sub = s;
            if (sub && !sub->items().empty()) {
                QPainterPath arrow;
                arrow.moveTo(right - 10, r.top() + 5);
                arrow.lineTo(right - 10, bottom - 5);
                arrow.lineTo(right - 5, (r.top() + bottom) / 2);
                arrow.closeSubpath();
                p.setPen(text);
                p.setBrush(text);
                p.drawPath(arrow);
                p.setBrush(Qt::NoBrush);
            }
        }
        DrawTextAt(p, item.text, i == hover_ ? FromArgb(ARGB_ACCENT) : text, false, true, r);
    }
}

void CNexMenu::mouseMoveEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        const MenuItem &item = items_[i];
        if (!item.rect.contains(pos))
            continue;
        if (item.hasSubmenu && item.enabled) {
            if (i != hover_) {
                HideSubmenus();
                CNexMenu *sub = GetSubMenu(item.id);
                if (!sub->items().empty())
                    sub->ShowMenu(AnchorTopLeft, x() + width() - 5, item.rect.top() + y() - 5);
            }
        } else {
            HideSubmenus();
        }
        if (i != hover_) {
            hover_ = i;
            update();
        }
        return;
    }
}

void CNexMenu::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    pressedId_ = HitTest(e->position().toPoint());
    if (pressedId_ == -1)
        HideMenu();
    pressed_ = true;
    update();
}

void CNexMenu::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    pressed_ = false;
    hover_ = -1;
    const int hit = HitTest(e->position().toPoint());
    update();
    if (hit == -1)
        return;
    const MenuItem *item = FindItem(hit);
    if (!item)
        return;
    if (!item->enabled) {
        if (!item->hasSubmenu)
            HideMenu();
        return;
    }
    if (!owner_ || item->hasSubmenu)
        return;
    const int itemId = item->id;
    HideMenu();
    SendSysCommand(owner_, id_, itemId);
}

// ---- CNexComboButton --------------------------------------------------------

CNexComboButton::CNexComboButton(QWidget *parent, int id)
    : CNexButtonBase(parent, id), clock_(&systemClock())
{
    openTick_.setInterval(100);
    connect(&openTick_, &QTimer::timeout, this, [this] {
        if (menu_ && menu_->isVisible())
            lastSeenOpen_ = tick();
    });
}

void CNexComboButton::SetImages(const QImage &normal, const QImage &hover, const QImage &pressed)
{
    CNexButtonBase::SetImages(normal, hover, pressed, QImage());
}

void CNexComboButton::createMenu(int width)
{
    menu_ = new CNexMenu(this, static_cast<int>(tick()), QRect(0, 0, width, 10), width);
}

void CNexComboButton::AddItem(int id, const QString &text)
{
    if (!menu_)
        createMenu(std::max(this->width(), minMenuWidth_) - 2);
    menu_->AddItem(id, text);
}

void CNexComboButton::AddSubItem(int parentItemId, int id, const QString &text)
{
    if (!menu_)
        createMenu(std::max(this->width(), minMenuWidth_) - 2);
    menu_->AddSubItem(parentItemId, id, text);
}

void CNexComboButton::SetMinMenuWidth(int w)
{
    minMenuWidth_ = w;
    if (menu_)
        menu_->resize(w, 20);
    else
        createMenu(w);
}

void CNexComboButton::SetSelection(const QString &text, int id, int secondId)
{
    text_ = text;
    selectedId_ = id;
    secondId_ = secondId;
    update();
}

QString CNexComboButton::TextOfItem(int id) const
{
    const MenuItem *item = menu_ ? menu_->FindItem(id) : nullptr;
    return item ? item->text : QString();
}

void CNexComboButton::onSysCommand(int idOrCode, intptr_t value)
{
    if (idOrCode == CMD_POPUP_TOPMOST) {
        NotifyParent(this, idOrCode, value);
        return;
    }
    const MenuItem *item = menu_ ? menu_->FindItem(static_cast<int>(value)) : nullptr;
    if (!item)
        return;
    const QString itemText = item->text;
    NotifyParent(this, controlId(), item->id);
    if (updateText_) {
        text_ = itemText;
        selectedId_ = static_cast<int>(value);
        update();
    } else {
        // One choice passes without changing the text.
        updateText_ = true;
    }
}

void CNexComboButton::paintOver(QPainter &p)
{
    if (!showText_)
        return;
    const QRect box = RectLTRB(9, 0, width(), height());
    const QFontMetrics fm(font_);
    // The shortened caption replaces the stored one, so a long caption
    // settles over a few paints instead of costing a long loop each time.
    text_ = ShortenCaption(text_, box.width() - 38, 10,
                           [&fm](const QString &t) { return fm.horizontalAdvance(t); });
    const bool lit = active_ || state_.look == LookHover;
    DrawTextAt(p, text_, FromArgb(lit ? activeColour_ : textColour_), false, true, box, &font_);
}

void CNexComboButton::mousePressEvent(QMouseEvent *e)
{
    CNexButtonBase::mousePressEvent(e);
    if (e->button() == Qt::LeftButton)
        pressWithinReopen_ = tick() - lastSeenOpen_ < 200u;
}

void CNexComboButton::mouseReleaseEvent(QMouseEvent *e)
{
    CNexButtonBase::mouseReleaseEvent(e);
    if (e->button() != Qt::LeftButton)
        return;
    // The press that closed the open menu (outside-click rule) does not reopen it.
    if (!menu_ || pressWithinReopen_)
        return;
    menuOpen_ = true;
    // Seen open from now on, not only from the first tick 100 ms later.
    lastSeenOpen_ = tick();
    openTick_.start();
    if (openUpward_) {
        const QPoint at = mapToGlobal(QPoint(0, 0));
        menu_->ShowMenu(AnchorBottomLeft, at.x(), at.y());
    } else {
        const QPoint at = mapToGlobal(QPoint(0, height()));
        menu_->ShowMenu(AnchorTopLeft, at.x(), at.y());
    }
}

} // namespace vela::ui
