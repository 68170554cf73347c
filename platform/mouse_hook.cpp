#include "platform/mouse_hook.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>

namespace vela {
namespace {

int MessageFor(QEvent::Type type, Qt::MouseButton button)
{
    int base = 0;
    switch (button) {
    case Qt::LeftButton: base = kLButtonDown; break;
    case Qt::RightButton: base = kRButtonDown; break;
    case Qt::MiddleButton: base = kMButtonDown; break;
    case Qt::BackButton:
    case Qt::ForwardButton: base = kXButtonDown; break;
    default: return 0;
    }
    switch (type) {
    case QEvent::MouseButtonPress: return base;
    case QEvent::MouseButtonRelease: return base + 1;
    case QEvent::MouseButtonDblClick: return base + 2;
    default: return 0;
    }
}

class HookFilter final : public QObject {
public:
    QPointer<QObject> target;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
            type != QEvent::MouseButtonDblClick)
            return false;
        auto *me = static_cast<QMouseEvent *>(event);
        // One press reaches its window and then its widgets (and their parents
        // when they ignore it): report it once.
        const Key key{type, me->button(), me->timestamp(), me->globalPosition().toPoint()};
        if (haveLast_ && key == last_)
            return false;
        haveLast_ = true;
        last_ = key;
        const int message = MessageFor(type, me->button());
        if (message == 0 || !target)
            return false;
        QObject *to = target;
        const QPoint global = key.global;
        QMetaObject::invokeMethod(
            to,
            [to, message, global] {
                if (auto *sink = dynamic_cast<MouseHookSink *>(to))
                    sink->onMouseHookEvent(message, global);
            },
            Qt::QueuedConnection);
        (void)watched;
        return false;
    }

private:
    struct Key {
        QEvent::Type type;
        Qt::MouseButton button;
        quint64 timestamp;
        QPoint global;
        bool operator==(const Key &) const = default;
    };
    bool haveLast_ = false;
    Key last_{};
};

HookFilter *g_hook = nullptr;

} // namespace

void MouseHookPointAt(QObject *target)
{
    if (!g_hook) {
        if (!QCoreApplication::instance())
            return;
        g_hook = new HookFilter;
        QCoreApplication::instance()->installEventFilter(g_hook);
    }
    g_hook->target = target;
}

void MouseHookRemove()
{
    if (!g_hook)
        return;
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(g_hook);
    // Not deleted in place: the caller may be handling an event the filter saw.
    g_hook->target = nullptr;
    g_hook->deleteLater();
    g_hook = nullptr;
}

bool MouseHookInstalled()
{
    return g_hook != nullptr;
}

QObject *MouseHookTarget()
{
    return g_hook ? g_hook->target.data() : nullptr;
}

} // namespace vela
