#include "app/rename_dlg.h"

#include "app/profile_slots.h"
#include "app/skin_catalogue.h"
#include "app/skinned_controls.h"
#include "ui/nex_button.h"
#include "ui/nex_edit.h"

#include <QKeyEvent>
#include <QMouseEvent>

using namespace vela;
using namespace vela::ui;

CRenameDlg::CRenameDlg(int slot, QWidget *parent)
    : CNexImageDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), slot_(slot)
{
    setModal(true);
    setFocusPolicy(Qt::ClickFocus);
    const skin::Window &layout = skin::window(skin::WindowId::Rename);
    SetBackground(WholeSkinImage(layout.backgroundSkinId));
    ok_ = MakeSkinnedButton<CNexButton>(this, skin::WindowId::Rename, IDC_RENAME_OK);
    cancel_ = MakeSkinnedButton<CNexButton>(this, skin::WindowId::Rename, IDC_RENAME_CANCEL);
    close_ = MakeSkinnedButton<CNexButton>(this, skin::WindowId::Rename, IDC_RENAME_CLOSE);
    const skin::Control &editControl = LayoutControl(skin::WindowId::Rename, IDC_RENAME_EDIT);
    edit_ = new CNexEdit(this, IDC_RENAME_EDIT);
    edit_->setGeometry(editControl.rect);
    edit_->SetBackground(skin::controlImage(editControl, 0));

    connect(ok_, &CNexButton::clicked, this, &CRenameDlg::OnOK);
    connect(cancel_, &CNexButton::clicked, this, &CRenameDlg::reject);
    connect(close_, &CNexButton::clicked, this, &CRenameDlg::reject);
    timer_.setInterval(kRenameTickMs);
    connect(&timer_, &QTimer::timeout, this, &CRenameDlg::OnTimer);
    timer_.start();
}

void CRenameDlg::showEvent(QShowEvent *e)
{
    CNexImageDialog::showEvent(e);
    edit_->setFocus();
}

void CRenameDlg::OnTimer()
{
    if (!edit_->isEnabled() || edit_->text().size() <= kRenameEditLimit)
        return;
    edit_->setText(edit_->text().left(kRenameEditLimit));
    edit_->setCursorPosition(kRenameEditLimit);
}

void CRenameDlg::OnOK()
{
    name_ = edit_->text().left(kProfileNameLimit);
    done(Accepted);
}

void CRenameDlg::keyPressEvent(QKeyEvent *e)
{
    // The edit passes Enter on; Qt's dialog only knows push buttons for it.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        OnOK();
        return;
    }
    CNexImageDialog::keyPressEvent(e);
}

void CRenameDlg::mousePressEvent(QMouseEvent *e)
{
    // Only presses outside the edit reach the dialog itself.
    if (e->button() == Qt::LeftButton && edit_->hasFocus())
        setFocus();
    CNexImageDialog::mousePressEvent(e);
}
