#include "platform/single_instance.h"

#include "platform/runtime_folder.h"

#include <QEvent>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QWidget>
#include <QtEndian>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vela {
namespace {

// One message on the wire: message number, then the two parameters, little-endian.
constexpr qint64 kMessageBytes = 4 + 8 + 8;
// A client that sends nothing useful is dropped after this long.
constexpr int kClientLifetimeMs = 2000;

QByteArray encodeMessage(uint32_t message, int64_t wParam, int64_t lParam)
{
    QByteArray out(kMessageBytes, '\0');
    qToLittleEndian<uint32_t>(message, out.data());
    qToLittleEndian<int64_t>(wParam, out.data() + 4);
    qToLittleEndian<int64_t>(lParam, out.data() + 12);
    return out;
}

} // namespace

NamedLock::~NamedLock()
{
    release();
}

NamedLock::Result NamedLock::acquire(const QString &name)
{
    if (fd_ >= 0)
        return Result::Acquired;
    QString folder = PrivateRuntimeFolder();
    if (folder.isEmpty())
        return Result::Failed;
    QByteArray path = QFile::encodeName(folder + QStringLiteral("/lock-") + SafeFileName(name));
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return Result::Failed;
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        bool busy = errno == EWOULDBLOCK;
        ::close(fd);
        return busy ? Result::AlreadyHeld : Result::Failed;
    }
    fd_ = fd;
    return Result::Acquired;
}

void NamedLock::release()
{
    if (fd_ < 0)
        return;
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

QString WindowSocketPath(const QString &title)
{
    QString folder = PrivateRuntimeFolder();
    if (folder.isEmpty())
        return {};
    return folder + QStringLiteral("/window-") + SafeFileName(title);
}

bool PostWindowMessage(const QString &title, uint32_t message, int64_t wParam, int64_t lParam,
                       int timeoutMs)
{
    QString path = WindowSocketPath(title);
    if (path.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(encodeMessage(message, wParam, lParam));
    bool sent = socket.waitForBytesWritten(timeoutMs) || socket.bytesToWrite() == 0;
    socket.disconnectFromServer();
    return sent;
}

WindowBeacon::WindowBeacon(QWidget *window)
    : QObject(window), window_(window)
{
    window->installEventFilter(this);
    listenForTitle();
}

WindowBeacon::~WindowBeacon()
{
    // Closing the server removes its socket file.
    delete server_;
}

bool WindowBeacon::listening() const
{
    return server_ && server_->isListening();
}

bool WindowBeacon::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window_ && event->type() == QEvent::WindowTitleChange)
        listenForTitle();
    return false;
}

void WindowBeacon::listenForTitle()
{
    delete server_;
    server_ = nullptr;
    if (!window_)
        return;
    QString path = WindowSocketPath(window_->windowTitle());
    if (path.isEmpty())
        return;
    {
        // A live window already answering for this title keeps it.
        QLocalSocket probe;
        probe.connectToServer(path);
        if (probe.waitForConnected(100)) {
            probe.disconnectFromServer();
            return;
        }
    }
    QLocalServer::removeServer(path);  // a socket file left by a crash
    server_ = new QLocalServer;
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path)) {
        delete server_;
        server_ = nullptr;
        return;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readMessages(socket); });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QTimer::singleShot(kClientLifetimeMs, socket, &QObject::deleteLater);
            readMessages(socket);
        }
    });
}

void WindowBeacon::readMessages(QLocalSocket *socket)
{
    while (socket->bytesAvailable() >= kMessageBytes) {
        QByteArray data = socket->read(kMessageBytes);
        if (data.size() != kMessageBytes)
            return;
        emit messageArrived(qFromLittleEndian<uint32_t>(data.constData()),
                            qFromLittleEndian<int64_t>(data.constData() + 4),
                            qFromLittleEndian<int64_t>(data.constData() + 12));
    }
}

} // namespace vela
