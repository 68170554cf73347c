#include "tools/skingen/pictures.h"

#include "app/skin_layout.h"
#include "tools/skingen/art.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdint>

namespace skingen {
namespace {

// Fixed-seed hash noise, 0-255: the same texture on every build.
int noise(uint32_t x, uint32_t y, uint32_t seed)
{
    uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return int((h ^ (h >> 16)) & 0xff);
}

// Top view of the mouse: narrow nose at the top, widest at the rear.
QPainterPath mouseBody(double cx, double top, double bottom, double front, double rear)
{
    const double h = bottom - top;
    QPainterPath path;
    path.moveTo(cx, top);
    path.cubicTo(cx + front * 0.7, top, cx + front, top + h * 0.1, cx + front, top + h * 0.3);
    path.cubicTo(cx + front, top + h * 0.48, cx + rear * 0.92, top + h * 0.56, cx + rear, top + h * 0.72);
    path.cubicTo(cx + rear * 1.04, top + h * 0.94, cx + rear * 0.5, bottom, cx, bottom);
    path.cubicTo(cx - rear * 0.5, bottom, cx - rear * 1.04, top + h * 0.94, cx - rear, top + h * 0.72);
    path.cubicTo(cx - rear * 0.92, top + h * 0.56, cx - front, top + h * 0.48, cx - front, top + h * 0.3);
    path.cubicTo(cx - front, top + h * 0.1, cx - front * 0.7, top, cx, top);
    path.closeSubpath();
    return path;
}

// Shared shading of both mouse pictures: body, button split, palm seam.
void paintMouse(QPainter &p, const QPainterPath &body, double cx, double top, double splitEnd,
                double wheelTop, double wheelBottom)
{
    const QRectF b = body.boundingRect();
    QLinearGradient shade(b.topLeft(), b.topRight());
    shade.setColorAt(0, QColor(30, 32, 36));
    shade.setColorAt(0.45, QColor(52, 56, 62));
    shade.setColorAt(1, QColor(24, 26, 29));
    p.setPen(QPen(QColor(86, 92, 100), 1.2));
    p.setBrush(shade);
    p.drawPath(body);

    // A soft sheen along the left shoulder.
    QRadialGradient sheen(QPointF(cx - b.width() * 0.18, top + b.height() * 0.3), b.width() * 0.5);
    sheen.setColorAt(0, QColor(255, 255, 255, 26));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sheen);
    p.drawPath(body);

    p.setPen(QPen(QColor(8, 9, 10), 2));
    p.drawLine(QPointF(cx, top + 1), QPointF(cx, wheelTop - 2));
    p.drawLine(QPointF(cx, wheelBottom + 2), QPointF(cx, splitEnd));
    QPainterPath seam;
    seam.moveTo(b.left() + b.width() * 0.06, splitEnd + 18);
    seam.quadTo(cx, splitEnd - 12, b.right() - b.width() * 0.06, splitEnd + 18);
    p.setBrush(Qt::NoBrush);
    p.drawPath(seam);

    // Accent trim on the rear.
    QPainterPath trim;
    trim.moveTo(cx - b.width() * 0.28, b.bottom() - 14);
    trim.quadTo(cx, b.bottom() - 4, cx + b.width() * 0.28, b.bottom() - 14);
    p.setPen(QPen(QColor(50, 235, 165, 150), 1.5));
    p.drawPath(trim);
}

void drawWheel(QPainter &p, const QRectF &slot)
{
    p.setPen(QPen(QColor(10, 11, 12), 2));
    p.setBrush(QColor(20, 21, 24));
    p.drawRoundedRect(slot.adjusted(-2, -2, 2, 2), 9, 9);
}

} // namespace

QImage lightingMouse()
{
    QImage image(270, 369, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(17, 18, 21));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    const double cx = 132;
    const QPainterPath body = mouseBody(cx, 20, 356, 60, 74);
    const QRectF wheel = QRectF(vela::skin::kPreviewZoneA).adjusted(2, 2, -2, -2);
    paintMouse(p, body, cx, 20, 192, wheel.top(), wheel.bottom());
    drawWheel(p, wheel);

    // Cut the two glow windows out, then lay the wheel's ribs over the slot so
    // the glow shows the wheel's grip.
    // A "V" across the logo zone.
    const QPointF z = vela::skin::kPreviewZoneB.topLeft();
    QPainterPath logo;
    logo.moveTo(z + QPointF(2, 4));
    logo.lineTo(z + QPointF(10.5, 4));
    logo.lineTo(z + QPointF(16.5, 18));
    logo.lineTo(z + QPointF(22.5, 4));
    logo.lineTo(z + QPointF(31, 4));
    logo.lineTo(z + QPointF(20.5, 27));
    logo.lineTo(z + QPointF(12.5, 27));
    logo.closeSubpath();
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRoundedRect(wheel, 8, 8);
    p.drawPath(logo);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setPen(QPen(QColor(0, 0, 0, 120), 1.5));
    for (double y = wheel.top() + 5; y < wheel.bottom() - 3; y += 5)
        p.drawLine(QPointF(wheel.left() + 3, y), QPointF(wheel.right() - 3, y));
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage buttonsMouse()
{
    QImage image(300, 330, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    const double cx = 150;
    const QPainterPath body = mouseBody(cx, 18, 318, 54, 66);
    const QRectF wheel(139, 74, 22, 42);
    paintMouse(p, body, cx, 18, 186, wheel.top(), 168);
    drawWheel(p, wheel);
    p.setPen(QPen(QColor(0, 0, 0, 140), 1.2));
    p.setBrush(QColor(60, 64, 70));
    p.drawRoundedRect(wheel, 8, 8);

    // DPI buttons behind the wheel and the two side buttons on the left flank.
    const QRectF dpiUp(143, 126, 14, 14), dpiDown(143, 146, 14, 14);
    const QRectF forward(92, 150, 10, 30), back(90, 186, 10, 30);
    p.setPen(QPen(QColor(10, 11, 12), 1.2));
    p.setBrush(QColor(70, 75, 82));
    for (const QRectF &r : {dpiUp, dpiDown, forward, back})
        p.drawRoundedRect(r, 3, 3);

    struct Callout {
        QPointF target;
        QPointF badge;
    };
    const Callout callouts[7] = {
        {{122, 70}, {40, 40}},   {{178, 70}, {262, 40}},   {{150, 96}, {262, 92}},
        {{97, 165}, {30, 150}},  {{95, 201}, {30, 206}},   {{150, 133}, {262, 140}},
        {{150, 153}, {262, 184}},
    };
    for (int i = 0; i < 7; ++i) {
        const Callout &c = callouts[i];
        p.setPen(QPen(QColor(120, 128, 138), 1));
        p.drawLine(c.target, c.badge);
        p.setPen(Qt::NoPen);
        p.setBrush(colour::accent);
        p.drawEllipse(c.target, 2.5, 2.5);
        p.setPen(QPen(colour::accent, 1.5));
        p.setBrush(QColor(14, 16, 18));
        p.drawEllipse(c.badge, 11, 11);
        drawText(p, QRectF(c.badge.x() - 11, c.badge.y() - 11, 22, 22).toRect(), QString::number(i + 1),
                 13, Qt::white, Qt::AlignCenter, true);
    }
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage surfacePicture(int percent)
{
    QImage image(140, 85, QImage::Format_RGB32);
    image.fill(QColor(14, 15, 17));
    const QColor low(235, 95, 70), mid(235, 190, 60);
    const QColor tint = percent <= 0 ? QColor(90, 94, 100)
                        : percent < 50 ? mix(low, mid, percent / 50.0)
                                       : mix(mid, colour::accent, (percent - 50) / 50.0);
    // A sensor's-eye view: the better the surface, the finer and more even
    // its grain.
    const QRect view(6, 6, 73, 73);
    const int grain = percent <= 0 ? 1 : 1 + percent / 34;
    for (int y = 0; y < view.height(); ++y)
        for (int x = 0; x < view.width(); ++x) {
            const int n = noise(x / grain, y / grain, 7 + percent);
            const double contrast = percent <= 0 ? 0.12 : 0.2 + percent / 160.0;
            const double v = 0.18 + contrast * (n / 255.0);
            image.setPixel(view.left() + x, view.top() + y, mix(Qt::black, tint, v).rgb());
        }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(62, 67, 75), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(view).adjusted(-0.5, -0.5, 0.5, 0.5));
    const QRect right(84, 6, 52, 73);
    if (percent <= 0) {
        drawText(p, right.adjusted(0, 0, 0, -24), QStringLiteral("--"), 24, colour::textDim, Qt::AlignCenter, true);
        drawText(p, QRect(84, 52, 52, 24), QStringLiteral("No data"), 11, colour::textDim, Qt::AlignCenter);
    } else {
        drawText(p, right.adjusted(0, 0, 0, -24), QString::number(percent) + u'%', percent == 100 ? 19 : 22,
                 tint, Qt::AlignCenter, true);
        drawText(p, QRect(84, 52, 52, 24), QStringLiteral("Quality"), 11, colour::textDim, Qt::AlignCenter);
    }
    p.end();
    return image;
}

QImage analysisFrame(int frame)
{
    QImage image(200, 110, QImage::Format_RGB32);
    image.fill(QColor(16, 17, 20));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // The surface, drawn in perspective as a grid.
    const QColor grid(40, 44, 50);
    p.setPen(QPen(grid, 1));
    for (int i = 0; i <= 10; ++i) {
        const double x0 = 10 + i * 18, x1 = 30 + i * 14;
        p.drawLine(QPointF(x1, 40), QPointF(x0, 104));
    }
    for (double y : {40.0, 52.0, 66.0, 83.0, 104.0})
        p.drawLine(QPointF(10 + (104 - y) * 0.31, y), QPointF(190 - (104 - y) * 0.31, y));

    // The mouse moves left, centre, right; its sensor lights the surface.
    const double cx = 55 + 45 * frame;
    QRadialGradient glow(QPointF(cx, 86), 26);
    glow.setColorAt(0, QColor(50, 235, 165, 120));
    glow.setColorAt(1, QColor(50, 235, 165, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(cx, 86), 30, 12);
    const QPainterPath body = mouseBody(cx, 20, 92, 15, 18);
    p.setPen(QPen(QColor(100, 106, 114), 1));
    p.setBrush(QColor(48, 52, 58));
    p.drawPath(body);
    p.setPen(QPen(QColor(10, 11, 12), 1.2));
    p.drawLine(QPointF(cx, 21), QPointF(cx, 44));

    // Arrows showing the back-and-forth movement.
    p.setPen(QPen(colour::accent, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const double left = cx - 32, right = cx + 32;
    p.drawLine(QPointF(left, 32), QPointF(left - 10, 32));
    p.drawLine(QPointF(left - 10, 32), QPointF(left - 6, 28));
    p.drawLine(QPointF(left - 10, 32), QPointF(left - 6, 36));
    p.drawLine(QPointF(right, 32), QPointF(right + 10, 32));
    p.drawLine(QPointF(right + 10, 32), QPointF(right + 6, 28));
    p.drawLine(QPointF(right + 10, 32), QPointF(right + 6, 36));
    p.setPen(QPen(QColor(62, 67, 75), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 199, 109));
    p.end();
    return image;
}

QImage sliderThumb(Thumb kind, int number)
{
    QImage image(15, 21, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(1.5, 0.5, 12, 20);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    QColor border;
    switch (kind) {
    case Thumb::Normal:
        g.setColorAt(0, QColor(226, 229, 233));
        g.setColorAt(1, QColor(150, 155, 162));
        border = QColor(20, 22, 25);
        break;
    case Thumb::Disabled:
        g.setColorAt(0, QColor(78, 81, 86));
        g.setColorAt(1, QColor(54, 57, 61));
        border = QColor(18, 19, 21);
        break;
    case Thumb::Numbered:
        g.setColorAt(0, QColor(120, 250, 200));
        g.setColorAt(1, colour::accentDark);
        border = QColor(10, 40, 30);
        break;
    }
    p.setPen(QPen(border, 1));
    p.setBrush(g);
    p.drawRoundedRect(body, 3.5, 3.5);
    if (kind == Thumb::Numbered) {
        drawText(p, QRect(1, 0, 13, 21), QString::number(number), 11, colour::onAccent, Qt::AlignCenter, true);
    } else if (kind == Thumb::Normal) {
        p.setPen(QPen(colour::accentDark, 1.2));
        p.drawLine(QPointF(7.5, 6), QPointF(7.5, 15));
    }
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage scrollImage(int state)
{
    QImage image(23, 222, QImage::Format_RGB32);
    image.fill(QColor(13, 14, 16));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRect(0, 0, 1, 222), QColor(30, 33, 37));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(26, 28, 32));
    p.drawRoundedRect(QRectF(9.5, 18, 4, 186), 2, 2);
    if (state != 0) {
        const bool pressed = state == 1;
        const QColor ink = pressed ? colour::accent : QColor(150, 153, 158);
        for (int lower = 0; lower < 2; ++lower) {
            const QRect part = lower ? vela::skin::kScrollDownArrow : vela::skin::kScrollUpArrow;
            const QRectF box = QRectF(part).adjusted(1.5, 0.5, -0.5, -0.5);
            p.setPen(QPen(pressed ? colour::accent : QColor(52, 56, 62), 1));
            p.setBrush(pressed ? QColor(22, 52, 40) : QColor(26, 28, 32));
            p.drawRoundedRect(box, 3, 3);
            const QPointF c = box.center();
            QPainterPath arrow;
            const double d = lower ? 1 : -1;
            arrow.moveTo(c.x() - 4, c.y() - 2 * d);
            arrow.lineTo(c.x() + 4, c.y() - 2 * d);
            arrow.lineTo(c.x(), c.y() + 2.5 * d);
            arrow.closeSubpath();
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            p.drawPath(arrow);
        }
        QLinearGradient g(QPointF(6, 0), QPointF(17, 0));
        g.setColorAt(0, pressed ? colour::accentDark : QColor(70, 75, 82));
        g.setColorAt(0.5, pressed ? colour::accent : QColor(98, 104, 112));
        g.setColorAt(1, pressed ? colour::accentDark : QColor(70, 75, 82));
        p.setBrush(g);
        p.drawRoundedRect(QRectF(vela::skin::kScrollThumb).adjusted(6.5, 1, -6.5, -1), 5, 5);
    }
    p.end();
    return image;
}

QImage colourSlider()
{
    QImage image(40, 149, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    QLinearGradient hue(QPointF(0, 4), QPointF(0, 145));
    for (int i = 0; i <= 6; ++i)
        hue.setColorAt(i / 6.0, QColor::fromHsv((360 - i * 60) % 360, 255, 255));
    p.setPen(QPen(QColor(62, 67, 75), 1));
    p.setBrush(hue);
    p.drawRect(QRectF(12.5, 4.5, 15, 140));
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage colourPalette()
{
    QImage image(143, 140, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const double s = x / 142.0, v = 1.0 - y / 139.0;
            const QColor c = QColor::fromRgbF(float(v), float(v * (1 - s)), float(v * (1 - s)));
            image.setPixel(x, y, c.rgb());
        }
    return image;
}

QImage colourPanel()
{
    QImage image(143, 140, QImage::Format_RGB32);
    image.fill(colour::field);
    QPainter p(&image);
    p.setPen(QColor(24, 26, 30));
    for (int i = 12; i < 143; i += 13) {
        p.drawLine(i, 1, i, 138);
        p.drawLine(1, i, 141, i);
    }
    p.setPen(QColor(62, 67, 75));
    p.drawRect(0, 0, 142, 139);
    p.end();
    return image;
}

} // namespace skingen
