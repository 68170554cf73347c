#pragma once
// A page of the main window: a skinned child dialog placed at the page
// rectangle. The three profile pages exchange their settings with the current
// record only through SaveToProfile and LoadFromProfile; until a page has
// its own controls both change nothing. UI thread only.
#include "app/skin_layout.h"
#include "profile/profile_record.h"
#include "ui/nex_image_dialog.h"

class CProfilePageDlg : public vela::ui::CNexImageDialog {
    Q_OBJECT
public:
    // Created without a parent, then given `parent`, moved to the page
    // rectangle and hidden, as the main window creates its pages.
    CProfilePageDlg(vela::skin::WindowId page, QWidget *parent);

    vela::skin::WindowId page() const { return page_; }

    virtual void SaveToProfile(ProfileRecord &) {}
    virtual void LoadFromProfile(const ProfileRecord &) {}

protected:
    // Pages never close on Enter or Escape; the keys go on to the main window.
    void accept() override {}
    void reject() override {}
    void keyPressEvent(QKeyEvent *e) override;
    // Takes the background when first shown.
    void showEvent(QShowEvent *e) override;

private:
    int backgroundId() const;
    vela::skin::WindowId page_;
};
