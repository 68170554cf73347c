#include "platform/runtime_folder.h"
#include "platform/single_instance.h"

#include "tests/support/qt_app.h"
#include "tests/support/scoped_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using vela::NamedLock;

namespace {

// Every test gets its own private runtime folder.
class SingleInstance : public ::testing::Test {
protected:
    SingleInstance() : env_("XDG_RUNTIME_DIR", QFile::encodeName(dir_.path()))
    {
        ::chmod(QFile::encodeName(dir_.path()).constData(), 0700);
        vela::test::EnsureApp();
    }
    QString runtime() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    vela::test::ScopedEnv env_;
};

TEST(SafeFileName, KeepsOnlyPlainCharactersAndStaysDistinct)
{
    struct Case {
        const char *text;
        const char *name;
    } cases[] = {
        {"KESTRA VELAX Config", "KESTRA_20VELAX_20Config"},
        {"VELAX", "VELAX"},
        {"../../etc/passwd", "_2E_2E_2F_2E_2E_2Fetc_2Fpasswd"},
        {"a_b", "a_5Fb"},
        {"a b", "a_20b"},
        {"", "_"},
        {"\xC3\xA9t\xC3\xA9", "_C3_A9t_C3_A9"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(vela::SafeFileName(QString::fromUtf8(c.text)), QString::fromLatin1(c.name)) << c.text;

    QString longA = vela::SafeFileName(QString(200, u'x') + u'a');
    QString longB = vela::SafeFileName(QString(200, u'x') + u'b');
    EXPECT_LE(longA.size(), 64);
    EXPECT_NE(longA, longB);
}

TEST_F(SingleInstance, RuntimeFolderIsPrivateAndRefusesAnUnsafeOne)
{
    QString folder = vela::PrivateRuntimeFolder();
    ASSERT_EQ(folder, runtime() + "/vela-pro");
    struct stat st;
    ASSERT_EQ(::lstat(QFile::encodeName(folder).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // A link planted where the folder belongs is not followed.
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QDir(folder).removeRecursively());
    ASSERT_TRUE(QFile::link(elsewhere.path(), folder));
    EXPECT_TRUE(vela::PrivateRuntimeFolder().isEmpty());
    NamedLock lock;
    EXPECT_EQ(lock.acquire("KESTRA VELAX Config"), NamedLock::Result::Failed);
}

TEST_F(SingleInstance, RuntimeDirOpenToOthersFallsBackToTmp)
{
    ::chmod(QFile::encodeName(runtime()).constData(), 0777);
    EXPECT_EQ(vela::PrivateRuntimeFolder(), QString("/tmp/vela-pro-%1").arg(::getuid()));
}

TEST_F(SingleInstance, LockIsExclusiveAndReleased)
{
    NamedLock first;
    ASSERT_EQ(first.acquire("KESTRA VELAX Config"), NamedLock::Result::Acquired);
    EXPECT_TRUE(QFileInfo::exists(runtime() + "/vela-pro/lock-KESTRA_20VELAX_20Config"));
    EXPECT_EQ(first.acquire("KESTRA VELAX Config"), NamedLock::Result::Acquired);

    NamedLock second;
    EXPECT_EQ(second.acquire("KESTRA VELAX Config"), NamedLock::Result::AlreadyHeld);
    EXPECT_FALSE(second.held());
    NamedLock other;
    EXPECT_EQ(other.acquire("another name"), NamedLock::Result::Acquired);

    first.release();
    EXPECT_EQ(second.acquire("KESTRA VELAX Config"), NamedLock::Result::Acquired);
}

TEST_F(SingleInstance, LockOfAKilledProcessIsFreeAtOnce)
{
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        NamedLock lock;
        char ok = lock.acquire("KESTRA VELAX Config") == NamedLock::Result::Acquired ? 'y' : 'n';
        (void)!::write(ready[1], &ok, 1);
        for (;;)
            ::pause();
    }
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'y');

    NamedLock lock;
    EXPECT_EQ(lock.acquire("KESTRA VELAX Config"), NamedLock::Result::AlreadyHeld);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(lock.acquire("KESTRA VELAX Config"), NamedLock::Result::Acquired);
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST_F(SingleInstance, WindowAnswersMessagesPostedToItsTitle)
{
    QWidget window;
    window.setWindowTitle("VELAX");
    auto *beacon = new vela::WindowBeacon(&window);
    ASSERT_TRUE(beacon->listening());
    QSignalSpy spy(beacon, &vela::WindowBeacon::messageArrived);

    EXPECT_FALSE(vela::PostWindowMessage("Vela PRO Software", vela::kShowRequestMessage));
    ASSERT_TRUE(vela::PostWindowMessage("VELAX", vela::kShowRequestMessage));
    ASSERT_TRUE(vela::PostWindowMessage("VELAX", 802, -1, 0x123456789));
    ASSERT_TRUE(QTest::qWaitFor([&] { return spy.count() == 2; }));
    EXPECT_EQ(spy[0][0].value<quint32>(), 0x7ECu);
    EXPECT_EQ(spy[0][1].value<qint64>(), 0);
    EXPECT_EQ(spy[1][0].value<quint32>(), 802u);
    EXPECT_EQ(spy[1][1].value<qint64>(), -1);
    EXPECT_EQ(spy[1][2].value<qint64>(), 0x123456789);

    // The beacon follows the title: the old one no longer answers.
    window.setWindowTitle("Vela PRO Software");
    EXPECT_FALSE(vela::PostWindowMessage("VELAX", vela::kShowRequestMessage));
    EXPECT_TRUE(vela::PostWindowMessage("Vela PRO Software", vela::kShowRequestMessage));
    ASSERT_TRUE(QTest::qWaitFor([&] { return spy.count() == 3; }));

    // A window that goes away takes its socket with it.
    delete beacon;
    EXPECT_FALSE(vela::PostWindowMessage("Vela PRO Software", vela::kShowRequestMessage));
}

TEST_F(SingleInstance, FirstWindowKeepsItsTitleAndStaleSocketIsReplaced)
{
    // A socket file left behind by a process that died: bound, never unlinked.
    QString path = vela::WindowSocketPath("VELAX");
    ASSERT_TRUE(path.startsWith(runtime() + "/vela-pro/"));
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    QByteArray native = QFile::encodeName(path);
    std::memcpy(addr.sun_path, native.constData(), native.size());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
    ::close(fd);
    EXPECT_FALSE(vela::PostWindowMessage("VELAX", vela::kShowRequestMessage));

    QWidget first, second;
    first.setWindowTitle("VELAX");
    second.setWindowTitle("VELAX");
    auto *a = new vela::WindowBeacon(&first);
    auto *b = new vela::WindowBeacon(&second);
    EXPECT_TRUE(a->listening());
    EXPECT_FALSE(b->listening());
    QSignalSpy spyA(a, &vela::WindowBeacon::messageArrived);
    QSignalSpy spyB(b, &vela::WindowBeacon::messageArrived);
    ASSERT_TRUE(vela::PostWindowMessage("VELAX", vela::kShowRequestMessage));
    ASSERT_TRUE(QTest::qWaitFor([&] { return spyA.count() == 1; }));
    EXPECT_EQ(spyB.count(), 0);
}

TEST_F(SingleInstance, HostileTitleStaysInsideTheFolder)
{
    QString path = vela::WindowSocketPath("../../../tmp/evil");
    EXPECT_EQ(QFileInfo(path).absolutePath(), runtime() + "/vela-pro");
    QWidget window;
    window.setWindowTitle("../../../tmp/evil");
    vela::WindowBeacon beacon(&window);
    EXPECT_TRUE(beacon.listening());
    EXPECT_TRUE(QFileInfo::exists(path));
}

TEST_F(SingleInstance, GarbageFromAClientIsIgnored)
{
    QWidget window;
    window.setWindowTitle("VELAX");
    auto *beacon = new vela::WindowBeacon(&window);
    QSignalSpy spy(beacon, &vela::WindowBeacon::messageArrived);
    QLocalSocket socket;
    socket.connectToServer(vela::WindowSocketPath("VELAX"));
    ASSERT_TRUE(socket.waitForConnected(500));
    socket.write("short");  // fewer bytes than one message
    socket.waitForBytesWritten(500);
    socket.disconnectFromServer();
    ASSERT_TRUE(vela::PostWindowMessage("VELAX", vela::kShowRequestMessage));
    ASSERT_TRUE(QTest::qWaitFor([&] { return spy.count() == 1; }));
    QTest::qWait(50);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(spy[0][0].value<quint32>(), 0x7ECu);
}

} // namespace
