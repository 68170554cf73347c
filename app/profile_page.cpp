#include "app/profile_page.h"

#include "app/skin_catalogue.h"

#include <QKeyEvent>

CProfilePageDlg::CProfilePageDlg(vela::skin::WindowId page, QWidget *parent)
    : CNexImageDialog(nullptr), page_(page)
{
    setParent(parent, Qt::Widget);
    SetBackground(vela::SkinLookup(vela::skin::window(page).backgroundSkinId, 0));
    setGeometry(vela::skin::kPageRect);
    hide();
}

void CProfilePageDlg::keyPressEvent(QKeyEvent *e)
{
    e->ignore();
}
