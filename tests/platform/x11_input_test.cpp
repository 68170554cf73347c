// The key hook and the window drag on a real X server (a private Xvfb), with
// keys typed by xdotool: native key symbols, X11 auto-repeat, no window manager.
#include "platform/key_hook.h"
#include "platform/window_ops.h"

#include "tests/support/xvfb_server.h"

#include <QApplication>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using Report = std::pair<int, int>;

class Window : public QWidget, public vela::KeyHookSink {
public:
    std::vector<Report> reports;
    void onKeyHookEvent(int vk, int flag) override { reports.emplace_back(vk, flag); }
};

class X11Input : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!vela::test::XvfbServer::installed() || std::system("command -v xdotool >/dev/null 2>&1") != 0)
            return;
        server_ = new vela::test::XvfbServer({"-ardelay", "200", "-arinterval", "50"});
        if (server_->display().empty())
            return;
        qputenv("DISPLAY", QByteArray::fromStdString(server_->display()));
        qputenv("QT_QPA_PLATFORM", "xcb");
        static int argc = 1;
        static char name[] = "vela-x11-test";
        static char *argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
    }
    static void TearDownTestSuite()
    {
        delete app_;
        app_ = nullptr;
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override
    {
        if (!app_)
            GTEST_SKIP() << "needs Xvfb and xdotool";
        window_ = std::make_unique<Window>();
        window_->setGeometry(50, 60, 300, 200);
        window_->show();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }
    void TearDown() override
    {
        vela::RemoveKeyHook();
        window_.reset();
    }
    static bool xdotool(const QStringList &args)
    {
        return QProcess::execute(QStringLiteral("xdotool"), args) == 0;
    }

    std::unique_ptr<Window> window_;
    static inline QApplication *app_ = nullptr;
    static inline vela::test::XvfbServer *server_ = nullptr;
};

TEST_F(X11Input, RightAndLeftModifiersAreToldApart)
{
    ASSERT_TRUE(vela::InstallKeyHook(window_.get()));
    ASSERT_TRUE(xdotool({"key", "Shift_R", "Control_R", "Alt_R", "Shift_L", "a"}));
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return !window_->reports.empty() && window_->reports.back() == Report('A', 0x80);
    }));
    // xdotool also presses the left key of a modifier it types, so count.
    auto count = [&](Report r) { return std::count(window_->reports.begin(), window_->reports.end(), r); };
    for (int right : {161, 163, 165}) {
        EXPECT_EQ(count({right, 0}), 1) << right;
        EXPECT_EQ(count({right, 0x80}), 1) << right;
    }
    EXPECT_GE(count({160, 0}), 1);
    EXPECT_EQ(count({160, 0}), count({160, 0x80}));
    EXPECT_EQ(count({'A', 0}), 1);
}

TEST_F(X11Input, HeldKeyGivesRepeatedPressesAndOneRelease)
{
    ASSERT_TRUE(vela::InstallKeyHook(window_.get()));
    ASSERT_TRUE(xdotool({"keydown", "b", "sleep", "0.6", "keyup", "b"}));
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return !window_->reports.empty() && window_->reports.back() == Report('B', 0x80);
    }));
    auto &r = window_->reports;
    EXPECT_GE(r.size(), 3u);  // at least one repeat within 0.6 s at a 200 ms delay
    for (size_t i = 0; i + 1 < r.size(); ++i)
        EXPECT_EQ(r[i], Report('B', 0)) << i;
}

TEST_F(X11Input, DragWithoutWindowManagerMovesTheWindow)
{
    QPoint start = window_->pos();
    QPoint press = window_->mapToGlobal(QPoint(20, 20));
    ASSERT_TRUE(xdotool({"mousemove", QString::number(press.x()), QString::number(press.y()),
                         "mousedown", "1"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QGuiApplication::mouseButtons() == Qt::LeftButton; }));
    bool system = vela::BeginWindowDrag(window_.get(), press);
    ASSERT_TRUE(xdotool({"mousemove", QString::number(press.x() + 40), QString::number(press.y() + 25),
                         "mouseup", "1"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window_->pos() == start + QPoint(40, 25); }))
        << "system move: " << system << " at " << window_->pos().x() << "," << window_->pos().y();
}

} // namespace
