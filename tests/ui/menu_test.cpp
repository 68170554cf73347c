// The skinned pop-up menu and the combo button, driven with real clicks: the
// choice reports, the outside-click rule through the mouse hook, the 200 ms
// reopen rule, the update-text flag and caption shortening.
#include "tests/support/fake_clock.h"
#include "tests/ui/ui_fixture.h"
#include "ui/nex_menu.h"

#include <QScreen>

using namespace vela::ui;
using namespace vela::test;

namespace {

QPoint CentreOf(const CNexMenu *menu, int itemIndex)
{
    return menu->items().at(itemIndex).rect.center();
}

int Count(const std::vector<Notification> &got, Notification n)
{
    return static_cast<int>(std::count(got.begin(), got.end(), n));
}

class MenuTest : public UiTest {
protected:
    // A menu owned by the recording parent, with item 7 opening a submenu.
    CNexMenu *MakeMenu()
    {
        auto *menu = new CNexMenu(parent, 555, QRect(0, 0, 120, 10), 120);
        menu->AddItem(1, QStringLiteral("Left Click"));
        menu->AddItem(7, QStringLiteral("Scroll"));
        menu->AddSubItem(7, 71, QStringLiteral("Up"));
        menu->AddSubItem(7, 72, QStringLiteral("Down"));
        return menu;
    }
    void openWithSubmenu(CNexMenu *menu)
    {
        const QPoint at = parent->mapToGlobal(QPoint(10, 10));
        menu->ShowMenu(AnchorTopLeft, at.x(), at.y());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        QTest::mouseMove(menu, CentreOf(menu, 1));
        VELA_TRY_VERIFY(menu->GetSubMenu(7)->isVisible());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu->GetSubMenu(7)));
    }
};

TEST_F(MenuTest, DuplicateIdsChangeNothingAndAnEmptyMenuIsNeverShown)
{
    CNexMenu menu(parent, 1, QRect(0, 0, 80, 10), 80);
    menu.ShowMenu(AnchorTopLeft, 0, 0);
    EXPECT_FALSE(menu.isVisible());
    EXPECT_FALSE(vela::MouseHookInstalled());

    menu.AddItem(3, QStringLiteral("Copy"));
    menu.AddItem(3, QStringLiteral("Paste"));
    ASSERT_EQ(menu.items().size(), 1u);
    EXPECT_EQ(menu.items()[0].text, QStringLiteral("Copy"));
    menu.AddSubItem(3, 30, QStringLiteral("Keys"));
    menu.AddSubItem(3, 30, QStringLiteral("Again"));
    EXPECT_EQ(menu.GetSubMenu(3)->items().size(), 1u);
    EXPECT_EQ(menu.FindItem(30)->text, QStringLiteral("Keys")) << "found in the submenu";
    EXPECT_EQ(menu.FindItem(99), nullptr);
    EXPECT_GT(menu.WidestText(3), 0);
}

TEST_F(MenuTest, LayoutAndAnchoringPlaceTheMenu)
{
    CNexMenu *menu = MakeMenu();
    menu->ShowMenu(AnchorBottomRight, 500, 400);
    const int h = menu->items()[0].rect.height();
    EXPECT_EQ(menu->height(), 2 * h + 8);
    EXPECT_EQ(menu->geometry().bottomRight(), QPoint(499, 399));
    EXPECT_EQ(menu->items()[1].rect, QRect(1, 4 + h, 120 - 15 - 1, h));
    EXPECT_TRUE(vela::MouseHookInstalled());
    menu->HideMenu();
    EXPECT_FALSE(vela::MouseHookInstalled());
}

TEST_F(MenuTest, SubmenuChoiceIsReportedWithTheParentItemsId)
{
    showParent();
    CNexMenu *menu = MakeMenu();
    openWithSubmenu(menu);
    CNexMenu *sub = menu->GetSubMenu(7);
    EXPECT_EQ(vela::MouseHookTarget(), sub);
    QTest::mouseClick(sub, Qt::LeftButton, {}, CentreOf(sub, 1));
    EXPECT_FALSE(sub->isVisible());
    EXPECT_FALSE(menu->isVisible()) << "a choice closes the whole chain";
    EXPECT_FALSE(vela::MouseHookInstalled());
    ASSERT_FALSE(parent->got.empty());
    EXPECT_EQ(parent->got.back(), Notification(7, 72));
    EXPECT_EQ(Count(parent->got, {CMD_POPUP_TOPMOST, 1}), Count(parent->got, {CMD_POPUP_TOPMOST, 0}));
    EXPECT_GE(Count(parent->got, {CMD_POPUP_TOPMOST, 1}), 2);
}

TEST_F(MenuTest, ClickOnTheBorderClosesWithoutAChoice)
{
    showParent();
    CNexMenu *menu = MakeMenu();
    menu->ShowMenu(AnchorTopLeft, 0, 0);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QTest::mouseClick(menu, Qt::LeftButton, {}, QPoint(60, 1));
    EXPECT_FALSE(menu->isVisible());
    const std::vector<Notification> want{{CMD_POPUP_TOPMOST, 1}, {CMD_POPUP_TOPMOST, 0}};
    EXPECT_EQ(parent->got, want);
}

TEST_F(MenuTest, RightClickOutsideKeepsItOpenLeftClickClosesTheChain)
{
    showParent();
    CNexMenu *menu = MakeMenu();
    openWithSubmenu(menu);
    QTest::mouseClick(parent, Qt::RightButton, {}, parkingSpot());
    QApplication::processEvents();
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(menu->GetSubMenu(7)->isVisible());

    QTest::mouseClick(parent, Qt::LeftButton, {}, parkingSpot());
    VELA_TRY_VERIFY(!menu->isVisible());
    EXPECT_FALSE(menu->GetSubMenu(7)->isVisible());
    EXPECT_FALSE(vela::MouseHookInstalled());
    for (const Notification &n : parent->got)
        EXPECT_EQ(n.first, CMD_POPUP_TOPMOST) << "closing reports no choice";
}

TEST_F(MenuTest, StaysOnTheScreenAndPassesSystemCommandsToItsOwner)
{
    CNexMenu *menu = MakeMenu();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    menu->ShowMenu(AnchorTopLeft, area.right() - 10, area.bottom() - 10);
    EXPECT_TRUE(area.contains(menu->geometry())) << "moved back inside the screen";

    SendSysCommand(menu, 802, 0);
    EXPECT_FALSE(menu->isVisible());
    ASSERT_FALSE(parent->got.empty());
    EXPECT_EQ(parent->got.front(), Notification(802, 0));
}

TEST_F(MenuTest, LosingActivationClosesAnOpenMenu)
{
    showParent();
    CNexMenu *menu = MakeMenu();
    menu->ShowMenu(AnchorTopLeft, 0, 0);
    emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(menu->isVisible());
}

class ComboTest : public MenuTest {
protected:
    CNexComboButton *MakeCombo()
    {
        auto *combo = new CNexComboButton(parent, 1040);
        combo->setGeometry(10, 10, 120, 22);
        combo->SetClock(&clock);
        combo->SetImages(Solid(8, 8, Qt::black), Solid(8, 8, Qt::darkGray), Solid(8, 8, Qt::green));
        combo->AddItem(1, QStringLiteral("One"));
        combo->AddItem(2, QStringLiteral("Two"));
        combo->show();
        return combo;
    }
    void click(QWidget *w, QPoint at = {})
    {
        QTest::mouseClick(w, Qt::LeftButton, {}, at);
        QApplication::processEvents();
    }
    FakeClock clock;
};

TEST_F(ComboTest, ClickWhileOpenClosesWithoutReopeningAndALaterClickOpens)
{
    showParent();
    CNexComboButton *combo = MakeCombo();
    click(combo);
    ASSERT_TRUE(combo->menu()->isVisible());
    EXPECT_EQ(combo->menu()->geometry().topLeft(), combo->mapToGlobal(QPoint(0, combo->height())));

    clock.advance(150);
    click(combo);
    VELA_TRY_VERIFY(!combo->menu()->isVisible());
    QTest::qWait(20);
    EXPECT_FALSE(combo->menu()->isVisible()) << "the closing click does not reopen it";

    clock.advance(300);
    click(combo);
    EXPECT_TRUE(combo->menu()->isVisible());
    combo->menu()->HideMenu();
}

TEST_F(ComboTest, ChoiceIsReportedAndUpdateTextLetsOneChoicePass)
{
    showParent();
    CNexComboButton *combo = MakeCombo();
    combo->SetSelection(QStringLiteral("One"), 1, -1);
    combo->SetUpdateText(false);

    click(combo);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(combo->menu()));
    click(combo->menu(), CentreOf(combo->menu(), 1));
    ASSERT_FALSE(parent->got.empty());
    EXPECT_EQ(parent->got.back(), Notification(1040, 2));
    EXPECT_EQ(combo->text(), QStringLiteral("One")) << "the flag lets this choice pass";
    EXPECT_TRUE(combo->updateText());
    EXPECT_EQ(Count(parent->got, {CMD_POPUP_TOPMOST, 1}), 1) << "the combo passes CMD_POPUP_TOPMOST up";

    clock.advance(500);
    click(combo);
    ASSERT_TRUE(combo->menu()->isVisible());
    click(combo->menu(), CentreOf(combo->menu(), 1));
    EXPECT_EQ(combo->text(), QStringLiteral("Two"));
    EXPECT_EQ(combo->selectedId(), 2);
    EXPECT_EQ(combo->TextOfItem(1), QStringLiteral("One"));
    EXPECT_EQ(combo->TextOfItem(9), QString());
}

TEST_F(ComboTest, LongCaptionLosesAtMostTenCharactersPerPaint)
{
    CNexComboButton *combo = MakeCombo();
    const QString caption = QStringLiteral("An extremely long caption that cannot fit");
    combo->SetSelection(caption, 1, -1);
    (void)combo->grab();
    EXPECT_EQ(combo->text(), caption.left(caption.size() - 10)) << "one paint drops ten characters";
    (void)combo->grab();
    EXPECT_EQ(combo->text().size(), caption.size() - 20);
    for (int i = 0; i < 5; ++i)
        (void)combo->grab();
    const QString settled = combo->text();
    EXPECT_LE(QFontMetrics(KitFont(FONT_BUTTON)).horizontalAdvance(settled), 120 - 9 - 38);
    (void)combo->grab();
    EXPECT_EQ(combo->text(), settled) << "a caption that fits stays";
}

TEST(MenuWithoutOwner, ShortenCaptionCountsDrops)
{
    auto len = [](const QString &t) { return int(t.size()); };
    EXPECT_EQ(ShortenCaption(QStringLiteral("abcdefghijklmnop"), 3, 10, len), QStringLiteral("abcdef"));
    EXPECT_EQ(ShortenCaption(QStringLiteral("abc"), 3, 10, len), QStringLiteral("abc"));
}

} // namespace
