// The scroll bar and the two sliders, driven with real presses and drags.
#include "tests/ui/ui_fixture.h"
#include "ui/nex_slider.h"

using namespace vela::ui;
using namespace vela::test;

namespace {

const QColor kTrack(30, 30, 30);
const QColor kThumb[5] = {{200, 0, 0}, {0, 200, 0}, {0, 0, 200}, {200, 200, 0}, {50, 235, 165}};

intptr_t Packed(int value, int thumb) { return SliderNotifyValue(value, thumb); }

class SliderTest : public UiTest {
protected:
    // 220 × 20 slider for DPI-like values, 20 × 20 thumbs: 200 pixels of travel.
    CNexSliderCtrl3D *MakeSlider(int thumbs)
    {
        auto *s = new CNexSliderCtrl3D(parent, 1014);
        s->setGeometry(10, 10, 220, 20);
        std::array<QImage, 5> images;
        for (int k = 0; k < 5; ++k)
            images[k] = Solid(20, 20, kThumb[k]);
        s->SetImages(Solid(4, 4, kTrack), images);
        s->SetRange(200, 1400);
        s->SetStep(200);
        s->SetThumbCount(thumbs);
        return s;
    }
    void drag(QWidget *w, QPoint from, std::initializer_list<QPoint> path)
    {
        QTest::mousePress(w, Qt::LeftButton, {}, from);
        QPoint last = from;
        for (QPoint p : path) {
            QTest::mouseMove(w, p);
            last = p;
        }
        QTest::mouseRelease(w, Qt::LeftButton, {}, last);
    }
};

TEST_F(SliderTest, DraggingSnapsToTheStepAndHalfwayGoesDown)
{
    CNexSliderCtrl3D *s = MakeSlider(1);
    s->SetValue(1, 200);
    showParent();
    parent->got.clear();
    // (x - 10) * 6 + 200: x = 160 gives 1100 (down to 1000), 161 gives 1106, 159 gives 1094.
    drag(s, {10, 10}, {{159, 10}, {160, 10}, {161, 10}});
    const std::vector<Notification> want{{1014, Packed(1000, 1)}, {1014, Packed(1200, 1)}};
    EXPECT_EQ(parent->got, want) << "1094 and 1100 both give 1000, reported once";
    EXPECT_EQ(s->value(1), 1200);
    EXPECT_EQ(s->activeThumb(), 0);
    EXPECT_EQ(s->look(), int(LookNormal));
}

TEST_F(SliderTest, LeavingPausesTheDragAndComingBackWithTheButtonHeldResumesIt)
{
    CNexSliderCtrl3D *s = MakeSlider(1);
    s->SetValue(1, 200);
    showParent();
    parent->got.clear();
    QTest::mousePress(s, Qt::LeftButton, {}, {10, 10});
    QTest::mouseMove(s, {110, 10});
    ASSERT_EQ(parent->got.size(), 1u);
    QTest::mouseMove(s, {110, 40});
    EXPECT_EQ(s->look(), int(LookNormal));
    QTest::mouseMove(s, {160, 40});
    EXPECT_EQ(parent->got.size(), 1u) << "outside the slider nothing follows";
    QTest::mouseMove(s, {160, 10});
    EXPECT_EQ(s->look(), int(LookPressed)) << "the saved look comes back";
    QTest::mouseRelease(s, Qt::LeftButton, {}, {160, 10});
    ASSERT_EQ(parent->got.size(), 2u);
    EXPECT_EQ(parent->got.back(), Notification(1014, Packed(1000, 1)));
}

TEST_F(SliderTest, SettingTheLastReportedValueReportsNothing)
{
    CNexSliderCtrl3D *s = MakeSlider(1);
    s->SetValue(1, 600);
    s->SetValue(1, 600);
    s->SetValue(1, 5000);
    s->SetValue(1, 9999);
    const std::vector<Notification> want{{1014, Packed(600, 1)}, {1014, Packed(1400, 1)}};
    EXPECT_EQ(parent->got, want) << "out of range reports the clamped value, once";
}

TEST_F(SliderTest, LockedSliderIgnoresTheMouseAndShowsImageFive)
{
    CNexSliderCtrl3D *s = MakeSlider(1);
    s->SetValue(1, 200);
    s->SetLook(LookLocked);
    showParent();
    parent->got.clear();
    drag(s, {10, 10}, {{120, 10}});
    EXPECT_TRUE(parent->got.empty());
    EXPECT_EQ(s->value(1), 200);
    EXPECT_EQ(s->look(), LookLocked);
    EXPECT_EQ(PixelOf(s, {10, 10}), kThumb[4]);

    s->SetLook(LookNormal);
    EXPECT_EQ(PixelOf(s, {10, 10}), kThumb[0]);
    drag(s, {10, 10}, {{120, 10}});
    EXPECT_FALSE(parent->got.empty()) << "unlocked, it follows again";
}

TEST_F(SliderTest, PressWhereAHiddenThumbLiesMovesNothing)
{
    CNexSliderCtrl3D *s = MakeSlider(5);
    const int values[5] = {200, 400, 600, 1200, 1400};
    for (int k = 1; k <= 5; ++k)
        s->SetValue(k, values[k - 1]);
    s->SetThumbCount(3);
    showParent();
    parent->got.clear();
    const QPoint hidden = s->thumbRect(4).center();
    drag(s, hidden, {{hidden.x() - 30, 10}});
    EXPECT_TRUE(parent->got.empty());
    for (int k = 1; k <= 5; ++k)
        EXPECT_EQ(s->value(k), values[k - 1]);
    EXPECT_EQ(PixelOf(s, hidden), kTrack) << "hidden thumbs are not drawn";

    const QPoint third = s->thumbRect(3).center();
    drag(s, third, {{third.x() + 34, 10}});
    ASSERT_FALSE(parent->got.empty());
    EXPECT_EQ(parent->got.back().second >> 16, 3) << "the shown thumb reports its number";
}

class ScrollTest : public UiTest {
protected:
    // A vertical bar 12 × 200 with 15-pixel arrows and a 30-pixel thumb.
    CNexScrollCtrl *MakeBar()
    {
        auto *bar = new CNexScrollCtrl(parent, 100);
        bar->setGeometry(300, 10, 12, 200);
        bar->SetImages({Solid(12, 4, kTrack), Solid(12, 30, kThumb[0]), Solid(12, 30, kThumb[4]),
                        Solid(12, 15, kThumb[1]), Solid(12, 15, kThumb[4]), Solid(12, 15, kThumb[2]),
                        Solid(12, 15, kThumb[4])});
        return bar;
    }
};

TEST_F(ScrollTest, LowerArrowJumpsToTheMaximumAndReportsItTwice)
{
    CNexScrollCtrl *bar = MakeBar();
    bar->SetRange(0, 40);
    showParent();
    parent->got.clear();
    QTest::mousePress(bar, Qt::LeftButton, {}, {6, 195});
    EXPECT_EQ(bar->hitPart(), int(CNexScrollCtrl::PartSecondArrow));
    EXPECT_EQ(PixelOf(bar, {6, 195}), kThumb[4]) << "pressed arrow image";
    QTest::mouseRelease(bar, Qt::LeftButton, {}, {6, 195});
    const std::vector<Notification> want{{100, 40}, {100, 40}};
    EXPECT_EQ(parent->got, want);
    EXPECT_EQ(bar->position(), 40);
    EXPECT_EQ(bar->geometry().thumb.bottom() + 1, 185) << "thumb at the end of the track";
    EXPECT_EQ(bar->hitPart(), int(CNexScrollCtrl::PartNone));
}

TEST_F(ScrollTest, DraggingInTheTrackReportsEachNewPositionOnce)
{
    CNexScrollCtrl *bar = MakeBar();
    bar->SetRange(0, 139); // 185 - 15 - 30 = 140 pixels of travel
    showParent();
    parent->got.clear();
    QTest::mousePress(bar, Qt::LeftButton, {}, {6, 30});
    QTest::mouseMove(bar, {6, 30});
    QTest::mouseMove(bar, {6, 80});
    QTest::mouseRelease(bar, Qt::LeftButton, {}, {6, 80});
    ASSERT_EQ(parent->got.size(), 2u);
    EXPECT_EQ(parent->got[0].second, 0);
    EXPECT_EQ(parent->got[1].second, 50);
    EXPECT_EQ(bar->geometry().thumb.top(), 15 + 50);
}

TEST_F(ScrollTest, EmptyRangeKeepsTheThumbAtTheStart)
{
    CNexScrollCtrl *bar = MakeBar();
    bar->SetRange(10, 10);
    showParent();
    for (int pos : {0, 10, 500}) {
        bar->SetPosition(pos);
        EXPECT_EQ(bar->position(), 10);
        EXPECT_EQ(bar->geometry().thumb.top(), 15);
    }
    QTest::mouseClick(bar, Qt::LeftButton, {}, {6, 120});
    EXPECT_EQ(bar->position(), 10);
    EXPECT_EQ(bar->geometry().thumb.top(), 15);
}

TEST_F(SliderTest, VerticalSliderPicksColoursButIgnoresNearWhitePixels)
{
    auto *s = new CNexSliderCtrlVer(parent, 1106);
    s->setGeometry(10, 10, 20, 110);
    QImage bg(20, 110, QImage::Format_RGB32);
    bg.fill(QColor(230, 240, 202)); // every part >= 202
    for (int y = 60; y < 110; ++y)
        for (int x = 0; x < 20; ++x)
            bg.setPixelColor(x, y, QColor(255, 0, 0));
    s->SetImages(bg, Solid(20, 10, Qt::gray), Solid(20, 10, Qt::white), QImage());
    s->SetRange(0, 100);
    showParent();
    parent->got.clear();
    QTest::mousePress(s, Qt::LeftButton, {}, {10, 30});
    EXPECT_EQ(s->GetColor(), 0xFFFF00u) << "near white: the picked colour stays";
    QTest::mouseMove(s, {10, 80});
    QTest::mouseRelease(s, Qt::LeftButton, {}, {10, 80});
    EXPECT_EQ(s->GetColor(), 0x0000FFu) << "red, as COLORREF";
    ASSERT_EQ(parent->got.size(), 2u);
    EXPECT_EQ(parent->got[0], Notification(1106, 25));
    EXPECT_EQ(parent->got[1], Notification(1106, 75));

    s->SetLook(LookLocked);
    parent->got.clear();
    QTest::mouseClick(s, Qt::LeftButton, {}, {10, 10});
    EXPECT_TRUE(parent->got.empty());
}

} // namespace
