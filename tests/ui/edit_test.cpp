// The two edit boxes: the hexadecimal filter, wheel stepping and the
// text-change report, with real key and wheel input.
#include "tests/ui/ui_fixture.h"
#include "ui/nex_edit.h"

#include <QWheelEvent>

using namespace vela::ui;
using namespace vela::test;

namespace {

class EditTest : public UiTest {};

void Wheel(QWidget *w, int delta)
{
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent e(at, w->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

TEST_F(EditTest, HexFilterTakesDigitsAndLettersUpToFButDropsTheRest)
{
    auto *edit = new CNexEdit(parent, 1087);
    edit->setGeometry(10, 10, 60, 16);
    edit->SetHexFilter(true);
    showParent();
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("fG0aZg9z"));
    EXPECT_EQ(edit->text(), QStringLiteral("f0a9"));

    auto *plain = new CNexEdit(parent, 1082);
    QTest::keyClicks(plain, QStringLiteral("G"));
    EXPECT_EQ(plain->text(), QStringLiteral("G")) << "without the filter everything passes";

    auto *digits = new CNexEdit(parent, 1083);
    digits->SetDigitsOnly(true);
    QTest::keyClicks(digits, QStringLiteral("1a2-3 "));
    EXPECT_EQ(digits->text(), QStringLiteral("123"));
    QTest::keyClick(digits, Qt::Key_Backspace);
    EXPECT_EQ(digits->text(), QStringLiteral("12")) << "editing keys still work";
}

TEST_F(EditTest, EveryTextChangeIsReported)
{
    auto *edit = new CNexEdit(parent, 1082);
    showParent();
    QTest::keyClicks(edit, QStringLiteral("12"));
    edit->setText(QStringLiteral("255"));
    const std::vector<Notification> want(3, {1082, EDIT_TEXT_CHANGED});
    EXPECT_EQ(parent->got, want);
}

TEST_F(EditTest, WheelStepsWithinTheRangeOnceEnabled)
{
    auto *edit = new CPOLEdit(parent, 1017);
    edit->setGeometry(10, 10, 40, 18);
    edit->setText(QStringLiteral("150"));
    showParent();
    Wheel(edit, 120);
    EXPECT_EQ(edit->text(), QStringLiteral("150")) << "the wheel does nothing until enabled";

    edit->SetWheel(50, 20, 180);
    Wheel(edit, 120);
    EXPECT_EQ(edit->text(), QStringLiteral("180")) << "150 + 50 stops at the maximum";
    EXPECT_TRUE(edit->hasFocus());
    Wheel(edit, -120);
    Wheel(edit, -120);
    Wheel(edit, -120);
    Wheel(edit, -120);
    EXPECT_EQ(edit->text(), QStringLiteral("20"));
    ASSERT_FALSE(parent->got.empty());
    EXPECT_EQ(parent->got.back(), Notification(1017, EDIT_TEXT_CHANGED));
}

TEST(WheelStepText, ReadsLeadingDigitsAndNeverOverflows)
{
    EXPECT_EQ(WheelStepText(QStringLiteral("150"), true, 50, 0, 180), QStringLiteral("180"));
    EXPECT_EQ(WheelStepText(QStringLiteral("12abc"), true, 1, 0, 100), QStringLiteral("13"));
    EXPECT_EQ(WheelStepText(QStringLiteral("junk"), false, 5, -10, 100), QStringLiteral("-5"));
    EXPECT_EQ(WheelStepText(QStringLiteral("2147483647"), true, 10, 0, 2147483647), QStringLiteral("2147483647"));
    EXPECT_EQ(WheelStepText(QStringLiteral("99999999999999"), false, 1, 0, 100), QStringLiteral("2147483647"));
}

} // namespace
