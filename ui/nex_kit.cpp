#include "ui/nex_kit.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

#include <cmath>

namespace vela::ui {

void SendSysCommand(QWidget *to, int idOrCode, intptr_t value)
{
    for (QWidget *w = to; w; w = w->parentWidget()) {
        if (auto *target = dynamic_cast<SysCommandTarget *>(w)) {
            target->onSysCommand(idOrCode, value);
            return;
        }
    }
}

void NotifyParent(QWidget *from, int idOrCode, intptr_t value)
{
    if (from)
        SendSysCommand(from->parentWidget(), idOrCode, value);
}

QColor FromArgb(uint32_t argb)
{
    return QColor::fromRgba(argb);
}

QColor FromColorref(uint32_t c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

QFont KitFont(int cellHeight)
{
    // Arial's ascent + descent is 2355 units of a 2048-unit em; a cell height
    // of 15 pixels is therefore an em of about 13 pixels.
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(cellHeight * 2048.0 / 2355.0))));
    f.setWeight(QFont::Normal);
    f.setItalic(false);
    f.setUnderline(false);
    f.setStrikeOut(false);
    return f;
}

QPoint TextOrigin(QSize extent, bool centreH, bool centreV, QRect box)
{
    // Box edges are exclusive on the right and bottom, as the kit's layouts are.
    const int left = box.left(), top = box.top();
    const int right = box.left() + box.width(), bottom = box.top() + box.height();
    const int x = centreH ? left + (right - extent.width() - left) / 2 : left;
    const int y = centreV ? top + (bottom - extent.height() - top) / 2 : top;
    return {x, y};
}

void DrawTextAt(QPainter &p, const QString &text, QColor colour, bool centreH, bool centreV,
                QRect box, const QFont *font)
{
    if (font)
        p.setFont(*font);
    const QFontMetrics fm(p.font());
    const QSize extent(fm.horizontalAdvance(text), fm.height());
    const QPoint origin = TextOrigin(extent, centreH, centreV, box);
    p.setPen(colour);
    p.drawText(QPoint(origin.x(), origin.y() + fm.ascent()), text);
}

const QImage &ChooseLookImage(const LookImages &images, bool enabled, bool selected, int look)
{
    static const QImage none;
    // Without a disabled image a disabled control draws nothing at all.
    if (!enabled)
        return images[LookDisabled];
    if (selected && !images[LookPressed].isNull())
        return images[LookPressed];
    if (look >= LookNormal && look <= LookPressed)
        return images[look];
    return none;
}

void DrawStretched(QPainter &p, const QImage &image, QRect target)
{
    if (image.isNull() || target.isEmpty())
        return;
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(target, image);
}

} // namespace vela::ui
