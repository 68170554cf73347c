#pragma once
// CRenameDlg: the skinned modal dialog that gives a profile slot a new name.
// The edit keeps at most 7 characters (checked every 50 ms); OK confirms at
// most 15, so a paste confirmed before the next check is cut there. UI thread.
#include "ui/nex_image_dialog.h"

#include <QTimer>

namespace vela::ui {
class CNexButton;
class CNexEdit;
}

constexpr int IDC_RENAME_OK = 1072;
constexpr int IDC_RENAME_CANCEL = 1073;
constexpr int IDC_RENAME_CLOSE = 1074;
constexpr int IDC_RENAME_EDIT = 1075;
constexpr int kRenameTickMs = 50;

class CRenameDlg : public vela::ui::CNexImageDialog {
    Q_OBJECT
public:
    // slot: 1-5.
    CRenameDlg(int slot, QWidget *parent);

    int slot() const { return slot_; }
    // After OK: the confirmed name (at most 15 characters).
    const QString &name() const { return name_; }

    // Runs modally: QDialog::Accepted after OK (or Enter), Rejected otherwise.
    void OnOK();
    // One timer tick: cuts the edit to 7 characters.
    void OnTimer();

    vela::ui::CNexEdit *edit() const { return edit_; }
    vela::ui::CNexButton *okButton() const { return ok_; }
    vela::ui::CNexButton *cancelButton() const { return cancel_; }
    vela::ui::CNexButton *closeButton() const { return close_; }
    QTimer &timer() { return timer_; }

protected:
    void accept() override { OnOK(); }
    void keyPressEvent(QKeyEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    int slot_;
    QString name_;
    vela::ui::CNexButton *ok_;
    vela::ui::CNexButton *cancel_;
    vela::ui::CNexButton *close_;
    vela::ui::CNexEdit *edit_;
    QTimer timer_;
};
