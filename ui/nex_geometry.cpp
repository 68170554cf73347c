#include "ui/nex_geometry.h"

#include <algorithm>

namespace vela::ui {

int ClampValue(int v, int min, int max)
{
    if (v > max)
        v = max;
    if (v < min)
        v = min;
    return v;
}

int RoundPointerValue(double v, bool halfUp)
{
    const int whole = static_cast<int>(v);
    const double fraction = v - whole;
    return (halfUp ? fraction >= 0.5 : fraction > 0.5) ? whole + 1 : whole;
}

int SnapToStep(int v, int step)
{
    if (step <= 0)
        return v;
    const int q = v / step, r = v % step;
    return r > step / 2 ? (q + 1) * step : q * step;
}

float RangeFraction(int value, int min, int max)
{
    if (max == min)
        return 0.0f;
    return static_cast<float>(value - min) / static_cast<float>(max - min);
}

QRect Slider3DThumbRect(QRect client, QSize image1, QSize imageK, QSize image3, int value, int min,
                        int max)
{
    const int L = client.left(), R = RightOf(client);
    const int w1 = image1.width();
    const float f = RangeFraction(value, min, max);
    const int centre = L + static_cast<int>(static_cast<float>(R - w1 - L) * f) + w1 / 2;
    int left = centre - imageK.width() / 2;
    const int top = client.top() + (image3.height() - imageK.height()) / 2;
    if (left < 0)
        left = 0;
    if (left + imageK.width() > R)
        left = R - imageK.width();
    return QRect(left, top, imageK.width(), imageK.height());
}

int Slider3DValueFromPointer(int x, QRect client, int thumbWidth, int min, int max, int step)
{
    const int L = client.left(), R = RightOf(client);
    const int span = R - thumbWidth - L;
    if (max == min || span <= 0)
        return min;
    const double v = static_cast<double>(x - thumbWidth / 2 - L) * (max - min) / span + min;
    return SnapToStep(ClampValue(RoundPointerValue(v, true), min, max), step);
}

int VerThumbCentreY(QRect client, int thumbHeight, int value, int min, int max)
{
    const float f = RangeFraction(value, min, max);
    return client.top() +
           static_cast<int>(static_cast<float>(client.height() - thumbHeight - client.top()) * f) +
           thumbHeight / 2;
}

int VerValueFromPointer(int y, QRect client, int thumbHeight, int min, int max, int step)
{
    const int span = client.height() - thumbHeight - client.top();
    if (max == min || span <= 0)
        return min;
    const double v =
        static_cast<double>(y - thumbHeight / 2 - client.top()) * (max - min) / span + min;
    return SnapToStep(ClampValue(RoundPointerValue(v, true), min, max), step);
}

QRect VerValueBox(QRect client, QRect thumb, int centreY)
{
    const int left = std::max(client.left(), thumb.left() - thumb.width());
    const int right = std::min(RightOf(client), thumb.left() + thumb.width());
    return RectLTRB(left, centreY + thumb.height(), right, centreY + thumb.height() + 20);
}

ScrollGeometry ComputeScrollGeometry(QSize client, QSize first, QSize second, QSize thumb)
{
    ScrollGeometry g;
    const int W = client.width(), H = client.height();
    g.vertical = !(H < W);
    if (g.vertical) {
        const int h1 = first.height(), h2 = second.height();
        g.firstArrow = RectLTRB(0, 0, W, h1);
        g.secondArrow = RectLTRB(0, H - h2, W, H);
        g.track = RectLTRB(0, h1, W, H - h2);
        g.thumb = RectLTRB(0, h1, W, h1 + thumb.height());
    } else {
        const int w1 = first.width(), w2 = second.width();
        g.firstArrow = RectLTRB(0, 0, w1, H);
        g.secondArrow = RectLTRB(W - w2, 0, W, H);
        g.track = RectLTRB(w1, 0, W - w2, H);
        g.thumb = RectLTRB(w1, 0, w1 + thumb.width(), H);
    }
    return g;
}

QRect ScrollThumbRect(const ScrollGeometry &g, QSize thumbImage, int pos, int min, int max)
{
    pos = ClampValue(pos, min, max);
    QRect thumb = g.thumb;
    const int trackStart = g.vertical ? g.track.top() : g.track.left();
    const int trackSize = g.vertical ? g.track.height() : g.track.width();
    const int thumbSize = g.vertical ? thumbImage.height() : thumbImage.width();
    const int start =
        trackStart + static_cast<int>(RangeFraction(pos, min, max) * static_cast<float>(trackSize - thumbSize));
    if (g.vertical)
        thumb.moveTop(start);
    else
        thumb.moveLeft(start);
    return thumb;
}

int ScrollValueFromPointer(const ScrollGeometry &g, QSize thumbImage, int coord, int min, int max)
{
    const int trackStart = g.vertical ? g.track.top() : g.track.left();
    const int trackEnd = g.vertical ? BottomOf(g.track) : RightOf(g.track);
    const int thumbSize = g.vertical ? thumbImage.height() : thumbImage.width();
    const int span = trackEnd - trackStart - thumbSize;
    if (max == min || span <= 0)
        return min;
    const double v = static_cast<double>(coord - thumbSize / 2 - trackStart) * (max - min) / span + min;
    return ClampValue(RoundPointerValue(v, g.vertical), min, max);
}

QRect ProgressFillRect(QSize client, int pos, int min, int max, bool vertical)
{
    if (max == min)
        return {};
    const double f = static_cast<double>(pos - min) / (max - min);
    if (f <= 0.0)
        return {};
    if (vertical) {
        const int h = std::min(client.height(), static_cast<int>(client.height() * f));
        return QRect(0, client.height() - h, client.width(), h);
    }
    const int w = std::min(client.width(), static_cast<int>(client.width() * f));
    return QRect(0, 0, w, client.height());
}

} // namespace vela::ui
