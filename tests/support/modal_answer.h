#pragma once
// Answers a modal dialog that the code under test is about to run: polls the
// application's active modal widget and, once it is a T (and `accepts` it),
// calls `act` with it. Lives until it has acted or is destroyed.
#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace vela::test {

template <typename T>
class ModalAnswer {
public:
    explicit ModalAnswer(std::function<void(T *)> act, std::function<bool(T *)> accepts = {})
        : act_(std::move(act)), accepts_(std::move(accepts))
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto *modal = qobject_cast<T *>(QApplication::activeModalWidget());
            if (!modal || !modal->isVisible() || (accepts_ && !accepts_(modal)))
                return;
            timer_.stop();
            acted_ = true;
            act_(modal);
        });
        timer_.start();
    }
    bool acted() const { return acted_; }

private:
    std::function<void(T *)> act_;
    std::function<bool(T *)> accepts_;
    QTimer timer_;
    bool acted_ = false;
};

} // namespace vela::test
