#include "app/vela_app.h"

#include "app/main_window.h"
#include "app/skin_catalogue.h"
#include "device/program_device.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/hid.h"
#include "platform/window_ops.h"

#include <QApplication>

#include <cstdio>

int CVELAApp::InitInstance()
{
    // Sent whether or not another copy turns out to be running.
    vela::PostWindowMessage(kShowRequestTitle, vela::kShowRequestMessage);

    switch (lock_.acquire(kLockName)) {
    case vela::NamedLock::Result::AlreadyHeld:
        return 0;
    case vela::NamedLock::Result::Failed:
        // Better one copy too many than no program at all.
        std::fprintf(stderr, "vela-pro-software: the single-instance lock is unavailable\n");
        break;
    case vela::NamedLock::Result::Acquired:
        break;
    }

    QApplication::setQuitOnLastWindowClosed(false);
    vela::skinCatalogue().setFailureHandler([](const QString &text, const QString &caption) {
        vela::Dialogs().messageBox(nullptr, text, caption);
        vela::RequestQuit();
    });

    vela::program::ProgramDevice device(vela::hid::defaultBackend(), vela::systemClock());
    ShellServices services;
    services.device = &device;
    int code = 0;
    {
        CVELADlg dlg(services);
        dlg.OnInitDialog();
        dlg.show();
        code = QApplication::exec();
        dlg.hide();
        dlg.DestroyWindow();
    }
    device.close();
    return code;
}

int CVELAApp::ExitInstance()
{
    lock_.release();
    return 0;
}
