// The statics: text and image lists, the lighting preview's ticks, the
// colour square and the progress bar.
#include "tests/ui/ui_fixture.h"
#include "ui/nex_static.h"

using namespace vela::ui;
using namespace vela::test;

namespace {

class StaticTest : public UiTest {};

// Whether any pixel is at least this bright in every channel (text is antialiased).
bool HasBrightPixel(const QImage &img, int atLeast)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (const QColor c = img.pixelColor(x, y); std::min({c.red(), c.green(), c.blue()}) >= atLeast)
                return true;
    return false;
}

bool HasColour(const QImage &img, QColor c)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) == c)
                return true;
    return false;
}

TEST_F(StaticTest, ProgressBarAtItsMinimumDrawsOnlyItsBackground)
{
    auto *bar = new CNexProgressCtrl(parent, 1200);
    bar->setGeometry(10, 10, 100, 10);
    bar->SetImages(Solid(4, 4, Qt::darkGray), Solid(100, 10, Qt::green));
    bar->SetRange(20, 80);
    bar->SetPos(20);
    EXPECT_FALSE(HasColour(bar->grab().toImage(), Qt::green));
    bar->SetPos(50);
    const QImage half = bar->grab().toImage();
    EXPECT_EQ(half.pixelColor(49, 5), QColor(Qt::green));
    EXPECT_EQ(half.pixelColor(50, 5), QColor(Qt::darkGray));
    bar->SetRange(30, 30);
    EXPECT_FALSE(HasColour(bar->grab().toImage(), Qt::green)) << "an empty range draws no fill";
    bar->SetRange(0, 100);
    bar->SetVertical(true);
    bar->SetPos(30);
    const QImage up = bar->grab().toImage();
    EXPECT_EQ(up.pixelColor(50, 9), QColor(Qt::green));
    EXPECT_EQ(up.pixelColor(50, 6), QColor(Qt::darkGray));
}

TEST_F(StaticTest, StaticDrawsItsListsAndReportsDoubleClicks)
{
    auto *label = new CNexStatic(parent, 1113);
    label->setGeometry(10, 10, 60, 20);
    label->SetBackgroundColor(0xFF101010);
    label->SetText(QStringLiteral("#"));
    EXPECT_EQ(label->GetText(), QStringLiteral("#"));
    EXPECT_TRUE(HasBrightPixel(label->grab().toImage(), 200));
    label->SetTextIndex(-1);
    EXPECT_EQ(label->GetText(), QString());
    EXPECT_FALSE(HasBrightPixel(label->grab().toImage(), 60)) << "text index -1 draws no text";

    label->AddImage(Solid(4, 4, Qt::blue));
    label->AddImage(Solid(4, 4, Qt::red));
    label->SetImageIndex(1);
    EXPECT_EQ(PixelOf(label, {30, 10}), QColor(Qt::red));
    label->SetImageIndex(2);
    EXPECT_EQ(PixelOf(label, {30, 10}), QColor(0x10, 0x10, 0x10)) << "index outside the list: no image";

    showParent();
    QTest::mouseDClick(label, Qt::LeftButton, {}, {5, 5});
    ASSERT_FALSE(parent->got.empty());
    EXPECT_EQ(parent->got.back(), Notification(1113, STATIC_DOUBLE_CLICK));
}

TEST_F(StaticTest, PreviewBrightnessClampsAndSolidTakesTheLevelsAlpha)
{
    CNexMouseStatic preview(parent, 1085);
    preview.SetColorA(0xFFFF0000);
    preview.SetColorB(0xFF0000FF);
    const struct { int level, stored, alpha; } cases[] = {{0, 1, 0}, {2, 2, 60}, {3, 3, 130}, {4, 4, 190}, {9, 5, 255}};
    for (const auto &c : cases) {
        preview.SetBrightness(c.level);
        EXPECT_EQ(preview.brightness(), c.stored);
        EXPECT_EQ(preview.colorA(), WithAlpha(0xFFFF0000, c.alpha));
        EXPECT_EQ(preview.colorB(), WithAlpha(0xFF0000FF, c.alpha));
    }
    EXPECT_FALSE(preview.effectTickRunning()) << "solid has no effect tick";
    preview.SetEffect(Effect::Blinking);
    EXPECT_TRUE(preview.effectTickRunning());
}

TEST(PreviewAnimation, EffectsFollowTheSharedCounter)
{
    EffectAnimation blink;
    std::vector<int> got;
    for (int i = 0; i < 4; ++i)
        got.push_back(blink.tick(Effect::Blinking, 255));
    EXPECT_EQ(got, (std::vector<int>{255, 0, 255, 0})) << "starts at 255, which is odd";

    EffectAnimation pulse;
    pulse.n = 0;
    int dark = 0;
    for (int i = 0; i < 15; ++i)
        dark += pulse.tick(Effect::Pulsating, 190) == 0;
    EXPECT_EQ(dark, 2) << "two dark ticks in every 15";

    EffectAnimation breathe;
    EXPECT_EQ(breathe.tick(Effect::Breathing, 10), 5);
    EXPECT_EQ(breathe.tick(Effect::Breathing, 10), 0);
    EXPECT_EQ(breathe.tick(Effect::Breathing, 10), 5);
    EXPECT_EQ(breathe.tick(Effect::Breathing, 10), 10);
    EXPECT_EQ(breathe.tick(Effect::Breathing, 10), 5);

    ColourCycle cycle;
    EXPECT_EQ(cycle.tick(), 0xF08705u) << "red falls by 15, green and blue rise by 10 and 5";
}

TEST_F(StaticTest, ColourCycleBringsTheSavedColoursBackAndHiddenPreviewsDoNotAnimate)
{
    CNexMouseStatic preview(parent, 1085);
    preview.SetColorA(0xFF112233);
    preview.SetColorB(0xFF445566);
    preview.SetColorCycle(true);
    EXPECT_TRUE(preview.cycleTickRunning());
    preview.CycleTick();
    EXPECT_EQ(preview.colorA(), 0xFFF08705u);
    EXPECT_EQ(preview.savedA(), 0xFF112233u);
    preview.SetColorCycle(false);
    EXPECT_EQ(preview.colorA(), 0xFF112233u);
    EXPECT_EQ(preview.colorB(), 0xFF445566u);

    preview.SetEffect(Effect::Blinking);
    preview.hide();
    preview.EffectTick();
    preview.EffectTick();
    EXPECT_EQ(preview.colorA() >> 24, 0xFFu) << "the effect tick waits while hidden";
}

TEST_F(StaticTest, PreviewDrawsLitZonesUnderThePicture)
{
    auto *preview = new CNexMouseStatic(parent, 1085);
    preview->setGeometry(0, 0, 270, 369);
    QImage picture(270, 369, QImage::Format_ARGB32);
    picture.fill(Qt::darkGray);
    for (int y = 93; y < 146; ++y)
        for (int x = 115; x < 145; ++x)
            picture.setPixelColor(x, y, Qt::transparent);
    preview->SetPicture(picture);
    preview->SetColorA(0xFF00FF00);
    EXPECT_EQ(PixelOf(preview, {130, 120}), QColor(Qt::green));
    preview->SetLitA(false);
    EXPECT_EQ(PixelOf(preview, {130, 120}), QColor(Qt::black));
    EXPECT_EQ(PixelOf(preview, {5, 5}), QColor(Qt::darkGray));
}

TEST_F(StaticTest, ColourSquarePickAtTheTopLeftGivesWhite)
{
    auto *square = new CPolColorStatic(parent, 1112);
    square->setGeometry(10, 10, 143, 140);
    square->SetBaseColor(0x0000FF);
    showParent();
    // A drag past the corner keeps the marker at (0, 0).
    QTest::mousePress(square, Qt::LeftButton, {}, {5, 5});
    QTest::mouseMove(square, {-3, -3});
    QTest::mouseRelease(square, Qt::LeftButton, {}, {-3, -3});
    EXPECT_EQ(square->marker(), QPoint(0, 0));
    EXPECT_EQ(square->GetColor(), 0xFFFFFFu);
    ASSERT_FALSE(parent->got.empty());
    EXPECT_EQ(parent->got.back(), Notification(1112, 0));
    QTest::mouseClick(square, Qt::LeftButton, {}, {142, 0});
    EXPECT_EQ(square->GetColor(), 0x0000FFu) << "the base colour's corner snaps to pure red";
    QTest::mouseClick(square, Qt::LeftButton, {}, {70, 139});
    EXPECT_EQ(square->GetColor(), 0u) << "the bottom is black";
}

} // namespace
