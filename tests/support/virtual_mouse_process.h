#pragma once
// Runs build/bin/vela-virtual-mouse for an end-to-end test: a socket in a
// fresh temporary folder, started and waited for ("ready"), stopped with
// SIGTERM when the object goes. ctl() runs one control command.
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace vela::test {

class VirtualMouseProcess {
public:
    // binDir: the folder holding vela-virtual-mouse (VELA_BIN_DIR in tests).
    explicit VirtualMouseProcess(const QString &binDir, QStringList extraArgs = {})
        : program_(binDir + QStringLiteral("/vela-virtual-mouse"))
    {
        socket_ = dir_.path() + QStringLiteral("/mouse.sock");
        start(extraArgs);
    }
    ~VirtualMouseProcess() { stop(); }

    bool ready() const { return ready_; }
    QString socketPath() const { return socket_; }
    QString folder() const { return dir_.path(); }

    // Starts again after stop(), e.g. to test --state.
    bool start(const QStringList &extraArgs = {})
    {
        process_.setProgram(program_);
        process_.setArguments(QStringList{"serve", "--socket", socket_} + extraArgs);
        process_.start();
        ready_ = false;
        // Bounded: a server that does not come up fails the test, not hangs it.
        while (!ready_ && process_.waitForReadyRead(5000))
            ready_ = process_.readAllStandardOutput().contains("ready");
        return ready_;
    }

    void stop()
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    // Output of "ctl COMMAND..." (trailing newline removed); ok is false when
    // the command failed.
    QString ctl(const QStringList &command, bool *ok = nullptr) const
    {
        QProcess p;
        p.start(program_, QStringList{"ctl", "--socket", socket_} + command);
        const bool done = p.waitForFinished(10000);
        if (ok)
            *ok = done && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        return QString::fromLatin1(p.readAllStandardOutput()).trimmed();
    }

private:
    QString program_;
    QTemporaryDir dir_;
    QString socket_;
    QProcess process_;
    bool ready_ = false;
};

} // namespace vela::test
