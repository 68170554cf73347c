#include "platform/window_ops.h"

#include "tests/support/qt_app.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(WindowOps, QuitRequestFromAnyThreadEndsTheLoopWithCodeZero)
{
    vela::test::EnsureApp();
    std::thread([] { vela::RequestQuit(); }).join();
    QTimer::singleShot(5000, [] { QCoreApplication::exit(7); });  // bound if the request is lost
    EXPECT_EQ(QApplication::exec(), 0);
}

TEST(WindowOps, TopmostGoesOnAndOffWithoutHidingOrMovingTheWindow)
{
    vela::test::EnsureApp();
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setGeometry(100, 120, 300, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    WId id = window.winId();
    QPoint pos = window.pos();

    vela::SetTopmost(&window, true);
    EXPECT_TRUE(vela::IsTopmost(&window));
    EXPECT_TRUE(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.winId(), id);
    EXPECT_EQ(window.pos(), pos);

    vela::SetTopmost(&window, false);
    EXPECT_FALSE(vela::IsTopmost(&window));
    EXPECT_FALSE(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.winId(), id);
}

TEST(WindowOps, TopmostSetBeforeTheWindowExistsHoldsWhenShown)
{
    vela::test::EnsureApp();
    QWidget window;
    vela::SetTopmost(&window, true);
    window.show();
    ASSERT_NE(window.windowHandle(), nullptr);
    EXPECT_TRUE(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    vela::SetTopmost(nullptr, true);  // harmless
    EXPECT_FALSE(vela::IsTopmost(nullptr));
}

TEST(WindowOps, DragFallsBackToFollowingThePointerUntilRelease)
{
    vela::test::EnsureApp();
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setGeometry(100, 120, 300, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QPoint start = window.pos();

    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(10, 10));
    // The offscreen platform has no system move.
    EXPECT_FALSE(vela::BeginWindowDrag(&window, window.mapToGlobal(QPoint(10, 10))));
    QTest::mouseMove(&window, QPoint(30, 40));
    EXPECT_EQ(window.pos(), start + QPoint(20, 30));
    QTest::mouseMove(&window, QPoint(5, 5));  // relative to the window's new place
    EXPECT_EQ(window.pos(), start + QPoint(15, 25));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(5, 5));
    QPoint dropped = window.pos();
    QTest::mouseMove(&window, QPoint(50, 50));
    EXPECT_EQ(window.pos(), dropped);
}

} // namespace
