#pragma once
// CPopDlg: the skinned modal pop-up. Its kind chooses the skin, the buttons
// and the behaviour: warnings that ask for confirmation, the key capture of
// the mouse page, and the three steps of the surface analysis. UI thread only.
#include "platform/key_hook.h"
#include "ui/nex_image_dialog.h"

#include <QPointer>
#include <QTimer>

namespace vela::program {
class ProgramDevice;
}
namespace vela::ui {
class CNexButton;
class CNexStatic;
}

// Pop-up kinds (also the skin ids of their Normal sheets).
enum PopKind : int {
    POP_LEFT_CLICK_WARN = 167,
    POP_DELETE_MACRO = 171,
    POP_SQAT_PROMPT = 175,
    POP_SQAT_COUNTDOWN = 179,
    POP_SQAT_DONE = 185,
    POP_RESET_WARN = 188,
    POP_UPDATE_WARN = 192,
    POP_ASSIGN_KEY = 196,
};

// Results of a modal run.
constexpr int POP_RESULT_OK = 1;
constexpr int POP_RESULT_CANCEL = 2;

// Control ids of the pop-up template.
constexpr int IDC_POP_OK = 1076;
constexpr int IDC_POP_CANCEL = 1077;
constexpr int IDC_POP_CLOSE = 1078;
constexpr int IDC_POP_TIME = 1079;
constexpr int IDC_POP_IMAGE = 1080;

// The single-key function code a captured key gives a button.
constexpr int kSingleKeyFunction = 13;

// The function button the key capture assigns to (the mouse page's).
class KeyAssignTarget {
public:
    virtual ~KeyAssignTarget() = default;
    // The button keeps its previous assignment when the next menu closes.
    virtual void ClearAccept() = 0;
    virtual void AssignKey(const QString &caption, int functionCode, int parameter) = 0;
};

class CPopDlg : public vela::ui::CNexImageDialog, public vela::KeyHookSink {
    Q_OBJECT
public:
    // An unknown kind gives a pop-up without skin that still ends with 1 or 2.
    CPopDlg(int kind, QWidget *parent);
    ~CPopDlg() override;

    int kind() const { return kind_; }
    // Kind 196: the button that receives the key (not owned).
    void SetTarget(KeyAssignTarget *target) { target_ = target; }
    // Kind 175: the program's device for the analysis start (not owned).
    void SetDevice(vela::program::ProgramDevice *device) { device_ = device; }

    // Runs modally: POP_RESULT_OK or POP_RESULT_CANCEL.
    int exec() override;

    // Ends like the OK button (kind 196: only the button, never Enter).
    void OnOK();
    // Ends like Cancel or Close (2).
    void OnCancelButton();

    // Kind 179: one countdown step (timer 1 calls it every second).
    void CountdownTick();
    // Kind 196: the key captured last, or -1 before any.
    int capturedKey() const { return capturedKey_; }
    // Kind 179: the animation frame shown (0-2).
    int frame() const { return frame_; }
    // Removes the key hook this pop-up installed (kind 196); harmless twice.
    void DestroyWindow();

    vela::ui::CNexButton *okButton() const { return ok_; }
    vela::ui::CNexButton *cancelButton() const { return cancel_; }
    vela::ui::CNexButton *closeButton() const { return close_; }
    vela::ui::CNexStatic *timeStatic() const { return time_; }
    vela::ui::CNexStatic *imageStatic() const { return image_; }
    QTimer &countdownTimer() { return countdown_; }

    // Every kind that has a skin.
    static const int kKinds[8];

    void onKeyHookEvent(int vkCode, int flag) override;

protected:
    void accept() override;   // Enter
    void reject() override;   // Escape
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build();
    void dropKeysOf(QWidget *w);
    // Runs the next pop-up of the analysis chain and ends with its outcome.
    void runNext(int kind);

    int kind_;
    vela::ui::CNexButton *ok_ = nullptr;
    vela::ui::CNexButton *cancel_ = nullptr;
    vela::ui::CNexButton *close_ = nullptr;
    vela::ui::CNexStatic *time_ = nullptr;
    vela::ui::CNexStatic *image_ = nullptr;
    KeyAssignTarget *target_ = nullptr;
    vela::program::ProgramDevice *device_ = nullptr;
    int capturedKey_ = -1;
    int frame_ = 0;
    bool hookInstalled_ = false;
    bool finishing_ = false;  // the countdown's 500 ms end is under way
    QTimer countdown_;
};
