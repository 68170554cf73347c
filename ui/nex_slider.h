#pragma once
// The skinned value controls: the scroll bar CNexScrollCtrl, the horizontal
// slider with one to five thumbs CNexSliderCtrl3D and the vertical colour
// slider CNexSliderCtrlVer. Each maps pointer positions to integer values
// (ui/nex_geometry.h) and reports changes to its parent. No keyboard use.
#include "ui/nex_kit.h"
#include "ui/nex_geometry.h"

#include <QWidget>

#include <array>
#include <optional>

namespace vela::ui {

// Hover tracking and the look of the value controls. Derived classes handle
// press, movement and release through the on* hooks, which are skipped
// while the control is locked (look 3).
class CNexValueCtrl : public QWidget, public NexControl {
    Q_OBJECT
public:
    int look() const { return state_.look; }
    bool isPressedFlag() const { return state_.pressed; }
    bool isTracking() const { return state_.tracking; }

protected:
    // keepPressedLook: entering with the left button down restores the look
    // the control had when the pointer left (the sliders' drag resumes).
    CNexValueCtrl(QWidget *parent, int id, bool keepPressedLook);

    virtual void onPress(QPoint) {}
    virtual void onMove(QPoint) {}
    virtual void onRelease(QPoint) {}
    // The pointer left with the button held: the drag ends without a release.
    virtual void onDragLost() {}
    // The button came up outside the control, after the pointer left it.
    virtual void onReleaseOutside() {}

    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

    bool locked() const { return state_.look == LookLocked; }
    void startTracking();
    void stopTracking();

    LookState state_;

private:
    bool keepPressedLook_;
};

// The scroll bar of the lists: two arrows that jump to the ends, a track and
// a thumb. Reports (id, position).
class CNexScrollCtrl : public CNexValueCtrl {
    Q_OBJECT
public:
    enum Image { Background, ThumbNormal, ThumbPressed, FirstNormal, FirstPressed, SecondNormal, SecondPressed, ImageCount };
    enum Part { PartNone = 0, PartFirstArrow = 1, PartThumb = 2, PartSecondArrow = 3 };

    explicit CNexScrollCtrl(QWidget *parent = nullptr, int id = 100);

    // The seven images, in Image order; computes the geometry for the current size.
    void SetImages(const std::array<QImage, ImageCount> &images);
    void SetRange(int min, int max);
    // Clamps, places the thumb and always reports the position.
    void SetPosition(int pos);

    int position() const { return pos_; }
    int minimum() const { return min_; }
    int maximum() const { return max_; }
    const ScrollGeometry &geometry() const { return geometry_; }
    int hitPart() const { return hit_; }

protected:
    void paintEvent(QPaintEvent *) override;
    void resizeEvent(QResizeEvent *) override;
    void onPress(QPoint p) override;
    void onMove(QPoint p) override;
    void onRelease(QPoint p) override;
    void onDragLost() override;

private:
    void followPointer(QPoint p);
    void placeThumb();
    QSize thumbSize() const { return images_[ThumbNormal].size(); }

    std::array<QImage, ImageCount> images_;
    ScrollGeometry geometry_;
    int min_ = 0, max_ = 100, pos_ = 0;
    int hit_ = PartNone;
    // Last position reported while following the pointer. Each bar keeps its
    // own, so one list's scrolling cannot swallow another's report.
    std::optional<int> lastFollowed_;
};

// A horizontal slider with one to five thumbs on one track. Thumb k (1-5)
// uses image k. Reports (id, value | thumb << 16). Look 3 locks it.
class CNexSliderCtrl3D : public CNexValueCtrl {
    Q_OBJECT
public:
    explicit CNexSliderCtrl3D(QWidget *parent = nullptr, int id = 0);

    void SetImages(const QImage &background, const std::array<QImage, 5> &thumbs);
    void SetRange(int min, int max);
    void SetStep(int step) { step_ = step; }
    // 1-5 thumbs shown.
    void SetThumbCount(int n);
    // Clamps (no snapping); reports unless v equals the thumb's last report.
    void SetValue(int thumb, int v);
    // 3 locks the slider, 0 unlocks it.
    void SetLook(int look);

    int value(int thumb) const;
    int thumbCount() const { return shown_; }
    int activeThumb() const { return active_; }
    QRect thumbRect(int thumb) const;

protected:
    void paintEvent(QPaintEvent *) override;
    void onPress(QPoint p) override;
    void onMove(QPoint p) override;
    void onRelease(QPoint p) override;
    void onDragLost() override;
    void onReleaseOutside() override { active_ = 0; }

private:
    void followPointer(QPoint p);

    QImage background_;
    std::array<QImage, 5> thumbs_;
    int min_ = 0, max_ = 100, step_ = 1;
    std::array<int, 5> values_{};
    std::array<std::optional<int>, 5> lastReported_{};
    int active_ = 0;
    int shown_ = 1;
};

// A vertical slider that can pick the colour under its thumb. Reports (id, value).
class CNexSliderCtrlVer : public CNexValueCtrl {
    Q_OBJECT
public:
    explicit CNexSliderCtrlVer(QWidget *parent = nullptr, int id = 0);

    void SetImages(const QImage &background, const QImage &thumbNormal, const QImage &thumbHover,
                   const QImage &thumbLocked);
    void SetRange(int min, int max);
    void SetStep(int step) { step_ = step; }
    // Clamps and repaints; reports nothing.
    void SetValue(int v);
    void SetShowValue(bool on) { showValue_ = on; update(); }
    void SetLook(int look);

    int GetValue() const { return value_; }
    // The picked colour as COLORREF (0x00BBGGRR).
    uint32_t GetColor() const { return picked_; }

protected:
    void paintEvent(QPaintEvent *) override;
    void resizeEvent(QResizeEvent *) override;
    void onPress(QPoint p) override;
    void onMove(QPoint p) override;
    void onRelease(QPoint p) override;
    void onDragLost() override;

private:
    void followPointer(QPoint p);
    int thumbHeight() const { return thumbNormal_.height(); }

    QImage background_, thumbNormal_, thumbHover_, thumbLocked_;
    QImage shown_; // the background as drawn, where colours are picked
    bool showValue_ = false;
    QFont font_ = KitFont(FONT_SLIDER);
    uint32_t valueColour_ = ARGB_WHITE;
    int min_ = 0, max_ = 100, value_ = 0, step_ = 1;
    std::optional<int> lastReported_;
    uint32_t picked_ = 0xFFFF00;
    QPoint lastPointer_;
};

// The colour picked from a pixel: near-white pixels (every part >= 202) are
// ignored, so the previous colour stays. COLORREF in and out.
uint32_t PickUnlessNearWhite(uint32_t previous, QRgb pixel);

} // namespace vela::ui
