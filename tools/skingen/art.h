#pragma once
// Drawing vocabulary of our skin set: palette, fonts and the looks of each
// control kind. Everything is deterministic: no time, no randomness beyond
// fixed-seed patterns, fixed fonts.
#include "app/skin_layout.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>

namespace skingen {

namespace colour {
inline const QColor base{11, 12, 14};
inline const QColor panel{21, 23, 26};
inline const QColor panelTop{27, 29, 33};
inline const QColor line{44, 48, 54};
inline const QColor lineHi{78, 84, 93};
inline const QColor field{13, 14, 16};
inline const QColor accent{50, 235, 165};
inline const QColor accentDark{30, 160, 112};
inline const QColor text{210, 210, 210};
inline const QColor textDim{125, 128, 133};
inline const QColor textOff{70, 72, 76};
inline const QColor onAccent{8, 24, 18};
} // namespace colour

// a + (b - a) * t per channel, opaque.
QColor mix(const QColor &a, const QColor &b, double t);
// A check mark inside `box`.
void drawTick(QPainter &p, const QRectF &box, const QColor &colour, double width);

QFont font(int pixelSize, bool bold = false);
void drawText(QPainter &p, const QRect &box, const QString &text, int pixelSize,
              const QColor &colour, int flags = Qt::AlignLeft | Qt::AlignVCenter,
              bool bold = false);

// A soft-edged card with a lighter top edge, for grouping a section.
void drawPanel(QPainter &p, const QRect &r);
// A section title with a short accent bar in front of it.
void drawTitle(QPainter &p, QPoint at, const QString &text);

// One control's picture for a look (0 normal, 1 hover, 2 pressed/checked,
// 3 disabled), filling `r`.
void drawControl(QPainter &p, const vela::skin::Control &control, const QRect &r, int look);
// The words that belong next to a control (its `art` label), drawn outside
// its rectangle.
void drawControlLabel(QPainter &p, const vela::skin::Control &control, int sheetState);

} // namespace skingen
