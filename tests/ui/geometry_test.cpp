// Value and geometry maths of the kit, called directly.
#include "ui/nex_geometry.h"
#include "ui/nex_kit.h"

#include <gtest/gtest.h>

using namespace vela::ui;

TEST(SliderMaths, SnapsToTheNearestStepAndHalfwayGoesDown)
{
    struct Case { int v, step, want; };
    const Case cases[] = {
        {1099, 200, 1000}, {1101, 200, 1200}, {1100, 200, 1000}, {1000, 200, 1000},
        {7, 1, 7}, {3, 0, 3}, {3, -5, 3}, // no step: unchanged instead of a division by zero
    };
    for (const Case &c : cases)
        EXPECT_EQ(SnapToStep(c.v, c.step), c.want) << c.v << " step " << c.step;
}

TEST(SliderMaths, ValueFromPointerRoundsClampsAndSnaps)
{
    // Track 0..220 with a 20-pixel thumb: 200 pixels of travel for 200..1400.
    const QRect client(0, 0, 220, 20);
    EXPECT_EQ(Slider3DValueFromPointer(10, client, 20, 200, 1400, 200), 200);
    EXPECT_EQ(Slider3DValueFromPointer(210, client, 20, 200, 1400, 200), 1400);
    EXPECT_EQ(Slider3DValueFromPointer(-50, client, 20, 200, 1400, 200), 200);
    EXPECT_EQ(Slider3DValueFromPointer(500, client, 20, 200, 1400, 200), 1400);
    // (x - 10) * 6 + 200 = 1099.x and 1100.x snap to 1000; 1106 to 1200.
    EXPECT_EQ(Slider3DValueFromPointer(160, client, 20, 200, 1400, 200), 1000);
    EXPECT_EQ(Slider3DValueFromPointer(161, client, 20, 200, 1400, 200), 1200);
    // Fraction 0.5 rounds up with step 1: x = 10.5 is not reachable, use a 1..3 range.
    EXPECT_EQ(Slider3DValueFromPointer(110, QRect(0, 0, 220, 20), 20, 0, 1, 1), 1);
}

TEST(SliderMaths, EmptyRangeOrTrackGivesTheMinimum)
{
    EXPECT_EQ(Slider3DValueFromPointer(50, QRect(0, 0, 100, 20), 20, 10, 10, 1), 10);
    EXPECT_EQ(Slider3DValueFromPointer(50, QRect(0, 0, 20, 20), 20, 0, 100, 1), 0);
    EXPECT_EQ(VerValueFromPointer(50, QRect(0, 0, 20, 100), 10, 5, 5, 1), 5);
    EXPECT_FLOAT_EQ(RangeFraction(7, 7, 7), 0.0f);
    const QRect r = Slider3DThumbRect(QRect(0, 0, 100, 20), {10, 10}, {10, 10}, {10, 10}, 5, 5, 5);
    EXPECT_EQ(r.left(), 0);
}

TEST(SliderMaths, ThumbRectanglesStayInsideTheClient)
{
    const QRect client(0, 0, 200, 24);
    // Thumb 1 is 20 wide, thumb 2 is 30 wide and 10 high, thumb 3 is 24 high.
    const QSize t1(20, 20), t2(30, 10), t3(20, 24);
    QRect r = Slider3DThumbRect(client, t1, t1, t3, 0, 0, 100);
    EXPECT_EQ(r, QRect(0, 2, 20, 20));
    r = Slider3DThumbRect(client, t1, t2, t3, 0, 0, 100);
    EXPECT_EQ(r.left(), 0) << "pushed back from the left edge";
    EXPECT_EQ(r.top(), 7);
    r = Slider3DThumbRect(client, t1, t2, t3, 100, 0, 100);
    EXPECT_EQ(RightOf(r), 200) << "pulled back from the right edge";
    r = Slider3DThumbRect(client, t1, t1, t3, 50, 0, 100);
    EXPECT_EQ(r.left(), 90);
}

TEST(ScrollMaths, GeometryFollowsTheImagesAndTheShape)
{
    ScrollGeometry g = ComputeScrollGeometry({12, 200}, {12, 15}, {12, 16}, {12, 30});
    EXPECT_TRUE(g.vertical);
    EXPECT_EQ(g.firstArrow, RectLTRB(0, 0, 12, 15));
    EXPECT_EQ(g.secondArrow, RectLTRB(0, 184, 12, 200));
    EXPECT_EQ(g.track, RectLTRB(0, 15, 12, 184));
    EXPECT_EQ(g.thumb, RectLTRB(0, 15, 12, 45));

    g = ComputeScrollGeometry({200, 12}, {15, 12}, {16, 12}, {30, 12});
    EXPECT_FALSE(g.vertical);
    EXPECT_EQ(g.track, RectLTRB(15, 0, 184, 12));
    EXPECT_EQ(ScrollThumbRect(g, {30, 12}, 100, 0, 100), RectLTRB(154, 0, 184, 12));
}

TEST(ScrollMaths, PositionsMapBothWaysAndAnEmptyRangeStaysAtTheStart)
{
    const ScrollGeometry g = ComputeScrollGeometry({10, 130}, {10, 10}, {10, 10}, {10, 10});
    // Track 10..120, thumb 10: 100 pixels of travel.
    EXPECT_EQ(ScrollThumbRect(g, {10, 10}, 50, 0, 100).top(), 60);
    EXPECT_EQ(ScrollThumbRect(g, {10, 10}, 500, 0, 100).top(), 110) << "clamped to the maximum";
    for (int pos : {-5, 10, 99})
        EXPECT_EQ(ScrollThumbRect(g, {10, 10}, pos, 10, 10).top(), 10);
    EXPECT_EQ(ScrollValueFromPointer(g, {10, 10}, 65, 0, 100), 50);
    EXPECT_EQ(ScrollValueFromPointer(g, {10, 10}, 500, 0, 100), 100);
    EXPECT_EQ(ScrollValueFromPointer(g, {10, 10}, 65, 10, 10), 10);
    // Half a unit: vertical bars round up, horizontal bars down.
    const ScrollGeometry v = ComputeScrollGeometry({10, 220}, {10, 10}, {10, 10}, {10, 0});
    EXPECT_EQ(ScrollValueFromPointer(v, {10, 0}, 11, 0, 100), 1); // 0.5
    const ScrollGeometry h = ComputeScrollGeometry({220, 10}, {10, 10}, {10, 10}, {0, 10});
    EXPECT_EQ(ScrollValueFromPointer(h, {0, 10}, 11, 0, 100), 0);
}

TEST(ProgressMaths, FillCoversTheFractionAndNothingAtTheMinimum)
{
    EXPECT_TRUE(ProgressFillRect({100, 10}, 0, 0, 100, false).isEmpty());
    EXPECT_TRUE(ProgressFillRect({100, 10}, 50, 50, 50, false).isEmpty()) << "empty range: no fill";
    EXPECT_EQ(ProgressFillRect({100, 10}, 33, 0, 100, false), QRect(0, 0, 33, 10));
    EXPECT_EQ(ProgressFillRect({10, 100}, 25, 0, 100, true), QRect(0, 75, 10, 25));
    EXPECT_EQ(ProgressFillRect({100, 10}, 150, 0, 100, false), QRect(0, 0, 100, 10)) << "never past the client";
}

TEST(KitText, CentredTextWiderThanItsBoxStartsLeftOfIt)
{
    EXPECT_EQ(TextOrigin({60, 14}, true, true, QRect(10, 0, 40, 20)), QPoint(0, 3));
    EXPECT_EQ(TextOrigin({61, 14}, true, false, QRect(10, 5, 40, 20)), QPoint(0, 5)) << "truncates toward zero";
    EXPECT_EQ(TextOrigin({20, 10}, false, true, QRect(5, 0, 40, 20)), QPoint(5, 5));
}

TEST(KitColours, ArgbTurnsIntoColorrefAndSliderValuesPack)
{
    EXPECT_EQ(ArgbToColorref(0xFF32EBA5), 0xA5EB32u);
    EXPECT_EQ(SliderNotifyValue(1200, 3), static_cast<intptr_t>((3 << 16) | 1200));
}
