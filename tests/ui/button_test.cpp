// The button family and the dialog base: image choice, captions, hover
// tracking and the check box's toggle, driven with real pointer input.
#include "tests/ui/ui_fixture.h"
#include "ui/nex_button.h"
#include "ui/nex_image_dialog.h"

#include <QPainter>
#include <QSignalSpy>

using namespace vela::ui;
using namespace vela::test;

namespace {

const QColor kNormal(20, 20, 20), kHover(40, 40, 40), kPressed(50, 235, 165), kDisabled(90, 90, 90);

template <typename Button>
Button *MakeButton(QWidget *parent, int id, QRect at, bool withDisabled = true)
{
    auto *b = new Button(parent, id);
    b->setGeometry(at);
    b->SetImages(Solid(8, 8, kNormal), Solid(8, 8, kHover), Solid(8, 8, kPressed),
                 withDisabled ? Solid(8, 8, kDisabled) : QImage());
    return b;
}

class ButtonTest : public UiTest {};

TEST_F(ButtonTest, ImageChoiceFollowsSelectionHoverAndDisabling)
{
    auto *b = MakeButton<CNexButton>(parent, 1000, {10, 10, 80, 24});
    showParent();
    const QPoint mid(40, 12);
    EXPECT_EQ(PixelOf(b, mid), kNormal);

    QTest::mouseMove(b, mid);
    VELA_TRY_COMPARE(b->look(), int(LookHover));
    EXPECT_EQ(PixelOf(b, mid), kHover);

    b->SetSelected(true);
    EXPECT_EQ(PixelOf(b, mid), kPressed) << "selected shows the pressed image even while hovered";

    b->setEnabled(false);
    EXPECT_EQ(PixelOf(b, mid), kDisabled) << "disabled wins over selected";

    auto *bare = MakeButton<CNexButton>(parent, 1001, {10, 50, 80, 24}, false);
    bare->setAutoFillBackground(false);
    bare->setEnabled(false);
    QImage before(bare->size(), QImage::Format_ARGB32);
    before.fill(Qt::transparent);
    QPainter painter(&before);
    bare->render(&painter, {}, {}, QWidget::RenderFlags());
    painter.end();
    EXPECT_EQ(before.pixelColor(mid).alpha(), 0) << "no disabled image: nothing drawn while disabled";
}

TEST_F(ButtonTest, EmptyCaptionDrawsNoTextAndCaptionColoursFollowTheState)
{
    auto *b = MakeButton<CNexButton>(parent, 1000, {0, 0, 120, 24});
    showParent();
    const QImage plain = b->grab().toImage();
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            ASSERT_EQ(plain.pixelColor(x, y), kNormal) << "an empty caption draws nothing at " << x << "," << y;

    auto brightest = [](const QImage &img) {
        int best = 0;
        QColor found;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (const QColor c = img.pixelColor(x, y); c.red() + c.green() + c.blue() > best) {
                    best = c.red() + c.green() + c.blue();
                    found = c;
                }
        return found;
    };
    b->SetCaption(QStringLiteral("Mouse Settings"));
    EXPECT_EQ(brightest(b->grab().toImage()), QColor(0xD2, 0xD2, 0xD2));
    b->SetSelected(true);
    b->setEnabled(false);
    EXPECT_EQ(brightest(b->grab().toImage()), QColor(0x78, 0x78, 0x78)) << "selected and disabled: grey text";
}

TEST_F(ButtonTest, HoverTrackingMovesFromOneButtonToTheNext)
{
    auto *a = MakeButton<CNexButton>(parent, 1000, {10, 10, 50, 20});
    auto *b = MakeButton<CNexButton>(parent, 1001, {60, 10, 50, 20});
    showParent();
    QTest::mouseMove(a, {25, 10});
    VELA_TRY_COMPARE(a->look(), int(LookHover));
    QTest::mouseMove(b, {25, 10});
    VELA_TRY_COMPARE(b->look(), int(LookHover));
    EXPECT_EQ(a->look(), int(LookNormal));
    EXPECT_FALSE(a->isTracking());
    const std::vector<Notification> want{{1000, 0}, {1001, 0}};
    EXPECT_EQ(parent->got, want) << "each button reports (id, 0) when the pointer enters";
}

TEST_F(ButtonTest, PressShowsThePressedLookAndReleaseClicks)
{
    auto *b = MakeButton<CNexButton>(parent, 1000, {10, 10, 50, 20});
    QSignalSpy clicks(b, &QAbstractButton::clicked);
    showParent();
    QTest::mousePress(b, Qt::LeftButton, {}, {20, 10});
    EXPECT_EQ(b->look(), int(LookPressed));
    EXPECT_EQ(PixelOf(b, {20, 10}), kPressed);
    QTest::mouseRelease(b, Qt::LeftButton, {}, {20, 10});
    EXPECT_EQ(b->look(), int(LookNormal));
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(ButtonTest, CheckBoxClickedTwiceEndsUncheckedAndTheParentSeesEachState)
{
    auto *box = MakeButton<CNexCheckBox>(parent, 1028, {10, 10, 20, 20});
    std::vector<bool> seen;
    QObject::connect(box, &QAbstractButton::clicked, [&] { seen.push_back(box->GetCheck()); });
    showParent();
    QTest::mouseClick(box, Qt::LeftButton, {}, {10, 10});
    EXPECT_TRUE(box->GetCheck());
    EXPECT_EQ(PixelOf(box, {10, 10}), kPressed) << "checked shows the pressed image";
    QTest::mouseClick(box, Qt::LeftButton, {}, {10, 10});
    EXPECT_FALSE(box->GetCheck());
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));
}

TEST_F(ButtonTest, ColourButtonPassesItsPopupsValueOn)
{
    auto *b = MakeButton<CNexCbnColorButton>(parent, 1035, {10, 10, 20, 20});
    QWidget popup(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    b->SetPopup(&popup);
    showParent();
    QTest::mouseClick(b, Qt::LeftButton, {}, {10, 10});
    EXPECT_TRUE(popup.isVisible());
    EXPECT_EQ(popup.size(), QSize(8, 8)) << "sized to the disabled image";
    QTest::mouseClick(b, Qt::LeftButton, {}, {10, 10});
    EXPECT_FALSE(popup.isVisible());
    SendSysCommand(b, 7, 0x123456);
    EXPECT_EQ(b->GetValue(), 0x123456);
    ASSERT_FALSE(parent->got.empty());
    EXPECT_EQ(parent->got.back(), Notification(1035, 0x123456));
}

TEST_F(ButtonTest, DialogTakesTheBackgroundsSizeAndPassesTopmostUp)
{
    RecordingParent *top = parent;
    auto *page = new CNexImageDialog(top);
    page->resize(100, 100);
    QImage shared = Solid(640, 400, kNormal);
    page->SetBackground(shared);
    EXPECT_EQ(page->size(), QSize(640, 400));
    shared.fill(Qt::red);
    EXPECT_EQ(page->background().pixelColor(5, 5), kNormal) << "the dialog keeps its own copy";

    SendSysCommand(page, CMD_POPUP_TOPMOST, 1);
    SendSysCommand(page, 1234, 5);
    const std::vector<Notification> want{{CMD_POPUP_TOPMOST, 1}};
    EXPECT_EQ(top->got, want) << "only CMD_POPUP_TOPMOST travels up the parent chain";
}

} // namespace
