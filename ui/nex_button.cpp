#include "ui/nex_button.h"
#include "ui/nex_geometry.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

namespace vela::ui {

CNexButtonBase::CNexButtonBase(QWidget *parent, int id) : QAbstractButton(parent)
{
    setControlId(id);
    setMouseTracking(true);
    // Everything is painted by the control; nothing is erased first.
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_Hover, false);
}

void CNexButtonBase::SetImages(const QImage &normal, const QImage &hover, const QImage &pressed,
                               const QImage &disabled)
{
    images_ = {normal, hover, pressed, disabled};
    update();
}

void CNexButtonBase::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    DrawStretched(p, ChooseLookImage(images_, isEnabled(), showsPressedImage(), look_), rect());
    paintOver(p);
}

void CNexButtonBase::startTracking()
{
    tracking_ = true;
    pressed_ = QGuiApplication::mouseButtons() & Qt::LeftButton;
    look_ = LookHover;
    update();
    onHoverStart();
}

void CNexButtonBase::stopTracking()
{
    look_ = LookNormal;
    pressed_ = false;
    tracking_ = false;
    update();
}

void CNexButtonBase::enterEvent(QEnterEvent *e)
{
    QAbstractButton::enterEvent(e);
    if (!tracking_)
        startTracking();
}

void CNexButtonBase::leaveEvent(QEvent *e)
{
    QAbstractButton::leaveEvent(e);
    if (tracking_)
        stopTracking();
}

void CNexButtonBase::mouseMoveEvent(QMouseEvent *e)
{
    QAbstractButton::mouseMoveEvent(e);
    const bool inside = rect().contains(e->position().toPoint());
    if (tracking_ && !inside)
        stopTracking();
    else if (!tracking_ && inside)
        startTracking();
}

void CNexButtonBase::mousePressEvent(QMouseEvent *e)
{
    QAbstractButton::mousePressEvent(e);
    if (e->button() != Qt::LeftButton)
        return;
    pressed_ = true;
    look_ = LookPressed;
    update();
}

void CNexButtonBase::mouseReleaseEvent(QMouseEvent *e)
{
    QAbstractButton::mouseReleaseEvent(e);
    if (e->button() != Qt::LeftButton)
        return;
    pressed_ = false;
    look_ = LookNormal;
    update();
}

void CNexButtonBase::focusInEvent(QFocusEvent *e)
{
    QAbstractButton::focusInEvent(e);
    update();
}

void CNexButtonBase::focusOutEvent(QFocusEvent *e)
{
    QAbstractButton::focusOutEvent(e);
    update();
}

// ---- CNexButton -------------------------------------------------------------

CNexButton::CNexButton(QWidget *parent, int id) : CNexButtonBase(parent, id) {}

void CNexButton::SetSelected(bool selected)
{
    if (selected_ == selected)
        return;
    selected_ = selected;
    update();
}

void CNexButton::SetTextColors(uint32_t argbNormal, uint32_t argbActive)
{
    textColour_ = argbNormal;
    activeColour_ = argbActive;
    update();
}

void CNexButton::onHoverStart()
{
    NotifyParent(this, controlId(), 0);
}

void CNexButton::paintOver(QPainter &p)
{
    if (caption_.isEmpty())
        return;
    QColor colour;
    if (!isEnabled())
        colour = FromColorref(COLORREF_DISABLED_TEXT);
    else if (selected_)
        colour = FromArgb(activeColour_);
    else if (look_ == LookHover)
        colour = FromColorref(COLORREF_WHITE);
    else
        colour = FromArgb(textColour_);
    const QRect box = RectLTRB(5, 0, width(), height());
    DrawTextAt(p, caption_, colour, false, true, box, &font_);
}

// ---- CNexCheckBox -----------------------------------------------------------

CNexCheckBox::CNexCheckBox(QWidget *parent, int id) : CNexButtonBase(parent, id) {}

void CNexCheckBox::SetCheck(bool checked)
{
    if (checked_ == checked)
        return;
    checked_ = checked;
    update();
}

void CNexCheckBox::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) {
        QAbstractButton::mouseReleaseEvent(e);
        return;
    }
    // Toggle before the click signal, so the parent always reads the new state.
    if (pressed_)
        checked_ = !checked_;
    pressed_ = false;
    look_ = LookNormal;
    update();
    QAbstractButton::mouseReleaseEvent(e);
}

// ---- CNexCbnColorButton -----------------------------------------------------

CNexCbnColorButton::CNexCbnColorButton(QWidget *parent, int id) : CNexButtonBase(parent, id) {}

void CNexCbnColorButton::mouseReleaseEvent(QMouseEvent *e)
{
    CNexButtonBase::mouseReleaseEvent(e);
    if (e->button() != Qt::LeftButton || !popup_)
        return;
    if (popup_->isVisible()) {
        popup_->hide();
        return;
    }
    popup_->move(mapToGlobal(QPoint(0, height())));
    const QImage &size = images_[LookDisabled];
    if (!size.isNull())
        popup_->resize(size.size());
    popup_->show();
}

void CNexCbnColorButton::onSysCommand(int idOrCode, intptr_t value)
{
    if (idOrCode == CMD_POPUP_TOPMOST) {
        NotifyParent(this, idOrCode, value);
        return;
    }
    value_ = static_cast<int>(value);
    update();
    NotifyParent(this, controlId(), value_);
}

} // namespace vela::ui
