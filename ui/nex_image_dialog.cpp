#include "ui/nex_image_dialog.h"

#include <QPainter>

namespace vela::ui {

CNexImageDialog::CNexImageDialog(QWidget *parent, Qt::WindowFlags flags) : QDialog(parent, flags) {}

void CNexImageDialog::SetBackground(const QImage &image)
{
    background_ = image.copy();
    windowRect_ = geometry();
    if (!background_.isNull()) {
        // The image decides the size, whatever the dialog was built with; the
        // owner may still move or resize it afterwards.
        resize(background_.size());
        setAttribute(Qt::WA_NoSystemBackground);
    } else {
        setAttribute(Qt::WA_NoSystemBackground, false);
    }
    update();
}

void CNexImageDialog::onSysCommand(int idOrCode, intptr_t value)
{
    if (idOrCode == CMD_POPUP_TOPMOST)
        NotifyParent(this, idOrCode, value);
}

void CNexImageDialog::paintEvent(QPaintEvent *e)
{
    if (background_.isNull()) {
        QDialog::paintEvent(e);
        return;
    }
    QPainter p(this);
    DrawStretched(p, background_, rect());
}

} // namespace vela::ui
