#pragma once
// Single instance: a named lock held for the life of the process, and the
// "find the top-level window titled X and post it a message" service, where
// each top-level window of ours answers on a local socket named after its title.
#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>

class QLocalServer;
class QLocalSocket;
class QWidget;

namespace vela {

// The show request a starting copy posts to the running copy's window.
constexpr uint32_t kShowRequestMessage = 0x7EC;

// A named lock: a lock file "<PrivateRuntimeFolder()>/lock-<SafeFileName(name)>"
// held with flock. The system drops it when the process ends, even on a crash,
// so a stale file never blocks a new start. Not copyable; any thread.
class NamedLock {
public:
    enum class Result {
        Acquired,      // this object now holds the lock
        AlreadyHeld,   // another holder (any process, or another NamedLock here) has it
        Failed,        // no private runtime folder or the file cannot be opened
    };

    NamedLock() = default;
    ~NamedLock();  // releases the lock when held
    NamedLock(const NamedLock &) = delete;
    NamedLock &operator=(const NamedLock &) = delete;

    // Takes the lock without waiting. Calling it again while held returns Acquired.
    Result acquire(const QString &name);
    // Releases and closes; harmless when not held.
    void release();
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// Path of the socket a window titled `title` answers on (may be empty when
// there is no private runtime folder).
QString WindowSocketPath(const QString &title);

// Posts (message, wParam, lParam) to the window of ours titled `title` in any
// process of this user. Returns false when no such window answers; waits at
// most about timeoutMs in all. UI thread or any other thread with no event loop needs.
bool PostWindowMessage(const QString &title, uint32_t message, int64_t wParam = 0,
                       int64_t lParam = 0, int timeoutMs = 500);

// Makes a top-level window findable by its title: listens on
// WindowSocketPath(window title) and follows title changes. When another live
// window already answers for that title, this one stays silent until its title
// changes (the first window found wins, as a title search would). A socket file
// left by a crashed process is replaced. Lives as a child of the window; UI thread.
class WindowBeacon : public QObject {
    Q_OBJECT
public:
    explicit WindowBeacon(QWidget *window);
    ~WindowBeacon() override;

    // True while this beacon answers for the window's current title.
    bool listening() const;

signals:
    // A posted message arrived; emitted on the UI thread.
    void messageArrived(quint32 message, qint64 wParam, qint64 lParam);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void listenForTitle();
    void readMessages(QLocalSocket *socket);

    QPointer<QWidget> window_;
    QLocalServer *server_ = nullptr;
};

} // namespace vela
