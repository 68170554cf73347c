#pragma once
// One QApplication for a test executable, created on first use (widget tests
// run under QT_QPA_PLATFORM=offscreen).
#include <QApplication>

namespace vela::test {

inline QApplication &EnsureApp()
{
    static int argc = 1;
    static char name[] = "vela-test";
    static char *argv[] = {name, nullptr};
    static QApplication *app = [] {
        if (auto *existing = qobject_cast<QApplication *>(QCoreApplication::instance()))
            return existing;
        return new QApplication(argc, argv);
    }();
    return *app;
}

} // namespace vela::test
