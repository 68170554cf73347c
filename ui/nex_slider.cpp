#include "ui/nex_slider.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

namespace vela::ui {

// ---- shared tracking --------------------------------------------------------

CNexValueCtrl::CNexValueCtrl(QWidget *parent, int id, bool keepPressedLook)
    : QWidget(parent), keepPressedLook_(keepPressedLook)
{
    setControlId(id);
    setMouseTracking(true);
    setAttribute(Qt::WA_NoSystemBackground);
}

void CNexValueCtrl::startTracking()
{
    state_.enter(QGuiApplication::mouseButtons() & Qt::LeftButton, keepPressedLook_);
    update();
}

void CNexValueCtrl::stopTracking()
{
    if (state_.look == LookPressed)
        onDragLost();
    state_.leave(keepPressedLook_);
    update();
}

void CNexValueCtrl::enterEvent(QEnterEvent *e)
{
    QWidget::enterEvent(e);
    if (!locked() && !state_.tracking)
        startTracking();
}

void CNexValueCtrl::leaveEvent(QEvent *e)
{
    QWidget::leaveEvent(e);
    if (!locked() && state_.tracking)
        stopTracking();
}

void CNexValueCtrl::mouseMoveEvent(QMouseEvent *e)
{
    if (locked())
        return;
    const QPoint pos = e->position().toPoint();
    const bool inside = rect().contains(pos);
    if (state_.tracking && !inside) {
        stopTracking();
        return;
    }
    if (!state_.tracking && inside)
        startTracking();
    if (state_.tracking)
        onMove(pos);
}

void CNexValueCtrl::mousePressEvent(QMouseEvent *e)
{
    if (locked() || e->button() != Qt::LeftButton)
        return;
    onPress(e->position().toPoint());
}

void CNexValueCtrl::mouseReleaseEvent(QMouseEvent *e)
{
    if (locked() || e->button() != Qt::LeftButton)
        return;
    // Outside the control the drag already ended when the pointer left.
    if (!state_.tracking) {
        state_.savedLook = LookNormal;
        onReleaseOutside();
        return;
    }
    onRelease(e->position().toPoint());
}

// ---- CNexScrollCtrl ---------------------------------------------------------

CNexScrollCtrl::CNexScrollCtrl(QWidget *parent, int id) : CNexValueCtrl(parent, id, false) {}

void CNexScrollCtrl::SetImages(const std::array<QImage, ImageCount> &images)
{
    images_ = images;
    resizeEvent(nullptr);
}

void CNexScrollCtrl::resizeEvent(QResizeEvent *)
{
    // The geometry follows the client size and the images; the position stays.
    geometry_ = ComputeScrollGeometry(size(), images_[FirstNormal].size(), images_[SecondNormal].size(),
                                      thumbSize());
    placeThumb();
}

void CNexScrollCtrl::SetRange(int min, int max)
{
    min_ = min;
    max_ = max;
    placeThumb();
}

void CNexScrollCtrl::placeThumb()
{
    geometry_.thumb = ScrollThumbRect(geometry_, thumbSize(), pos_, min_, max_);
    update();
}

void CNexScrollCtrl::SetPosition(int pos)
{
    pos_ = ClampValue(pos, min_, max_);
    placeThumb();
    NotifyParent(this, controlId(), pos_);
}

void CNexScrollCtrl::followPointer(QPoint p)
{
    const int v = ScrollValueFromPointer(geometry_, thumbSize(), geometry_.vertical ? p.y() : p.x(), min_, max_);
    pos_ = v;
    placeThumb();
    if (lastFollowed_ && *lastFollowed_ == v)
        return;
    lastFollowed_ = v;
    NotifyParent(this, controlId(), v);
}

void CNexScrollCtrl::onPress(QPoint p)
{
    state_.pressed = true;
    state_.look = LookPressed;
    if (geometry_.firstArrow.contains(p))
        hit_ = PartFirstArrow;
    else if (geometry_.secondArrow.contains(p))
        hit_ = PartSecondArrow;
    else if (geometry_.thumb.contains(p))
        hit_ = PartThumb;
    else
        hit_ = PartNone;
    if (geometry_.track.contains(p))
        followPointer(p);
    update();
}

void CNexScrollCtrl::onMove(QPoint p)
{
    if (state_.look == LookPressed && geometry_.track.contains(p))
        followPointer(p);
}

void CNexScrollCtrl::onRelease(QPoint p)
{
    if (geometry_.track.contains(p))
        followPointer(p);
    // The arrows jump to the ends; there is no step by one.
    if (hit_ == PartSecondArrow) {
        NotifyParent(this, controlId(), max_);
        SetPosition(max_);
    } else if (hit_ == PartFirstArrow) {
        NotifyParent(this, controlId(), min_);
        SetPosition(min_);
    }
    onDragLost();
    state_.look = LookNormal;
}

void CNexScrollCtrl::onDragLost()
{
    state_.pressed = false;
    hit_ = PartNone;
    update();
}

void CNexScrollCtrl::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    DrawStretched(p, images_[Background], rect());
    DrawStretched(p, images_[hit_ == PartFirstArrow ? FirstPressed : FirstNormal], geometry_.firstArrow);
    DrawStretched(p, images_[hit_ == PartSecondArrow ? SecondPressed : SecondNormal], geometry_.secondArrow);
    DrawStretched(p, images_[hit_ == PartThumb ? ThumbPressed : ThumbNormal], geometry_.thumb);
}

// ---- CNexSliderCtrl3D -------------------------------------------------------

CNexSliderCtrl3D::CNexSliderCtrl3D(QWidget *parent, int id) : CNexValueCtrl(parent, id, true) {}

void CNexSliderCtrl3D::SetImages(const QImage &background, const std::array<QImage, 5> &thumbs)
{
    background_ = background;
    thumbs_ = thumbs;
    update();
}

void CNexSliderCtrl3D::SetRange(int min, int max)
{
    min_ = min;
    max_ = max;
    update();
}

void CNexSliderCtrl3D::SetThumbCount(int n)
{
    shown_ = std::clamp(n, 1, 5);
    update();
}

int CNexSliderCtrl3D::value(int thumb) const
{
    return thumb >= 1 && thumb <= 5 ? values_[thumb - 1] : 0;
}

void CNexSliderCtrl3D::SetValue(int thumb, int v)
{
    if (thumb < 1 || thumb > 5)
        return;
    v = ClampValue(v, min_, max_);
    auto &last = lastReported_[thumb - 1];
    if (last && *last == v)
        return;
    values_[thumb - 1] = v;
    last = v;
    update();
    NotifyParent(this, controlId(), SliderNotifyValue(v, thumb));
}

void CNexSliderCtrl3D::SetLook(int look)
{
    state_.look = look;
    if (look == LookLocked) {
        active_ = 0;
        state_.pressed = false;
    }
    update();
}

QRect CNexSliderCtrl3D::thumbRect(int thumb) const
{
    if (thumb < 1 || thumb > 5)
        return {};
    return Slider3DThumbRect(rect(), thumbs_[0].size(), thumbs_[thumb - 1].size(), thumbs_[2].size(),
                             values_[thumb - 1], min_, max_);
}

void CNexSliderCtrl3D::followPointer(QPoint p)
{
    if (active_ == 0)
        return;
    const int v = Slider3DValueFromPointer(p.x(), rect(), thumbs_[active_ - 1].width(), min_, max_, step_);
    auto &last = lastReported_[active_ - 1];
    if (last && *last == v)
        return;
    values_[active_ - 1] = v;
    last = v;
    NotifyParent(this, controlId(), SliderNotifyValue(v, active_));
}

void CNexSliderCtrl3D::onPress(QPoint p)
{
    state_.look = state_.savedLook = LookPressed;
    state_.pressed = true;
    active_ = 0;
    // Only the thumbs shown can be caught; a hidden one keeps its place.
    for (int k = 1; k <= shown_; ++k)
        if (thumbRect(k).contains(p)) {
            active_ = k;
            break;
        }
    followPointer(p);
    update();
}

void CNexSliderCtrl3D::onMove(QPoint p)
{
    if (state_.look != LookPressed)
        return;
    followPointer(p);
    update();
}

void CNexSliderCtrl3D::onRelease(QPoint p)
{
    followPointer(p);
    active_ = 0;
    state_.pressed = false;
    state_.look = state_.savedLook = LookNormal;
    update();
}

void CNexSliderCtrl3D::onDragLost()
{
    // The drag resumes when the pointer comes back with the button held.
}

void CNexSliderCtrl3D::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    DrawStretched(p, background_, rect());
    if (shown_ == 1 && locked()) {
        DrawStretched(p, thumbs_[4], thumbRect(1));
        return;
    }
    for (int k = 1; k <= shown_; ++k)
        DrawStretched(p, thumbs_[k - 1], thumbRect(k));
}

// ---- CNexSliderCtrlVer ------------------------------------------------------

uint32_t PickUnlessNearWhite(uint32_t previous, QRgb pixel)
{
    const int r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
    if (r < 202 || g < 202 || b < 202)
        return static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) | (static_cast<uint32_t>(b) << 16);
    return previous;
}

CNexSliderCtrlVer::CNexSliderCtrlVer(QWidget *parent, int id) : CNexValueCtrl(parent, id, true) {}

void CNexSliderCtrlVer::SetImages(const QImage &background, const QImage &thumbNormal,
                                  const QImage &thumbHover, const QImage &thumbLocked)
{
    background_ = background;
    thumbNormal_ = thumbNormal;
    thumbHover_ = thumbHover;
    thumbLocked_ = thumbLocked;
    resizeEvent(nullptr);
}

void CNexSliderCtrlVer::resizeEvent(QResizeEvent *)
{
    shown_ = QImage();
    if (!background_.isNull() && !size().isEmpty()) {
        shown_ = QImage(size(), QImage::Format_RGB32);
        shown_.fill(Qt::black);
        QPainter p(&shown_);
        DrawStretched(p, background_, rect());
    }
    update();
}

void CNexSliderCtrlVer::SetRange(int min, int max)
{
    min_ = min;
    max_ = max;
    update();
}

void CNexSliderCtrlVer::SetValue(int v)
{
    value_ = ClampValue(v, min_, max_);
    update();
}

void CNexSliderCtrlVer::SetLook(int look)
{
    state_.look = look;
    if (look == LookLocked)
        state_.pressed = false;
    update();
}

void CNexSliderCtrlVer::followPointer(QPoint p)
{
    lastPointer_ = p;
    const int v = VerValueFromPointer(p.y(), rect(), thumbHeight(), min_, max_, step_);
    if (lastReported_ && *lastReported_ == v)
        return;
    // The colour under the thumb's line, read from the background as drawn.
    const QPoint at(width() / 2, p.y());
    if (!shown_.isNull() && shown_.rect().contains(at))
        picked_ = PickUnlessNearWhite(picked_, shown_.pixel(at));
    value_ = v;
    lastReported_ = v;
    update();
    NotifyParent(this, controlId(), v);
}

void CNexSliderCtrlVer::onPress(QPoint p)
{
    state_.look = state_.savedLook = LookPressed;
    state_.pressed = true;
    followPointer(p);
    update();
}

void CNexSliderCtrlVer::onMove(QPoint p)
{
    if (state_.look == LookPressed)
        followPointer(p);
}

void CNexSliderCtrlVer::onRelease(QPoint p)
{
    followPointer(p);
    state_.pressed = false;
    state_.look = state_.savedLook = LookNormal;
    update();
}

void CNexSliderCtrlVer::onDragLost() {}

void CNexSliderCtrlVer::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    DrawStretched(p, background_, rect());
    const QImage *thumb = &thumbNormal_;
    if (locked() && !thumbLocked_.isNull())
        thumb = &thumbLocked_;
    else if (state_.look == LookHover || state_.look == LookPressed)
        thumb = &thumbHover_;
    const int th = thumbHeight();
    const int centre = VerThumbCentreY(rect(), th, value_, min_, max_);
    const QRect thumbRect(0, centre - th / 2, thumb->width(), thumb->height());
    if (!thumb->isNull())
        p.drawImage(thumbRect.topLeft(), *thumb);
    if (showValue_)
        DrawTextAt(p, QString::number(value_), FromArgb(valueColour_), true, false,
                   VerValueBox(rect(), thumbRect, centre), &font_);
}

} // namespace vela::ui
