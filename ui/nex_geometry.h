#pragma once
// Value and geometry maths of the sliders, the scroll bar and the progress bar.
// Plain functions, so tests can check them without widgets. Rectangles use
// exclusive right and bottom edges (RectLTRB), as the skin layouts do.
#include <QRect>
#include <QSize>

namespace vela::ui {

constexpr QRect RectLTRB(int l, int t, int r, int b) { return QRect(QPoint(l, t), QSize(r - l, b - t)); }
constexpr int RightOf(QRect r) { return r.left() + r.width(); }
constexpr int BottomOf(QRect r) { return r.top() + r.height(); }

// Clamps to the maximum first, then to the minimum (so min wins when min > max).
int ClampValue(int v, int min, int max);

// Integer part, plus one when the fraction is >= 0.5 (halfUp) or > 0.5.
int RoundPointerValue(double v, bool halfUp);

// Snaps to a multiple of step: up when the remainder is more than half a
// step, else down (1100 with step 200 goes down to 1000). A step of 0 or less
// leaves v unchanged.
int SnapToStep(int v, int step);

// Fraction of (value - min) over (max - min) in single precision; 0 when
// max = min, so an empty range puts thumbs at the start.
float RangeFraction(int value, int min, int max);

// ---- CNexSliderCtrl3D ------------------------------------------------------

// Rectangle of thumb k: sized as its image, centred on the position of the
// value along the track (measured with image 1), vertically centred on the
// height of image 3, and kept inside the client's left and right edges.
QRect Slider3DThumbRect(QRect client, QSize image1, QSize imageK, QSize image3, int value, int min,
                        int max);

// Value of the active thumb for pointer x: mapped over the track, rounded
// half up, clamped and snapped to the step. An empty range or a track no
// wider than the thumb gives the minimum.
int Slider3DValueFromPointer(int x, QRect client, int thumbWidth, int min, int max, int step);

// ---- CNexSliderCtrlVer -----------------------------------------------------

// Centre y of the thumb for a value.
int VerThumbCentreY(QRect client, int thumbHeight, int value, int min, int max);
// Value for pointer y: rounded half up, clamped, snapped.
int VerValueFromPointer(int y, QRect client, int thumbHeight, int min, int max, int step);
// The value label's box under the thumb, centred on it.
QRect VerValueBox(QRect client, QRect thumb, int centreY);

// ---- CNexScrollCtrl --------------------------------------------------------

struct ScrollGeometry {
    bool vertical = true;
    QRect firstArrow, secondArrow, track, thumb;
};

// Arrows at both ends, sized by their images along the bar, the track in
// between and the thumb at the start of the track. A client lower than it is
// wide is horizontal.
ScrollGeometry ComputeScrollGeometry(QSize client, QSize firstArrow, QSize secondArrow, QSize thumb);

// Thumb rectangle for a position: at the start of the track when max = min,
// else offset by the fraction of (track size - thumb image size).
QRect ScrollThumbRect(const ScrollGeometry &g, QSize thumbImage, int pos, int min, int max);

// Position for a pointer coordinate along the bar (y when vertical, x when
// horizontal); vertical bars round half up, horizontal ones only above half.
// Clamped; the minimum when max = min or the track is no longer than the thumb.
int ScrollValueFromPointer(const ScrollGeometry &g, QSize thumbImage, int coord, int min, int max);

// ---- CNexProgressCtrl ------------------------------------------------------

// The part of the client the fill covers: from the left (horizontal) or from
// the bottom (vertical). Empty at the minimum, and when max = min.
QRect ProgressFillRect(QSize client, int pos, int min, int max, bool vertical);

} // namespace vela::ui
