#pragma once
// Runs "Apply" on worker threads for a window, one procedure at a time (the
// apply lock), and hands everything that touches widgets or the live state to
// the UI thread: the worker blocks while the UI thread stores the pages and
// copies the records, and while it shows a message box.
#include "app/apply_procedure.h"

#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>

class QThread;
class QWidget;

namespace vela {
class PointerSystem;
namespace program {
class ProgramDevice;
}
}

// What the runner asks of its window, always on the UI thread.
class ApplyHost {
public:
    virtual ~ApplyHost() = default;
    // Stores the pages into the current record and copies the state.
    virtual ApplyInput collectForApply() = 0;
    virtual void macrosSavedByApply(const MacroLibrarySnapshot &saved, const MacroSaveResult &result) = 0;
    virtual void markApplied(int slot) = 0;
};

// ApplyDevice over the program's own device commands.
class ProgramApplyDevice final : public ApplyDevice {
public:
    explicit ProgramApplyDevice(vela::program::ProgramDevice &device) : device_(device) {}
    bool ensureOpen() override;
    void close() override;
    int upload(const ProfileRecord &record) override;
    int setActiveProfile(int slot) override;

private:
    vela::program::ProgramDevice &device_;
};

class ApplyRunner : public QObject {
    Q_OBJECT
public:
    // window: parent of the message boxes and shows the busy cursor; host,
    // device and pointers are not owned and must outlive the runner's workers
    // (WaitForAll). A null device makes every apply find no mouse.
    ApplyRunner(QWidget *window, ApplyHost &host, vela::program::ProgramDevice *device,
                vela::PointerSystem &pointers);
    ~ApplyRunner() override;  // WaitForAll

    // Starts one worker and returns at once. UI thread.
    void Start();
    // Procedures started and not finished yet.
    int running() const { return running_.load(); }
    // Keeps the UI thread's event loop going until every worker has ended,
    // so a worker waiting for the UI thread still gets its answer. From then
    // on messages are written to stderr instead of boxes. UI thread.
    void WaitForAll();

signals:
    // A procedure ended (UI thread).
    void finished();

private:
    class Environment;
    void workerDone(QThread *thread);

    QPointer<QWidget> window_;
    ApplyHost &host_;
    vela::program::ProgramDevice *device_;
    vela::PointerSystem &pointers_;
    std::atomic<int> running_{0};
    std::atomic<bool> closing_{false};
};
