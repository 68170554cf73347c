#pragma once
// The dialog base of every page, pop-up and the main window: paints its own
// copy of a background image over the whole client area and takes the
// image's size. It is the usual receiver of its controls' notifications.
#include "ui/nex_kit.h"

#include <QDialog>

namespace vela::ui {

class CNexImageDialog : public QDialog, public SysCommandTarget {
    Q_OBJECT
public:
    explicit CNexImageDialog(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    // Keeps a copy of the image (the caller's stays untouched), resizes the
    // dialog to the image's size keeping its left and top, and repaints.
    // A null image removes the background.
    void SetBackground(const QImage &image);
    const QImage &background() const { return background_; }
    // The window rectangle taken when the background was set.
    QRect windowRect() const { return windowRect_; }

    // Default handling: CMD_POPUP_TOPMOST goes on to the parent; every other
    // code is ignored. Derived dialogs handle their codes and call this for
    // the rest.
    void onSysCommand(int idOrCode, intptr_t value) override;

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QImage background_;
    QRect windowRect_;
};

} // namespace vela::ui
