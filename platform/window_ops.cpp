#include "platform/window_ops.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace vela {
namespace {

// Moves the window with the pointer until the left button is released. It
// watches the whole application because the press may have been grabbed by
// any widget of the window.
class ManualDrag final : public QObject {
public:
    ManualDrag(QWidget *window, QPoint globalPress)
        : QObject(window), window_(window), windowAtPress_(window->pos()), press_(globalPress)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseMove: {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (window_)
                window_->move(DraggedWindowPosition(windowAtPress_, press_,
                                                    mouse->globalPosition().toPoint()));
            break;
        }
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
                finish();
            break;
        case QEvent::ApplicationDeactivate:
            finish();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void finish()
    {
        QCoreApplication::instance()->removeEventFilter(this);
        deleteLater();
    }

    QPointer<QWidget> window_;
    QPoint windowAtPress_;
    QPoint press_;
};

} // namespace

void RequestQuit()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

void SetTopmost(QWidget *window, bool on)
{
    if (!window)
        return;
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    // setWindowFlags would hide and re-create a shown window; telling the
    // widget and its native window separately keeps it where it is.
    window->overrideWindowFlags(flags);
    if (QWindow *handle = window->windowHandle())
        handle->setFlags(flags);
}

bool IsTopmost(const QWidget *window)
{
    return window && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

bool BeginWindowDrag(QWidget *window, QPoint globalPress)
{
    if (!window)
        return false;
    QWindow *handle = window->windowHandle();
    if (handle && handle->startSystemMove())
        return true;
    new ManualDrag(window, globalPress);
    return false;
}

QPoint DraggedWindowPosition(QPoint windowAtPress, QPoint globalPress, QPoint globalNow)
{
    return windowAtPress + (globalNow - globalPress);
}

} // namespace vela
