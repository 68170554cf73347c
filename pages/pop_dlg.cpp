#include "pages/pop_dlg.h"

#include "app/apply_procedure.h"
#include "app/skin_catalogue.h"
#include "app/skinned_controls.h"
#include "device/program_device.h"
#include "pages/key_name.h"
#include "platform/dialogs.h"
#include "ui/nex_button.h"
#include "ui/nex_static.h"

#include <QKeyEvent>
#include <QPainter>

using namespace vela;
using namespace vela::ui;

const int CPopDlg::kKinds[8] = {POP_LEFT_CLICK_WARN, POP_DELETE_MACRO, POP_SQAT_PROMPT,
                                POP_SQAT_COUNTDOWN,  POP_SQAT_DONE,    POP_RESET_WARN,
                                POP_UPDATE_WARN,     POP_ASSIGN_KEY};

namespace {
const QString kCaption = QStringLiteral("KESTRA");
constexpr int kCountdownStart = 10;
constexpr int kCountdownPeriodMs = 1000;
constexpr int kCountdownEndMs = 500;

QImage Dimmed(const QImage &image)
{
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    QPainter p(&out);
    p.fillRect(out.rect(), QColor(0, 0, 0, 150));
    return out;
}
} // namespace

CPopDlg::CPopDlg(int kind, QWidget *parent)
    : CNexImageDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), kind_(kind)
{
    setModal(true);
    setFocusPolicy(Qt::StrongFocus);
    build();
}

CPopDlg::~CPopDlg()
{
    DestroyWindow();
}

void CPopDlg::build()
{
    ok_ = new CNexButton(this, IDC_POP_OK);
    cancel_ = new CNexButton(this, IDC_POP_CANCEL);
    close_ = new CNexButton(this, IDC_POP_CLOSE);
    time_ = new CNexStatic(this, IDC_POP_TIME);
    image_ = new CNexStatic(this, IDC_POP_IMAGE);
    time_->hide();
    image_->hide();
    connect(ok_, &CNexButton::clicked, this, &CPopDlg::OnOK);
    connect(cancel_, &CNexButton::clicked, this, &CPopDlg::OnCancelButton);
    connect(close_, &CNexButton::clicked, this, &CPopDlg::OnCancelButton);

    const skin::Window *layout = skin::popUpWindow(kind_);
    if (!layout) {
        resize(404, 190);
        return;
    }
    SetBackground(WholeSkinImage(layout->backgroundSkinId));
    for (const skin::Control &c : layout->controls) {
        if (c.id == IDC_POP_OK)
            SkinButton(*ok_, c);
        else if (c.id == IDC_POP_CANCEL)
            SkinButton(*cancel_, c);
        else if (c.id == IDC_POP_CLOSE)
            SkinButton(*close_, c);
        else if (c.id == IDC_POP_TIME)
            time_->setGeometry(c.rect);
        else if (c.id == IDC_POP_IMAGE)
            image_->setGeometry(c.rect);
    }

    switch (kind_) {
    case POP_SQAT_COUNTDOWN: {
        // The skin has no disabled sheet for this kind: a dimmed normal look
        // shows that the button waits for the countdown.
        const skin::Control &okControl = LayoutControl(skin::WindowId::SensorSQAT2, IDC_POP_OK);
        const QImage normal = skin::controlImage(okControl, 0);
        ok_->SetImages(normal, skin::controlImage(okControl, 1), skin::controlImage(okControl, 2),
                       Dimmed(normal));
        ok_->setEnabled(false);
        time_->SetCentre(true);
        time_->SetText(QString::number(kCountdownStart));
        time_->show();
        const QString folder = skinFolder();
        for (int frame = 0; frame < 3; ++frame)
            image_->AddImage(LoadImage(folder + analysisFrameName(frame)));
        image_->SetImageIndex(0);
        image_->show();
        countdown_.setInterval(kCountdownPeriodMs);
        connect(&countdown_, &QTimer::timeout, this, &CPopDlg::CountdownTick);
        countdown_.start();
        break;
    }
    case POP_SQAT_DONE:
        cancel_->hide();
        break;
    case POP_ASSIGN_KEY: {
        time_->SetFontHeight(19); // 14 points
        time_->SetCentre(true);
        time_->SetText(QString());
        time_->show();
        // Nothing to confirm until a key has been captured.
        ok_->setEnabled(false);
        const skin::Control &okControl = LayoutControl(skin::WindowId::AssignKey, IDC_POP_OK);
        ok_->SetImages(skin::controlImage(okControl, 0), skin::controlImage(okControl, 1),
                       skin::controlImage(okControl, 2), skin::controlImage(okControl, 3));
        dropKeysOf(this);
        hookInstalled_ = InstallKeyHook(this);
        if (!hookInstalled_)
            Dialogs().messageBox(parentWidget(), QStringLiteral("set hook failed."), kCaption);
        setFocus();
        break;
    }
    default:
        break;
    }
}

void CPopDlg::dropKeysOf(QWidget *w)
{
    w->installEventFilter(this);
    for (QWidget *child : w->findChildren<QWidget *>())
        child->installEventFilter(this);
}

bool CPopDlg::eventFilter(QObject *watched, QEvent *event)
{
    // Typed keys never press the key capture's buttons; the hook has seen them already.
    if (kind_ == POP_ASSIGN_KEY) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
            return true;
        default:
            break;
        }
    }
    return CNexImageDialog::eventFilter(watched, event);
}

int CPopDlg::exec()
{
    const int result = CNexImageDialog::exec();
    DestroyWindow();
    return result == POP_RESULT_OK ? POP_RESULT_OK : POP_RESULT_CANCEL;
}

void CPopDlg::DestroyWindow()
{
    if (!hookInstalled_)
        return;
    hookInstalled_ = false;
    // A later hook (macro recording) has its own target; leave it alone.
    if (KeyHookTarget() == this || KeyHookTarget() == nullptr)
        RemoveKeyHook();
}

void CPopDlg::runNext(int kind)
{
    CPopDlg next(kind, this);
    next.SetDevice(device_);
    const int result = next.exec();
    done(result == POP_RESULT_OK ? POP_RESULT_OK : POP_RESULT_CANCEL);
}

void CPopDlg::OnOK()
{
    switch (kind_) {
    case POP_SQAT_PROMPT:
        // A fresh scan each time, so a mouse plugged in meanwhile is found.
        if (device_ && device_->open()) {
            device_->startSurfaceAnalysis();
            runNext(POP_SQAT_COUNTDOWN);
        } else {
            if (device_)
                device_->close();
            Dialogs().messageBox(this, kMouseNotFound, kCaption);
        }
        return;
    case POP_SQAT_COUNTDOWN:
        if (!isVisible() || result() != 0)
            return; // already ended (Close during the 500 ms end)
        finishing_ = false;
        runNext(POP_SQAT_DONE);
        return;
    case POP_ASSIGN_KEY:
        if (capturedKey_ < 0)
            return;
        if (target_) {
            target_->ClearAccept();
            target_->AssignKey(KeyName(capturedKey_), kSingleKeyFunction, capturedKey_);
        }
        done(POP_RESULT_OK);
        return;
    default:
        done(POP_RESULT_OK);
        return;
    }
}

void CPopDlg::OnCancelButton()
{
    if (kind_ == POP_ASSIGN_KEY && target_)
        target_->ClearAccept();
    countdown_.stop();
    done(POP_RESULT_CANCEL);
}

void CPopDlg::accept()
{
    // Enter acts as the OK button, so not while it is disabled: during the
    // countdown it would open the result before the mouse has measured.
    if (kind_ != POP_ASSIGN_KEY && ok_->isEnabled())
        OnOK();
}

void CPopDlg::reject()
{
    if (kind_ == POP_ASSIGN_KEY)
        return;
    countdown_.stop();
    done(POP_RESULT_CANCEL);
}

void CPopDlg::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        return;
    case Qt::Key_Escape:
        reject();
        return;
    default:
        CNexImageDialog::keyPressEvent(e);
    }
}

void CPopDlg::CountdownTick()
{
    const int n = time_->GetText().toInt();
    if (n < 1) {
        ok_->setEnabled(true);
        countdown_.stop();
        return;
    }
    time_->SetText(QString::number(n - 1));
    frame_ = (11 - n) % 3;
    image_->SetImageIndex(frame_);
    if (n == 1 && !finishing_) {
        // Half a second on 0 before the result window; the event loop keeps running.
        finishing_ = true;
        QTimer::singleShot(kCountdownEndMs, this, &CPopDlg::OnOK);
    }
}

void CPopDlg::onKeyHookEvent(int vkCode, int)
{
    if (kind_ != POP_ASSIGN_KEY)
        return;
    // Presses and releases both count: the last event's key wins.
    capturedKey_ = vkCode;
    time_->SetText(KeyName(vkCode));
    ok_->setEnabled(true);
}
