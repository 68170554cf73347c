#pragma once
// Shared pieces of the widget tests: a parent window that records the
// notifications of its controls, solid test images, and pixel reads.
#define QTEST_QPA_MOUSE_HANDLING // mouse input goes through the window, as real input does
#include "tests/support/qt_app.h"
#include "tests/support/qt_try.h"
#include "ui/nex_kit.h"

#include <QImage>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace vela::test {

using Notification = std::pair<int, intptr_t>;

// A top-level window standing in for a page: records every notification.
class RecordingParent : public QWidget, public ui::SysCommandTarget {
public:
    RecordingParent() { resize(400, 300); }
    void onSysCommand(int idOrCode, intptr_t value) override { got.emplace_back(idOrCode, value); }
    std::vector<Notification> got;
};

inline QImage Solid(int w, int h, QColor c)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(c);
    return img;
}

// The colour a widget shows at a point, as rendered now.
inline QColor PixelOf(QWidget *w, QPoint at)
{
    return w->grab().toImage().pixelColor(at);
}

class UiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApp();
        parent = new RecordingParent;
    }
    void TearDown() override
    {
        delete parent;
        // Leave no button held for the next test.
        QApplication::processEvents();
    }
    // Shows the parent and waits until it can take input.
    void showParent()
    {
        parent->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(parent));
        parent->activateWindow();
        (void)QTest::qWaitForWindowActive(parent);
        // Park the pointer in the empty bottom-right corner.
        QTest::mouseMove(parent, parkingSpot());
    }
    QPoint parkingSpot() const { return {parent->width() - 2, parent->height() - 2}; }

    RecordingParent *parent = nullptr;
};

} // namespace vela::test
