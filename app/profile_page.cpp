#include "app/profile_page.h"

#include "app/skin_catalogue.h"
#include "app/skinned_controls.h"

#include <QKeyEvent>

CProfilePageDlg::CProfilePageDlg(vela::skin::WindowId page, QWidget *parent)
    : CNexImageDialog(nullptr), page_(page)
{
    setParent(parent, Qt::Widget);
    setGeometry(vela::skin::kPageRect);
    hide();
    // A missing image is reported now, as at start; the copy waits for the
    // first show, so hidden pages cost nothing at start-up.
    if (!vela::SkinImagePresent(backgroundId()))
        vela::SkinLookup(backgroundId(), 0);
}

int CProfilePageDlg::backgroundId() const
{
    return vela::skin::window(page_).backgroundSkinId;
}

void CProfilePageDlg::showEvent(QShowEvent *e)
{
    if (background().isNull()) {
        SetBackground(vela::WholeSkinImage(backgroundId()));
        setGeometry(vela::skin::kPageRect);
    }
    CNexImageDialog::showEvent(e);
}

void CProfilePageDlg::keyPressEvent(QKeyEvent *e)
{
    e->ignore();
}
