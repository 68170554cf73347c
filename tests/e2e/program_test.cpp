// The real program under a private X server, clicked with xdotool, against a
// running vela-virtual-mouse.
#include "app/profile_slots.h"
#include "profile/onboard_image.h"
#include "tests/support/temp_dir.h"
#include "tests/support/virtual_mouse_process.h"
#include "tests/support/xvfb_server.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

namespace {

const QString kProgram = QStringLiteral(VELA_BIN_DIR "/vela-pro-software");
const QString kTitle = QStringLiteral("Vela PRO Software");
// Centre of the "Apply" button, in window pixels.
const QStringList kApplyPoint = {"977", "545"};

bool ToolsPresent()
{
    return vela::test::XvfbServer::installed() && std::system("command -v xdotool >/dev/null 2>&1") == 0;
}

class Program : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!ToolsPresent())
            GTEST_SKIP() << "Xvfb or xdotool missing";
        ASSERT_FALSE(xvfb.display().empty());
    }
    void TearDown() override
    {
        for (QProcess *p : {&first, &second}) {
            if (p->state() != QProcess::NotRunning) {
                p->terminate();
                if (!p->waitForFinished(3000)) {
                    p->kill();
                    p->waitForFinished(3000);
                }
            }
        }
    }

    QProcessEnvironment environment(const QString &mouseSocket) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", QString::fromStdString(xvfb.display()));
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.file("config"));
        env.insert("XDG_RUNTIME_DIR", home.path());
        env.insert("VELA_VIRTUAL_MOUSE", mouseSocket);
        env.remove("XDG_CURRENT_DESKTOP");
        env.insert("GSETTINGS_BACKEND", "memory");
        return env;
    }
    void launch(QProcess &p, const QString &mouseSocket)
    {
        p.setProcessEnvironment(environment(mouseSocket));
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(kProgram, {});
        ASSERT_TRUE(p.waitForStarted(5000));
    }
    // Runs xdotool with the test's display; its output, trimmed.
    QString xdotool(const QStringList &args, bool *ok = nullptr) const
    {
        QProcess x;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", QString::fromStdString(xvfb.display()));
        x.setProcessEnvironment(env);
        x.start("xdotool", args);
        const bool done = x.waitForFinished(5000);
        if (ok)
            *ok = done && x.exitCode() == 0;
        return QString::fromLatin1(x.readAllStandardOutput()).trimmed();
    }
    // The id of the visible window named exactly `title`, waiting up to timeoutMs.
    QString waitForWindow(const QString &title, int timeoutMs = 8000) const
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            bool ok = false;
            const QString ids = xdotool({"search", "--onlyvisible", "--name", "^" + title + "$"}, &ok);
            if (ok && !ids.isEmpty())
                return ids.split('\n').first();
            QThread::msleep(50);
        }
        return {};
    }
    void clickApply(const QString &window)
    {
        QThread::msleep(200); // mapped is not yet painted and taking input
        bool ok = false;
        xdotool(QStringList{"mousemove", "--window", window} + kApplyPoint + QStringList{"click", "1"}, &ok);
        ASSERT_TRUE(ok);
    }

    vela::test::XvfbServer xvfb{{"-screen", "0", "1280x800x24"}};
    vela::test::TempDir home;
    QProcess first, second;
};

TEST_F(Program, ApplyWritesSlotZeroIntoTheMouseAndActivatesIt)
{
    vela::test::VirtualMouseProcess mouse(VELA_BIN_DIR);
    ASSERT_TRUE(mouse.ready());
    mouse.ctl({"log", "--clear"});
    launch(first, mouse.socketPath());
    const QString window = waitForWindow(kTitle);
    ASSERT_FALSE(window.isEmpty()) << "the main window never showed";
    clickApply(window);

    // What the program holds for slot 1 on a fresh start.
    const ProfileSlots fresh(home.file("config/Kestra/Vela PRO Software"));
    const OnboardImage expected = BuildOnboardImage(fresh.records[0]);
    const QString hex = QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(expected.bytes.data()),
                                                       int(expected.bytes.size())).toHex());
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 8000 && mouse.ctl({"slot", "0"}) != hex)
        QThread::msleep(100);
    EXPECT_EQ(mouse.ctl({"slot", "0"}), hex);
    // The activation is whole once its status has been read, 1.5 s after the command.
    auto activated = [&] {
        const QString log = mouse.ctl({"log"});
        const qsizetype set = log.lastIndexOf(QRegularExpression(" set a1 04\\n"));
        return set >= 0 && log.indexOf(" get a1", set) > set;
    };
    while (t.elapsed() < 8000 && !activated())
        QThread::msleep(100);
    EXPECT_TRUE(activated()) << mouse.ctl({"log"}).toStdString();
    EXPECT_EQ(mouse.ctl({"active"}), "0");
    EXPECT_TRUE(QFileInfo::exists(home.file("config/Kestra/Vela PRO Software/Profiles/Default5.profile")));
    EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(Program, ASecondStartEndsAtOnceAndTheFirstKeepsRunning)
{
    launch(first, home.file("no-mouse.sock"));
    ASSERT_FALSE(waitForWindow(kTitle).isEmpty());
    QElapsedTimer t;
    t.start();
    launch(second, home.file("no-mouse.sock"));
    ASSERT_TRUE(second.waitForFinished(5000));
    EXPECT_LT(t.elapsed(), 5000);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    QThread::msleep(200);
    EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(Program, ApplyWithNoMouseBringsUpAKestraBox)
{
    launch(first, home.file("no-mouse.sock"));
    const QString window = waitForWindow(kTitle);
    ASSERT_FALSE(window.isEmpty());
    clickApply(window);
    EXPECT_FALSE(waitForWindow("KESTRA").isEmpty());
}

} // namespace
