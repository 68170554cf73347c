#include "app/apply_runner.h"

#include "device/program_device.h"
#include "platform/dialogs.h"
#include "platform/pointer_settings.h"
#include "profile/onboard_image.h"

#include <QCoreApplication>
#include <QThread>
#include <QWidget>

#include <cstdio>

namespace {
const QString kCaption = QStringLiteral("KESTRA");

vela::PointerValues PointerValuesOf(const ProfileRecord &r)
{
    vela::PointerValues v;
    v.doubleClickSpeed = r.doubleClickSpeed;
    v.pointerSpeed = r.pointerSpeed;
    v.scrollByLines = r.scrollByLines;
    v.scrollByPage = r.scrollByPage;
    v.scrollLines = r.scrollLines;
    v.enhancePrecision = r.enhancePrecision;
    v.accelerationIndex = r.accelerationIndex;
    return v;
}

// No mouse at all: what an apply sees when the program has no device.
class MissingDevice final : public ApplyDevice {
public:
    bool ensureOpen() override { return false; }
    void close() override {}
    int upload(const ProfileRecord &) override { return 4; }
    int setActiveProfile(int) override { return 4; }
};
} // namespace

bool ProgramApplyDevice::ensureOpen()
{
    return device_.ensureOpen();
}

void ProgramApplyDevice::close()
{
    device_.close();
}

int ProgramApplyDevice::upload(const ProfileRecord &record)
{
    return UploadProfile(device_, record);
}

int ProgramApplyDevice::setActiveProfile(int slot)
{
    return device_.setActiveProfile(static_cast<uint8_t>(slot));
}

// The worker's side: every call that needs the UI thread blocks until the UI
// thread has run it.
class ApplyRunner::Environment final : public ApplyEnvironment {
public:
    explicit Environment(ApplyRunner &runner) : runner_(runner) {}

    ApplyInput collect() override
    {
        ApplyInput input;
        onUiThread([&] { input = runner_.host_.collectForApply(); });
        return input;
    }
    void applyPointerSettings(const ProfileRecord &record) override
    {
        vela::ApplyPointerSettings(PointerValuesOf(record), runner_.pointers_);
    }
    void macrosSaved(const MacroLibrarySnapshot &saved, const MacroSaveResult &result) override
    {
        onUiThread([&] { runner_.host_.macrosSavedByApply(saved, result); });
    }
    void markApplied(int slot) override
    {
        onUiThread([&] { runner_.host_.markApplied(slot); });
    }
    void showMessage(const QString &text) override
    {
        onUiThread([&] {
            // While the window goes away nobody could answer a box.
            if (runner_.closing_.load())
                std::fprintf(stderr, "KESTRA: %s\n", qPrintable(text));
            else
                vela::Dialogs().messageBox(runner_.window_.data(), text, kCaption);
        });
    }

private:
    template <typename F>
    void onUiThread(F &&f)
    {
        QMetaObject::invokeMethod(&runner_, std::forward<F>(f), Qt::BlockingQueuedConnection);
    }
    ApplyRunner &runner_;
};

ApplyRunner::ApplyRunner(QWidget *window, ApplyHost &host, vela::program::ProgramDevice *device,
                         vela::PointerSystem &pointers)
    : window_(window), host_(host), device_(device), pointers_(pointers)
{
}

ApplyRunner::~ApplyRunner()
{
    WaitForAll();
}

void ApplyRunner::Start()
{
    if (running_.fetch_add(1) == 0 && window_)
        window_->setCursor(Qt::BusyCursor);
    QThread *thread = QThread::create([this] {
        Environment env(*this);
        if (device_) {
            ProgramApplyDevice device(*device_);
            RunApplyProcedure(env, device);
        } else {
            MissingDevice device;
            RunApplyProcedure(env, device);
        }
    });
    connect(thread, &QThread::finished, this, [this, thread] { workerDone(thread); });
    thread->start();
}

void ApplyRunner::workerDone(QThread *thread)
{
    thread->wait();
    delete thread;
    if (running_.fetch_sub(1) == 1 && window_)
        window_->unsetCursor();
    emit finished();
}

void ApplyRunner::WaitForAll()
{
    closing_ = true;
    while (running_.load() > 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    closing_ = false;
}
