#pragma once
// The button family: CNexButton, CNexCheckBox and CNexCbnColorButton. Each
// draws one of its four look images; hover tracking, press and release set
// the look. Qt's clicked() signal stands in for the system's click
// notification of owner-drawn buttons.
#include "ui/nex_kit.h"

#include <QAbstractButton>
#include <QPointer>

namespace vela::ui {

// Shared look state and image choice of the button family. UI thread only.
class CNexButtonBase : public QAbstractButton, public NexControl {
    Q_OBJECT
public:
    explicit CNexButtonBase(QWidget *parent = nullptr, int id = 0);

    // Takes the images (null = none), dropping those held before.
    void SetImages(const QImage &normal, const QImage &hover, const QImage &pressed,
                   const QImage &disabled = QImage());
    const LookImages &images() const { return images_; }

    int look() const { return state_.look; }
    bool isPressedFlag() const { return state_.pressed; }
    bool isTracking() const { return state_.tracking; }

protected:
    // Selected (buttons) or checked (check boxes): shows the pressed image.
    virtual bool showsPressedImage() const { return false; }
    // Called when hover tracking starts (the pointer came in).
    virtual void onHoverStart() {}
    // Drawn over the look image.
    virtual void paintOver(QPainter &) {}

    void paintEvent(QPaintEvent *) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }

    void startTracking();
    void stopTracking();

    LookImages images_;
    LookState state_;
};

class CNexButton : public CNexButtonBase {
    Q_OBJECT
public:
    explicit CNexButton(QWidget *parent = nullptr, int id = 0);

    // Sets the caption; repaints only with the next paint.
    void SetCaption(const QString &text) { caption_ = text; }
    const QString &caption() const { return caption_; }
    // Repaints only when the flag changes.
    void SetSelected(bool selected);
    bool IsSelected() const { return selected_; }
    void SetTextColors(uint32_t argbNormal, uint32_t argbActive);
    void SetFontHeight(int cellHeight) { font_ = KitFont(cellHeight); update(); }

protected:
    bool showsPressedImage() const override { return selected_; }
    void onHoverStart() override;
    void paintOver(QPainter &p) override;

private:
    QString caption_;
    QFont font_ = KitFont(FONT_BUTTON);
    uint32_t textColour_ = ARGB_BUTTON_TEXT;
    uint32_t activeColour_ = ARGB_ACCENT;
    bool selected_ = false;
};

class CNexCheckBox : public CNexButtonBase {
    Q_OBJECT
public:
    explicit CNexCheckBox(QWidget *parent = nullptr, int id = 0);

    bool GetCheck() const { return checked_; }
    void SetCheck(bool checked);

protected:
    bool showsPressedImage() const override { return checked_; }
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    bool checked_ = false;
};

// A colour button with an optional pop-up window (not owned). A click shows
// the pop-up under the button or hides it; the pop-up reports a value with
// SendSysCommand(button, popupId, value), which the button keeps and passes on.
class CNexCbnColorButton : public CNexButtonBase, public SysCommandTarget {
    Q_OBJECT
public:
    explicit CNexCbnColorButton(QWidget *parent = nullptr, int id = 0);

    void SetPopup(QWidget *popup) { popup_ = popup; }
    int GetValue() const { return value_; }
    void onSysCommand(int idOrCode, intptr_t value) override;

protected:
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    QPointer<QWidget> popup_;
    int value_ = 0;
};

} // namespace vela::ui
