#pragma once
// The image and text statics: CNexStatic, the lighting preview CNexMouseStatic,
// the colour square CPolColorStatic and the progress bar CNexProgressCtrl.
#include "ui/nex_kit.h"

#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <vector>

namespace vela::ui {

// A static that draws a background colour, a background image, one image of a
// list and one text of a list. A left double click reports (id, 1).
class CNexStatic : public QWidget, public NexControl {
    Q_OBJECT
public:
    explicit CNexStatic(QWidget *parent = nullptr, int id = 0);

    void SetBackground(const QImage &image);
    void AddImage(const QImage &image);
    // Replaces the first text (or appends it to an empty list), makes it current, repaints.
    void SetText(const QString &text);
    void AddText(const QString &text) { texts_.append(text); }
    // The current text; empty when the index is outside the list.
    QString GetText() const;
    void SetFontHeight(int cellHeight);
    void SetImageIndex(int index);
    void SetTextIndex(int index);
    void SetTextColor(uint32_t argb);
    void SetBackgroundColor(uint32_t argb);
    void SetCentre(bool centreH);
    void SetShowText(bool show);
    int imageCount() const { return static_cast<int>(images_.size()); }

protected:
    void paintEvent(QPaintEvent *) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;

private:
    std::vector<QImage> images_;
    QStringList texts_;
    QImage background_;
    int imageIndex_ = 0, textIndex_ = 0;
    uint32_t textColour_ = ARGB_WHITE;
    uint32_t backColour_ = 0;
    QFont font_ = KitFont(FONT_BUTTON);
    bool centre_ = false, showText_ = true;
};

// ---- lighting preview -------------------------------------------------------

// Alpha of a brightness level: 1 → 0, 2 → 60, 3 → 130, 4 → 190, else 255.
int BrightnessAlpha(int level);
// Gives a 0xAARRGGBB colour a new alpha byte.
constexpr uint32_t WithAlpha(uint32_t argb, int alpha)
{
    return (argb & 0x00FFFFFFu) | (static_cast<uint32_t>(alpha & 0xFF) << 24);
}

enum class Effect : int { Solid = 0, Blinking = 1, Pulsating = 2, Breathing = 3 };

// The animation counter of the effect tick, shared by every effect.
struct EffectAnimation {
    int n = -1;          // unset until the first tick, which starts it at the brightness alpha
    bool falling = true; // breathing direction
    // One tick: returns the alpha both zones take.
    int tick(Effect effect, int alpha);
};

// The colour cycle: red, green and blue bounce between 0 and 255 at 15, 10 and 5 a tick.
struct ColourCycle {
    int rgb[3] = {255, 125, 0};
    int dir[3] = {-1, 1, 1};
    // One tick: returns 0x00RRGGBB.
    uint32_t tick();
};

// The lighting preview: two coloured zones under a picture of the mouse. The
// zones' colours are 0xAARRGGBB; the alpha sets how strongly a zone glows.
class CNexMouseStatic : public QWidget, public NexControl {
    Q_OBJECT
public:
    static constexpr QRect ZoneA = QRect(QPoint(115, 93), QSize(30, 53));
    static constexpr QRect ZoneB = QRect(QPoint(116, 288), QSize(33, 29));

    explicit CNexMouseStatic(QWidget *parent = nullptr, int id = 0);

    void SetPicture(const QImage &picture);
    // Sets a zone's colour together with its saved copy.
    void SetColorA(uint32_t argb);
    void SetColorB(uint32_t argb);
    // Sets both zones' colours, leaving the saved copies.
    void SetColors(uint32_t argbA, uint32_t argbB);
    void SetLit(bool a, bool b);
    void SetLitA(bool a);
    void SetLitB(bool b);
    // Effect with its tick: 1000 ms blinking, 100 ms pulsating and breathing, none for solid.
    void SetEffect(Effect effect);
    // Clamps to 1-5, restarts the effect tick; solid gives the zones the level's alpha.
    void SetBrightness(int level);
    // On: saves both colours and starts the 100 ms cycle tick. Off: stops it and
    // brings the saved colours back.
    void SetColorCycle(bool on);

    uint32_t colorA() const { return colour_[0]; }
    uint32_t colorB() const { return colour_[1]; }
    uint32_t savedA() const { return saved_[0]; }
    uint32_t savedB() const { return saved_[1]; }
    bool litA() const { return lit_[0]; }
    bool litB() const { return lit_[1]; }
    Effect effect() const { return effect_; }
    int brightness() const { return level_; }
    bool colorCycle() const { return cycle_; }
    bool effectTickRunning() const { return effectTimer_.isActive(); }
    bool cycleTickRunning() const { return cycleTimer_.isActive(); }

    // The two ticks (run by their timers; callable directly).
    void EffectTick();
    void CycleTick();

protected:
    void paintEvent(QPaintEvent *) override;

private:
    void restartEffectTick();

    QImage picture_;
    uint32_t colour_[2] = {0xFF000000, 0xFF000000};
    uint32_t saved_[2] = {0xFF000000, 0xFF000000};
    bool lit_[2] = {true, true};
    Effect effect_ = Effect::Solid;
    int level_ = 5;
    bool cycle_ = false;
    EffectAnimation animation_;
    ColourCycle cycleColours_;
    QTimer effectTimer_, cycleTimer_;
};

// ---- colour square ----------------------------------------------------------

// The colour square's pixel at (x, y) of a w × h square: white at the top left,
// the base colour (COLORREF) at the top right, black along the bottom. Returns COLORREF.
uint32_t ColourSquarePixel(int x, int y, int w, int h, uint32_t baseColorref);
// Snaps nearly white, red, black, blue and green picks to the pure colour.
uint32_t SnapPickedColour(uint32_t colorref);

// The colour square: press and drag to pick; each pick reports (id, 0).
class CPolColorStatic : public QWidget, public NexControl {
    Q_OBJECT
public:
    explicit CPolColorStatic(QWidget *parent = nullptr, int id = 0);

    void SetBaseColor(uint32_t colorref);
    void SetOverlay(const QImage &image);
    uint32_t GetColor() const { return picked_; }
    QPoint marker() const { return marker_; }

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    void pickAt(QPoint pos);

    QImage overlay_;
    uint32_t base_ = 0xFFFF00;
    QPoint marker_{138, 1};
    bool dragging_ = false;
    uint32_t picked_ = 0;
};

// ---- progress bar -----------------------------------------------------------

// Background, and the part of the fill image for the position (from the left,
// or from the bottom when vertical). With max = min no fill is drawn.
class CNexProgressCtrl : public QWidget, public NexControl {
    Q_OBJECT
public:
    explicit CNexProgressCtrl(QWidget *parent = nullptr, int id = 0);

    void SetImages(const QImage &background, const QImage &fill);
    void SetRange(int min, int max);
    void SetPos(int pos);
    void SetVertical(bool vertical);
    int pos() const { return pos_; }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QImage background_, fill_;
    int min_ = 0, max_ = 100, pos_ = 0;
    bool vertical_ = false;
};

} // namespace vela::ui
