#include "tools/skingen/art.h"

#include <QLinearGradient>
#include <QConicalGradient>
#include <QPainterPath>

namespace skingen {

using vela::skin::Control;
using vela::skin::Kind;

namespace {

QRectF inset(const QRect &r, double d)
{
    return QRectF(r).adjusted(d, d, -d, -d);
}

void roundedBox(QPainter &p, const QRectF &r, double radius, const QBrush &fill, const QColor &border)
{
    p.setPen(QPen(border, 1));
    p.setBrush(fill);
    p.drawRoundedRect(r, radius, radius);
}

QBrush vertical(const QRectF &r, const QColor &top, const QColor &bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

void drawButton(QPainter &p, const Control &c, const QRect &r, int look)
{
    const QRectF box = inset(r, 0.5);
    const double radius = std::min(4.0, r.height() / 4.0);
    QColor textColour = colour::text;
    switch (look) {
    case 1:
        roundedBox(p, box, radius, vertical(box, {48, 52, 58}, {34, 37, 42}),
                   mix(colour::lineHi, colour::accent, 0.55));
        textColour = Qt::white;
        break;
    case 2:
        roundedBox(p, box, radius, vertical(box, colour::accent, colour::accentDark), colour::accent);
        textColour = colour::onAccent;
        break;
    case 3:
        roundedBox(p, box, radius, QColor(20, 22, 25), QColor(36, 39, 43));
        textColour = colour::textOff;
        break;
    default:
        roundedBox(p, box, radius, vertical(box, {38, 41, 46}, {27, 29, 33}), colour::lineHi);
        break;
    }
    const int px = r.height() >= 45 ? 19 : r.height() >= 20 ? 13 : 12;
    drawText(p, r, c.art.toString(), px, textColour, Qt::AlignCenter, true);
}

void drawTab(QPainter &p, const Control &c, const QRect &r, int look)
{
    const QColor colours[] = {{165, 168, 172}, Qt::white, colour::accent, colour::textOff};
    drawText(p, r.adjusted(0, 0, 0, -3), c.art.toString(), 14, colours[look], Qt::AlignCenter, true);
    if (look == 1 || look == 2) {
        const QColor bar = look == 2 ? colour::accent : QColor(88, 94, 102);
        const int w = look == 2 ? r.width() : r.width() * 2 / 3;
        p.fillRect(QRect(r.center().x() - w / 2, r.bottom() - 1, w, 2), bar);
    }
}

void drawCross(QPainter &p, const QRect &r, int look)
{
    const QRectF box = inset(r, 0.5);
    QColor cross(150, 153, 158);
    if (look == 1) {
        roundedBox(p, box, 3, QColor(58, 62, 69), QColor(86, 92, 100));
        cross = Qt::white;
    } else if (look == 2) {
        roundedBox(p, box, 3, colour::accent, colour::accent);
        cross = colour::onAccent;
    } else if (look == 3) {
        cross = colour::textOff;
    }
    const QRectF x = QRectF(r).adjusted(r.width() * 0.3, r.height() * 0.3, -r.width() * 0.3,
                                        -r.height() * 0.3);
    p.setPen(QPen(cross, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(x.topLeft(), x.bottomRight());
    p.drawLine(x.topRight(), x.bottomLeft());
}

void drawArrow(QPainter &p, const QRect &r, const QColor &colour, double half)
{
    const QPointF c = QRectF(r).center();
    QPainterPath path;
    path.moveTo(c.x() - half, c.y() - half / 2);
    path.lineTo(c.x() + half, c.y() - half / 2);
    path.lineTo(c.x(), c.y() + half / 2 + 0.5);
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
}

const QColor &arrowColour(int look)
{
    static const QColor colours[] = {{150, 153, 158}, Qt::white, colour::accent, colour::textOff};
    return colours[look];
}

void drawProfileButton(QPainter &p, const QRect &r, int look)
{
    const QRectF box = inset(r, 0.5);
    switch (look) {
    case 1:
        roundedBox(p, box, 3, QColor(36, 39, 44), QColor(96, 102, 110));
        break;
    case 2:
        roundedBox(p, box, 3, QColor(22, 44, 36), colour::accent);
        break;
    case 3:
        roundedBox(p, box, 3, QColor(16, 17, 19), QColor(32, 34, 38));
        break;
    default:
        roundedBox(p, box, 3, QColor(26, 28, 32), QColor(54, 58, 64));
        break;
    }
}

void drawMenuButton(QPainter &p, const QRect &r, int look)
{
    if (r.width() >= 16) {
        const QColor border = look == 2 ? colour::accent : look == 1 ? colour::lineHi : colour::line;
        roundedBox(p, inset(r, 0.5), 3, colour::field, border);
    }
    drawArrow(p, r, arrowColour(look), std::min(4.0, r.width() / 2.0 - 1));
}

void drawCombo(QPainter &p, const QRect &r, int look)
{
    const QColor borders[] = {{58, 63, 70}, {100, 108, 118}, colour::accent, {34, 37, 41}};
    const QRectF box = inset(r, 0.5);
    roundedBox(p, box, 3, vertical(box, {24, 26, 30}, {17, 18, 21}), borders[look]);
    const QRect arrowBox(r.right() - 22, r.top(), 22, r.height());
    p.setPen(QPen(borders[look == 2 ? 2 : 0], 1));
    p.drawLine(QPointF(arrowBox.left() + 0.5, r.top() + 4), QPointF(arrowBox.left() + 0.5, r.bottom() - 3));
    drawArrow(p, arrowBox, arrowColour(look), 4);
}

void drawCheckBox(QPainter &p, const QRect &r, int look)
{
    const int side = std::min(r.width(), r.height()) - 2;
    const QRectF box(r.left() + (r.width() - side) / 2.0 + 0.5, r.top() + (r.height() - side) / 2.0 + 0.5,
                     side - 1, side - 1);
    switch (look) {
    case 1:
        roundedBox(p, box, 3, QColor(26, 29, 32), mix(colour::lineHi, colour::accent, 0.6));
        break;
    case 2: {
        roundedBox(p, box, 3, colour::accent, colour::accent);
        drawTick(p, box, colour::onAccent, 2);
        break;
    }
    case 3:
        roundedBox(p, box, 3, QColor(16, 17, 19), QColor(40, 43, 47));
        break;
    default:
        roundedBox(p, box, 3, QColor(18, 20, 23), QColor(98, 104, 112));
        break;
    }
}

void drawRadio(QPainter &p, const QRect &r, int look)
{
    const double d = std::min(r.width(), r.height()) - 3;
    const QRectF ring(r.left() + (r.width() - d) / 2.0, r.top() + (r.height() - d) / 2.0, d, d);
    const QColor rings[] = {{98, 104, 112}, {150, 240, 205}, colour::accent, {40, 43, 47}};
    p.setPen(QPen(rings[look], 1.5));
    p.setBrush(QColor(16, 18, 21));
    p.drawEllipse(ring);
    if (look == 2 || look == 1) {
        p.setPen(Qt::NoPen);
        p.setBrush(look == 2 ? colour::accent : QColor(60, 66, 72));
        p.drawEllipse(ring.adjusted(d * 0.27, d * 0.27, -d * 0.27, -d * 0.27));
    }
}

void drawToggle(QPainter &p, const QRect &r, int look)
{
    const double h = std::min(16, r.height() - 4);
    const QRectF track(r.left() + 2, r.top() + (r.height() - h) / 2.0, r.width() - 4, h);
    const QColor tracks[] = {{42, 46, 52}, {56, 61, 68}, colour::accent, {26, 28, 31}};
    const QColor knobs[] = {{160, 163, 168}, Qt::white, Qt::white, {70, 72, 76}};
    p.setPen(QPen(look == 2 ? colour::accent : look == 3 ? QColor(36, 38, 42) : colour::lineHi, 1));
    p.setBrush(tracks[look]);
    p.drawRoundedRect(track, h / 2, h / 2);
    const double k = h - 4;
    const double x = look == 2 ? track.right() - 2 - k : track.left() + 2;
    p.setPen(Qt::NoPen);
    p.setBrush(knobs[look]);
    p.drawEllipse(QRectF(x, track.top() + 2, k, k));
}

void drawTarget(QPainter &p, const QRect &r, int look)
{
    const QColor borders[] = {{98, 104, 112}, Qt::white, colour::accent, {40, 43, 47}};
    const QRectF box = inset(r, 1);
    roundedBox(p, box, 3, QColor(16, 18, 21), borders[look]);
    QConicalGradient hue(box.center(), 90);
    for (int i = 0; i <= 6; ++i)
        hue.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, look == 3 ? 60 : 230, look == 3 ? 90 : 255));
    p.setPen(Qt::NoPen);
    p.setBrush(hue);
    p.drawEllipse(box.center(), box.width() * 0.28, box.height() * 0.28);
}

void drawIndicator(QPainter &p, const Control &c, const QRect &r, int look)
{
    const QRectF box = inset(r, 0.5);
    if (look == 1 || look == 2) {
        roundedBox(p, box, r.height() / 2.0, colour::accent, colour::accent);
        drawText(p, r, c.art.toString(), 11, colour::onAccent, Qt::AlignCenter, true);
    } else if (look == 3) {
        roundedBox(p, box, r.height() / 2.0, QColor(16, 17, 19), QColor(32, 34, 38));
        drawText(p, r, c.art.toString(), 11, colour::textOff, Qt::AlignCenter, true);
    } else {
        roundedBox(p, box, r.height() / 2.0, QColor(26, 28, 32), QColor(62, 67, 74));
        drawText(p, r, c.art.toString(), 11, QColor(170, 173, 178), Qt::AlignCenter, true);
    }
}

// The groove sits at the thumbs' centre line (thumb images are 21 high).
void drawSliderTrack(QPainter &p, const QRect &r, int look)
{
    const QRectF groove(r.left() + 6, r.top() + 8.5, r.width() - 12, 4);
    const QColor fill = look == 3 ? QColor(26, 28, 31) : look == 1 ? QColor(62, 68, 76) : QColor(52, 57, 64);
    p.setPen(QPen(QColor(8, 9, 10), 1));
    p.setBrush(fill);
    p.drawRoundedRect(groove, 2, 2);
    p.setPen(QPen(look == 3 ? QColor(30, 32, 35) : QColor(56, 61, 68), 1));
    const int ticks = 11;
    for (int i = 0; i < ticks; ++i) {
        const double x = groove.left() + 1 + (groove.width() - 2) * i / (ticks - 1);
        p.drawLine(QPointF(x, r.top() + 15.5), QPointF(x, r.top() + 17.5));
    }
}

void drawField(QPainter &p, const QRect &r, int look)
{
    roundedBox(p, inset(r, 0.5), 2, look == 3 ? QColor(17, 18, 20) : colour::field,
               look == 3 ? QColor(34, 36, 40) : QColor(62, 67, 75));
}

void drawList(QPainter &p, const QRect &r, int look)
{
    roundedBox(p, inset(r, 0.5), 3, look == 3 ? QColor(15, 16, 18) : colour::field, colour::line);
    // The scroll bar runs along the right edge.
    p.fillRect(QRect(r.right() - 23, r.top() + 1, 1, r.height() - 2), QColor(30, 33, 37));
}

void drawProgress(QPainter &p, const QRect &r, int look)
{
    const int bars = 10;
    const double step = (r.width() - 4) / double(bars);
    for (int i = 0; i < bars; ++i) {
        const double h = 14 + (r.height() - 24) * (i + 1) / double(bars);
        const QRectF bar(r.left() + 3 + i * step, r.bottom() - 3 - h, step - 4, h);
        QBrush fill;
        if (look == 1 || look == 2)
            fill = vertical(bar, mix(colour::accent, Qt::white, 0.25), colour::accentDark);
        else
            fill = look == 3 ? QColor(22, 24, 27) : QColor(36, 40, 45);
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(bar, 2, 2);
    }
}

void drawDecoration(QPainter &p, const Control &c, const QRect &r, int look)
{
    const QColor ink = look == 3 ? colour::textOff : colour::textDim;
    const QStringList lines = c.art.toString().split(u'\n');
    if (lines.size() == 1) {
        drawText(p, r, lines[0], 11, ink, Qt::AlignLeft | Qt::AlignVCenter, true);
        const int w = QFontMetrics(font(11, true)).horizontalAdvance(lines[0]);
        p.fillRect(QRect(r.left() + w + 6, r.center().y(), r.width() - w - 6, 1),
                   look == 3 ? QColor(30, 32, 35) : colour::line);
        return;
    }
    const int h = r.height() / int(lines.size());
    for (int i = 0; i < lines.size(); ++i)
        drawText(p, QRect(r.left() + 2, r.top() + i * h, r.width() - 2, h), lines[i], 12,
                 look == 3 ? colour::textOff : colour::text);
}

} // namespace

QColor mix(const QColor &a, const QColor &b, double t)
{
    return QColor(int(a.red() + (b.red() - a.red()) * t + 0.5),
                  int(a.green() + (b.green() - a.green()) * t + 0.5),
                  int(a.blue() + (b.blue() - a.blue()) * t + 0.5));
}

void drawTick(QPainter &p, const QRectF &box, const QColor &colour, double width)
{
    QPainterPath tick;
    tick.moveTo(box.left() + box.width() * 0.25, box.top() + box.height() * 0.52);
    tick.lineTo(box.left() + box.width() * 0.43, box.top() + box.height() * 0.70);
    tick.lineTo(box.left() + box.width() * 0.76, box.top() + box.height() * 0.32);
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
}

QFont font(int pixelSize, bool bold)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixelSize);
    f.setWeight(bold ? QFont::DemiBold : QFont::Normal);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

void drawText(QPainter &p, const QRect &box, const QString &text, int pixelSize, const QColor &colour,
              int flags, bool bold)
{
    p.setFont(font(pixelSize, bold));
    p.setPen(colour);
    p.drawText(box, flags, text);
}

void drawPanel(QPainter &p, const QRect &r)
{
    const QRectF box = inset(r, 0.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(box.translated(0, 2), 6, 6);
    roundedBox(p, box, 6, vertical(box, colour::panelTop, colour::panel), colour::line);
    p.setPen(QPen(QColor(255, 255, 255, 14), 1));
    p.drawLine(QPointF(box.left() + 6, box.top() + 1), QPointF(box.right() - 6, box.top() + 1));
}

void drawTitle(QPainter &p, QPoint at, const QString &text)
{
    p.fillRect(QRect(at.x(), at.y() + 3, 3, 12), colour::accent);
    drawText(p, QRect(at.x() + 9, at.y(), 400, 18), text, 14, colour::text,
             Qt::AlignLeft | Qt::AlignVCenter, true);
}

void drawControl(QPainter &p, const Control &c, const QRect &r, int look)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    switch (c.kind) {
    case Kind::Tab: drawTab(p, c, r, look); break;
    case Kind::Button: drawButton(p, c, r, look); break;
    case Kind::CloseButton: drawCross(p, r, look); break;
    case Kind::ProfileButton: drawProfileButton(p, r, look); break;
    case Kind::MenuButton: drawMenuButton(p, r, look); break;
    case Kind::ComboButton: drawCombo(p, r, look); break;
    case Kind::CheckBox: drawCheckBox(p, r, look); break;
    case Kind::Toggle: drawToggle(p, r, look); break;
    case Kind::Radio: drawRadio(p, r, look); break;
    case Kind::TargetButton: drawTarget(p, r, look); break;
    case Kind::Indicator: drawIndicator(p, c, r, look); break;
    case Kind::Slider: drawSliderTrack(p, r, look); break;
    case Kind::Edit: drawField(p, r, look); break;
    case Kind::List: drawList(p, r, look); break;
    case Kind::Progress: drawProgress(p, r, look); break;
    case Kind::Decoration: drawDecoration(p, c, r, look); break;
    case Kind::Caption:
        drawText(p, r, c.art.toString(), 13, look == 3 ? colour::textOff : colour::text, Qt::AlignCenter,
                 true);
        break;
    case Kind::Label:
    case Kind::Picture:
    case Kind::Preview:
    case Kind::Area:
        break; // their windows or other files draw them
    }
    p.restore();
}

void drawControlLabel(QPainter &p, const Control &c, int sheetState)
{
    if (c.art.isEmpty())
        return;
    const QColor ink = sheetState == 3 ? colour::textOff : colour::text;
    const QRect r = c.rect;
    switch (c.kind) {
    case Kind::CheckBox:
    case Kind::Radio:
        drawText(p, QRect(r.right() + 8, r.top() - 4, 160, r.height() + 8), c.art.toString(), 13, ink);
        break;
    case Kind::ComboButton:
        drawText(p, QRect(r.left() - 90, r.top(), 80, r.height()), c.art.toString(), 13,
                 sheetState == 3 ? colour::textOff : colour::textDim, Qt::AlignRight | Qt::AlignVCenter);
        break;
    case Kind::Edit:
    case Kind::Label:
        drawText(p, QRect(r.left() - 158, r.top() - 4, 150, r.height() + 8), c.art.toString(), 12,
                 sheetState == 3 ? colour::textOff : colour::textDim, Qt::AlignRight | Qt::AlignVCenter,
                 true);
        break;
    default:
        break; // the words are inside the control
    }
}

} // namespace skingen
