#pragma once
// The two skinned edit boxes. Both paint their own background (an image, or a
// plain box) under the edit's text, and report every text change to their
// parent as (id, 102).
#include "ui/nex_kit.h"

#include <QLineEdit>

namespace vela::ui {

// True for the characters the hexadecimal filter drops: "G"-"Z" and "g"-"z".
bool HexFilterDrops(QChar c);

class CNexEdit : public QLineEdit, public NexControl {
    Q_OBJECT
public:
    explicit CNexEdit(QWidget *parent = nullptr, int id = 0);

    // A new Arial font of this cell height, redrawn at once.
    void SetFontHeight(int cellHeight);
    void SetBackground(const QImage &image);
    void SetHexFilter(bool on) { hexFilter_ = on; }
    bool hexFilter() const { return hexFilter_; }
    // Number style: typed characters other than the digits 0-9 are dropped.
    void SetDigitsOnly(bool on) { digitsOnly_ = on; }

protected:
    // Fill without a background image, and its frame colour.
    CNexEdit(QWidget *parent, int id, int fontHeight, QColor fill, QColor frame);
    void paintEvent(QPaintEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void setTextVisible(bool visible);

private:
    void init(int fontHeight);

    QImage background_;
    QColor fill_, frame_;
    bool hexFilter_ = false;
    bool digitsOnly_ = false;
};

// An edit whose mouse wheel steps a decimal number between a minimum and a
// maximum (once enabled). Without a background image it is a white box with a
// black frame; its text can be hidden.
class CPOLEdit : public CNexEdit {
    Q_OBJECT
public:
    explicit CPOLEdit(QWidget *parent = nullptr, int id = 0);

    void SetWheel(int step, int min, int max, bool enabled = true);
    void SetDrawText(bool draw);

protected:
    void wheelEvent(QWheelEvent *e) override;

private:
    int step_ = 0, max_ = 0, min_ = 0;
    bool wheel_ = false;
};

// The text after one wheel turn: forward adds the step up to the maximum,
// backward subtracts it down to the minimum. Text that is no number counts as 0.
QString WheelStepText(const QString &text, bool forward, int step, int min, int max);

} // namespace vela::ui
