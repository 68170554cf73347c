#include "ui/nex_static.h"

#include "ui/nex_geometry.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace vela::ui {

// ---- CNexStatic -------------------------------------------------------------

CNexStatic::CNexStatic(QWidget *parent, int id) : QWidget(parent)
{
    setControlId(id);
    setAttribute(Qt::WA_NoSystemBackground);
}

void CNexStatic::SetBackground(const QImage &image)
{
    background_ = image;
    update();
}

void CNexStatic::AddImage(const QImage &image)
{
    images_.push_back(image);
    update();
}

void CNexStatic::SetText(const QString &text)
{
    if (texts_.isEmpty())
        texts_.append(text);
    else
        texts_[0] = text;
    textIndex_ = 0;
    update();
}

QString CNexStatic::GetText() const
{
    return textIndex_ >= 0 && textIndex_ < texts_.size() ? texts_[textIndex_] : QString();
}

void CNexStatic::SetFontHeight(int cellHeight)
{
    font_ = KitFont(cellHeight);
    update();
}

void CNexStatic::SetImageIndex(int index)
{
    imageIndex_ = index;
    update();
}

void CNexStatic::SetTextIndex(int index)
{
    textIndex_ = index;
    update();
}

void CNexStatic::SetTextColor(uint32_t argb)
{
    textColour_ = argb;
    update();
}

void CNexStatic::SetBackgroundColor(uint32_t argb)
{
    backColour_ = argb;
    update();
}

void CNexStatic::SetCentre(bool centreH)
{
    centre_ = centreH;
    update();
}

void CNexStatic::SetShowText(bool show)
{
    showText_ = show;
    update();
}

void CNexStatic::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), FromArgb(backColour_));
    DrawStretched(p, background_, rect());
    if (imageIndex_ >= 0 && imageIndex_ < imageCount())
        DrawStretched(p, images_[imageIndex_], rect());
    if (showText_ && textIndex_ >= 0 && textIndex_ < texts_.size())
        DrawTextAt(p, texts_[textIndex_], FromColorref(ArgbToColorref(textColour_)), centre_, true,
                   rect(), &font_);
}

void CNexStatic::mouseDoubleClickEvent(QMouseEvent *e)
{
    QWidget::mouseDoubleClickEvent(e);
    if (e->button() == Qt::LeftButton)
        NotifyParent(this, controlId(), STATIC_DOUBLE_CLICK);
}

// ---- lighting preview -------------------------------------------------------

int BrightnessAlpha(int level)
{
    switch (level) {
    case 1: return 0;
    case 2: return 60;
    case 3: return 130;
    case 4: return 190;
    default: return 255;
    }
}

int EffectAnimation::tick(Effect effect, int alpha)
{
    if (n < 0)
        n = alpha;
    switch (effect) {
    case Effect::Blinking: {
        const int out = (n % 2) ? alpha : 0;
        ++n;
        return out;
    }
    case Effect::Pulsating:
        ++n;
        return (n % 15 == 0 || n % 15 == 3) ? 0 : alpha;
    case Effect::Breathing:
        if (falling) {
            n -= 5;
            if (n <= 0) {
                n = 0;
                falling = false;
            }
        } else {
            n += 5;
            if (n >= alpha) {
                n = alpha;
                falling = true;
            }
        }
        return std::clamp(n, 0, 255);
    case Effect::Solid:
        break;
    }
    return alpha;
}

uint32_t ColourCycle::tick()
{
    static constexpr int speed[3] = {15, 10, 5};
    for (int i = 0; i < 3; ++i) {
        if (rgb[i] >= 255)
            dir[i] = -1;
        else if (rgb[i] <= 0)
            dir[i] = 1;
        rgb[i] = std::clamp(rgb[i] + dir[i] * speed[i], 0, 255);
    }
    return (static_cast<uint32_t>(rgb[0]) << 16) | (static_cast<uint32_t>(rgb[1]) << 8) |
           static_cast<uint32_t>(rgb[2]);
}

CNexMouseStatic::CNexMouseStatic(QWidget *parent, int id) : QWidget(parent)
{
    setControlId(id);
    setAttribute(Qt::WA_NoSystemBackground);
    connect(&effectTimer_, &QTimer::timeout, this, &CNexMouseStatic::EffectTick);
    cycleTimer_.setInterval(100);
    connect(&cycleTimer_, &QTimer::timeout, this, &CNexMouseStatic::CycleTick);
}

void CNexMouseStatic::SetPicture(const QImage &picture)
{
    picture_ = picture;
    update();
}

void CNexMouseStatic::SetColorA(uint32_t argb)
{
    colour_[0] = saved_[0] = argb;
    update();
}

void CNexMouseStatic::SetColorB(uint32_t argb)
{
    colour_[1] = saved_[1] = argb;
    update();
}

void CNexMouseStatic::SetColors(uint32_t argbA, uint32_t argbB)
{
    colour_[0] = argbA;
    colour_[1] = argbB;
    update();
}

void CNexMouseStatic::SetLit(bool a, bool b)
{
    lit_[0] = a;
    lit_[1] = b;
    update();
}

void CNexMouseStatic::SetLitA(bool a) { SetLit(a, lit_[1]); }
void CNexMouseStatic::SetLitB(bool b) { SetLit(lit_[0], b); }

void CNexMouseStatic::restartEffectTick()
{
    effectTimer_.stop();
    switch (effect_) {
    case Effect::Blinking: effectTimer_.start(1000); break;
    case Effect::Pulsating:
    case Effect::Breathing: effectTimer_.start(100); break;
    case Effect::Solid: break;
    }
}

void CNexMouseStatic::SetEffect(Effect effect)
{
    effect_ = effect;
    restartEffectTick();
    if (effect_ == Effect::Solid) {
        const int a = BrightnessAlpha(level_);
        SetColors(WithAlpha(colour_[0], a), WithAlpha(colour_[1], a));
    }
}

void CNexMouseStatic::SetBrightness(int level)
{
    level_ = std::clamp(level, 1, 5);
    restartEffectTick();
    if (effect_ == Effect::Solid) {
        const int a = BrightnessAlpha(level_);
        SetColors(WithAlpha(colour_[0], a), WithAlpha(colour_[1], a));
    }
}

void CNexMouseStatic::SetColorCycle(bool on)
{
    cycleTimer_.stop();
    if (on) {
        saved_[0] = colour_[0];
        saved_[1] = colour_[1];
        cycle_ = true;
        cycleTimer_.start();
    } else {
        colour_[0] = saved_[0];
        colour_[1] = saved_[1];
        cycle_ = false;
        update();
    }
}

void CNexMouseStatic::EffectTick()
{
    if (!isVisible())
        return;
    const int a = animation_.tick(effect_, BrightnessAlpha(level_));
    SetColors(WithAlpha(colour_[0], a), WithAlpha(colour_[1], a));
}

void CNexMouseStatic::CycleTick()
{
    const uint32_t rgb = cycleColours_.tick();
    const uint32_t c = (colour_[0] & 0xFF000000u) | rgb;
    SetColors(c, c);
}

void CNexMouseStatic::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    const QRect zones[2] = {ZoneA, ZoneB};
    for (int i = 0; i < 2; ++i)
        if (lit_[i])
            p.fillRect(zones[i], FromArgb(colour_[i]));
    DrawStretched(p, picture_, rect());
}

// ---- colour square ----------------------------------------------------------

uint32_t ColourSquarePixel(int x, int y, int w, int h, uint32_t base)
{
    if (w <= 0 || h <= 0)
        return 0;
    const double u = static_cast<double>(x) / w, v = static_cast<double>(y) / h;
    const double channel[3] = {double(base & 0xFF), double((base >> 8) & 0xFF), double((base >> 16) & 0xFF)};
    uint32_t out = 0;
    for (int i = 0; i < 3; ++i) {
        // Upper-left triangle: white → base across, black below; lower-right: base fading to black.
        const double c = (u + v <= 1.0) ? 255.0 * (1.0 - u - v) + channel[i] * u : channel[i] * (1.0 - v);
        out |= static_cast<uint32_t>(std::clamp(static_cast<int>(c + 0.5), 0, 255)) << (8 * i);
    }
    return out;
}

uint32_t SnapPickedColour(uint32_t c)
{
    const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    if (r >= 251 && g >= 253 && b >= 253)
        return 0xFFFFFF;
    if (r >= 252 && g <= 8 && b <= 40)
        return 0x0000FF;
    if (r <= 5 && g <= 5 && b <= 5)
        return 0x000000;
    if (r <= 38 && g <= 6 && b > 252)
        return 0xFF0000;
    if (r <= 27 && g > 252 && b <= 35)
        return 0x00FF00;
    return c;
}

CPolColorStatic::CPolColorStatic(QWidget *parent, int id) : QWidget(parent)
{
    setControlId(id);
    setAttribute(Qt::WA_NoSystemBackground);
    picked_ = SnapPickedColour(ColourSquarePixel(marker_.x(), marker_.y(), 143, 140, base_));
}

void CPolColorStatic::SetBaseColor(uint32_t colorref)
{
    base_ = colorref;
    update();
}

void CPolColorStatic::SetOverlay(const QImage &image)
{
    overlay_ = image;
    update();
}

void CPolColorStatic::pickAt(QPoint pos)
{
    marker_ = QPoint(std::clamp(pos.x(), 0, std::max(0, width() - 1)),
                     std::clamp(pos.y(), 0, std::max(0, height() - 1)));
    picked_ = SnapPickedColour(ColourSquarePixel(marker_.x(), marker_.y(), width(), height(), base_));
    update();
    NotifyParent(this, controlId(), 0);
}

void CPolColorStatic::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int w = width(), h = height();
    QImage square(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(square.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = FromColorref(ColourSquarePixel(x, y, w, h, base_)).rgb();
    }
    p.drawImage(0, 0, square);
    const int x = marker_.x(), y = marker_.y();
    const int mx = x - 4 < 0 ? 0 : (w < x + 5 ? w - 9 : x - 4);
    const int my = y - 4 < 0 ? 0 : (h < y + 5 ? h - 9 : y - 4);
    p.setPen(FromArgb(0xFF252525));
    p.drawRect(mx + 1, my + 1, 5, 5);
    p.setPen(Qt::white);
    p.drawRect(mx, my, 7, 7);
    DrawStretched(p, overlay_, rect());
}

void CPolColorStatic::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    dragging_ = true;
    pickAt(e->position().toPoint());
}

void CPolColorStatic::mouseMoveEvent(QMouseEvent *e)
{
    if (dragging_)
        pickAt(e->position().toPoint());
}

void CPolColorStatic::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton || !dragging_)
        return;
    dragging_ = false;
    pickAt(e->position().toPoint());
}

// ---- CNexProgressCtrl -------------------------------------------------------

CNexProgressCtrl::CNexProgressCtrl(QWidget *parent, int id) : QWidget(parent)
{
    setControlId(id);
    setAttribute(Qt::WA_NoSystemBackground);
}

void CNexProgressCtrl::SetImages(const QImage &background, const QImage &fill)
{
    background_ = background;
    fill_ = fill;
    update();
}

void CNexProgressCtrl::SetRange(int min, int max)
{
    min_ = min;
    max_ = max;
    update();
}

void CNexProgressCtrl::SetPos(int pos)
{
    pos_ = pos;
    update();
}

void CNexProgressCtrl::SetVertical(bool vertical)
{
    vertical_ = vertical;
    update();
}

void CNexProgressCtrl::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    DrawStretched(p, background_, rect());
    const QRect target = ProgressFillRect(size(), pos_, min_, max_, vertical_);
    if (target.isEmpty() || fill_.isNull())
        return;
    // The fill is cut, not stretched: its top-left part (vertical: its top rows).
    const QRect source(0, 0, target.width(), target.height());
    p.drawImage(target.topLeft(), fill_, source);
}

} // namespace vela::ui
