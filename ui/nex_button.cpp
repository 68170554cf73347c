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
    DrawStretched(p, ChooseLookImage(images_, isEnabled(), showsPressedImage(), state_.look), rect());
    paintOver(p);
}

void CNexButtonBase::startTracking()
{
    state_.enter(QGuiApplication::mouseButtons() & Qt::LeftButton, false);
    update();
    onHoverStart();
}

void CNexButtonBase::stopTracking()
{
    state_.leave(false);
    update();
}

void CNexButtonBase::enterEvent(QEnterEvent *e)
{
    QAbstractButton::enterEvent(e);
    if (!state_.tracking)
        startTracking();
}

void CNexButtonBase::leaveEvent(QEvent *e)
{
    QAbstractButton::leaveEvent(e);
    if (state_.tracking)
        stopTracking();
}

void CNexButtonBase::mouseMoveEvent(QMouseEvent *e)
{
    QAbstractButton::mouseMoveEvent(e);
    const bool inside = rect().contains(e->position().toPoint());
    if (state_.tracking && !inside)
        stopTracking();
    else if (!state_.tracking && inside)
        startTracking();
}

void CNexButtonBase::mousePressEvent(QMouseEvent *e)
{
    QAbstractButton::mousePressEvent(e);
    if (e->button() != Qt::LeftButton)
        return;
    state_.pressed = true;
    state_.look = LookPressed;
    update();
}

void CNexButtonBase::mouseReleaseEvent(QMouseEvent *e)
{
    QAbstractButton::mouseReleaseEvent(e);
    if (e->button() != Qt::LeftButton)
        return;
    state_.pressed = false;
    state_.look = LookNormal;
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
    else if (state_.look == LookHover)
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
    if (state_.pressed)
        checked_ = !checked_;
    state_.pressed = false;
    state_.look = LookNormal;
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
