#include "app/vela_app.h"

#include "tests/support/qt_app.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class Startup : public ::testing::Test {
protected:
    void SetUp() override { vela::test::EnsureApp(); }
    vela::test::TempDir dir;
    vela::test::ScopedEnv runtime{"XDG_RUNTIME_DIR", dir.path().toUtf8()};
    vela::test::ScopedEnv config{"XDG_CONFIG_HOME", dir.file("config").toUtf8()};
    vela::test::ScopedEnv mouse{"VELA_VIRTUAL_MOUSE", dir.file("no-mouse.sock").toUtf8()};
};

TEST_F(Startup, AnotherHolderOfTheLockEndsTheStartSilentlyWithoutAWindow)
{
    vela::NamedLock other;
    ASSERT_EQ(other.acquire(kLockName), vela::NamedLock::Result::Acquired);
    CVELAApp app;
    EXPECT_EQ(app.InitInstance(), 0);
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
    app.ExitInstance();
}

TEST_F(Startup, RunsTheWindowUntilAQuitRequestThenReleasesTheLock)
{
    CVELAApp app;
    bool shown = false;
    QTimer::singleShot(100, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            shown |= w->isVisible() && w->windowTitle() == "Vela PRO Software";
        QCoreApplication::exit(0);
    });
    EXPECT_EQ(app.InitInstance(), 0);
    EXPECT_TRUE(shown);
    vela::NamedLock during;
    EXPECT_EQ(during.acquire(kLockName), vela::NamedLock::Result::AlreadyHeld);
    app.ExitInstance();
    vela::NamedLock after;
    EXPECT_EQ(after.acquire(kLockName), vela::NamedLock::Result::Acquired);
}

} // namespace
