// The menus' mouse hook: one filter, each button message reported once.
#define QTEST_QPA_MOUSE_HANDLING // through the window, as real input arrives
#include "platform/mouse_hook.h"
#include "tests/support/qt_app.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

struct Sink : QObject, vela::MouseHookSink {
    void onMouseHookEvent(int message, QPoint globalPos) override { got.emplace_back(message, globalPos); }
    std::vector<std::pair<int, QPoint>> got;
};

TEST(MouseHook, ReportsEachButtonMessageOnceAndOnlyToItsTarget)
{
    vela::test::EnsureApp();
    QWidget window;
    window.resize(200, 100);
    QWidget child(&window);
    child.setGeometry(10, 10, 50, 50);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    Sink first, second;
    vela::MouseHookPointAt(&first);
    vela::MouseHookPointAt(&second);
    EXPECT_EQ(vela::MouseHookTarget(), &second) << "pointing again moves the one hook";

    QTest::mouseClick(&child, Qt::LeftButton, {}, {20, 20});
    QTest::mouseMove(&child, {30, 30});
    QTest::mouseClick(&child, Qt::RightButton, {}, {20, 20});
    QCoreApplication::processEvents();
    ASSERT_EQ(second.got.size(), 4u) << "movement is not reported; window and widget delivery count once";
    EXPECT_EQ(second.got[0].first, vela::kLButtonDown);
    EXPECT_EQ(second.got[0].second, child.mapToGlobal(QPoint(20, 20)));
    EXPECT_EQ(second.got[1].first, vela::kLButtonUp);
    EXPECT_EQ(second.got[2].first, vela::kRButtonDown);
    EXPECT_EQ(second.got[3].first, vela::kRButtonUp);
    EXPECT_TRUE(first.got.empty());

    {
        Sink gone;
        vela::MouseHookPointAt(&gone);
        QTest::mouseClick(&child, Qt::LeftButton, {}, {20, 20});
    }
    QCoreApplication::processEvents(); // a destroyed target gets nothing, and nothing breaks
    EXPECT_EQ(vela::MouseHookTarget(), nullptr);

    vela::MouseHookRemove();
    EXPECT_FALSE(vela::MouseHookInstalled());
    vela::MouseHookRemove();
}

} // namespace
