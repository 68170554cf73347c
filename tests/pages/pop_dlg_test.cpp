// The virtual mouse's headers come before Qt's (its firmware has a field named like Qt's macro).
#include "tests/support/in_process_mouse.h"

#include "app/skin_layout.h"
#include "device/program_device.h"
#include "pages/key_name.h"
#include "pages/pop_dlg.h"
#include "tests/support/fake_dialogs.h"
#include "tests/support/fake_key_hook.h"
#include "tests/support/modal_answer.h"
#include "tests/support/qt_app.h"
#include "tests/support/qt_try.h"
#include "ui/nex_button.h"
#include "ui/nex_static.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace vela;
using vela::test::ModalAnswer;

namespace {

constexpr int VK_RETURN = 0x0D;
constexpr int VK_LSHIFT = 0xA0;

class PopUp : public ::testing::Test {
protected:
    void SetUp() override { vela::test::EnsureApp(); }
    vela::test::FakeDialogs dialogs;
};

// Runs the pop-up modally and lets `act` end it.
int RunWith(CPopDlg &pop, const std::function<void(CPopDlg &)> &act)
{
    QTimer::singleShot(0, &pop, [&] { act(pop); });
    return pop.exec();
}

TEST_F(PopUp, EveryKindTakesItsSheetAndItsButtonRectangles)
{
    for (int kind : CPopDlg::kKinds) {
        CPopDlg pop(kind, nullptr);
        const skin::Window *layout = skin::popUpWindow(kind);
        ASSERT_NE(layout, nullptr);
        EXPECT_EQ(pop.size(), layout->size) << kind;
        EXPECT_FALSE(pop.background().isNull()) << kind;
        EXPECT_EQ(pop.okButton()->geometry(), skin::findControl(layout->id, IDC_POP_OK)->rect) << kind;
        EXPECT_EQ(pop.closeButton()->geometry(), skin::findControl(layout->id, IDC_POP_CLOSE)->rect) << kind;
        EXPECT_EQ(pop.cancelButton()->isHidden(), kind == POP_SQAT_DONE) << kind;
        EXPECT_EQ(pop.timeStatic()->isHidden(), kind != POP_SQAT_COUNTDOWN && kind != POP_ASSIGN_KEY) << kind;
        EXPECT_EQ(pop.imageStatic()->isHidden(), kind != POP_SQAT_COUNTDOWN) << kind;
    }
}

TEST_F(PopUp, WarningsEndWithOneOnOkAndTwoOnCancelCloseOrEscape)
{
    const struct {
        const char *what;
        std::function<void(CPopDlg &)> act;
        int result;
    } ends[] = {
        {"OK", [](CPopDlg &p) { QTest::mouseClick(p.okButton(), Qt::LeftButton); }, POP_RESULT_OK},
        {"Enter", [](CPopDlg &p) { QTest::keyClick(&p, Qt::Key_Return); }, POP_RESULT_OK},
        {"Cancel", [](CPopDlg &p) { QTest::mouseClick(p.cancelButton(), Qt::LeftButton); }, POP_RESULT_CANCEL},
        {"Close", [](CPopDlg &p) { QTest::mouseClick(p.closeButton(), Qt::LeftButton); }, POP_RESULT_CANCEL},
        {"Escape", [](CPopDlg &p) { QTest::keyClick(&p, Qt::Key_Escape); }, POP_RESULT_CANCEL},
        {"window close", [](CPopDlg &p) { p.close(); }, POP_RESULT_CANCEL},
    };
    for (int kind : {POP_LEFT_CLICK_WARN, POP_DELETE_MACRO, POP_RESET_WARN, POP_UPDATE_WARN}) {
        for (const auto &end : ends) {
            CPopDlg pop(kind, nullptr);
            EXPECT_EQ(RunWith(pop, end.act), end.result) << kind << " " << end.what;
        }
    }
    CPopDlg done(POP_SQAT_DONE, nullptr);
    EXPECT_EQ(RunWith(done, ends[0].act), POP_RESULT_OK);
}

TEST_F(PopUp, CountdownShowsNineToZeroWithItsFramesAndEnablesOkAtTheEnd)
{
    CPopDlg pop(POP_SQAT_COUNTDOWN, nullptr);
    EXPECT_EQ(pop.timeStatic()->GetText(), "10");
    EXPECT_TRUE(pop.countdownTimer().isActive());
    EXPECT_EQ(pop.countdownTimer().interval(), 1000);
    EXPECT_FALSE(pop.okButton()->isEnabled());
    EXPECT_EQ(pop.imageStatic()->geometry(), QRect(13, 50, 200, 110));
    pop.countdownTimer().stop();
    const int frames[] = {1, 2, 0, 1, 2, 0, 1, 2, 0, 1};
    for (int step = 0; step < 10; ++step) {
        pop.CountdownTick();
        EXPECT_EQ(pop.timeStatic()->GetText(), QString::number(9 - step));
        EXPECT_EQ(pop.frame(), frames[step]) << step;
        EXPECT_FALSE(pop.okButton()->isEnabled()) << step;
    }
    pop.countdownTimer().start();
    pop.CountdownTick(); // finds 0
    EXPECT_TRUE(pop.okButton()->isEnabled());
    EXPECT_FALSE(pop.countdownTimer().isActive());
}

TEST_F(PopUp, HalfASecondAfterZeroTheResultWindowOpensAndEndsTheChain)
{
    CPopDlg countdown(POP_SQAT_COUNTDOWN, nullptr);
    ModalAnswer<CPopDlg> done([](CPopDlg *p) { QTest::mouseClick(p->okButton(), Qt::LeftButton); },
                              [](CPopDlg *p) { return p->kind() == POP_SQAT_DONE; });
    QElapsedTimer clock;
    const int result = RunWith(countdown, [&](CPopDlg &p) {
        p.countdownTimer().stop();
        p.timeStatic()->SetText("1");
        clock.start();
        p.CountdownTick();
    });
    EXPECT_TRUE(done.acted());
    EXPECT_GE(clock.elapsed(), 450);
    EXPECT_EQ(result, POP_RESULT_OK);
}

TEST_F(PopUp, EnterDuringTheCountdownNeitherEndsItNorOpensTheResult)
{
    CPopDlg countdown(POP_SQAT_COUNTDOWN, nullptr);
    ModalAnswer<CPopDlg> early([](CPopDlg *p) { p->OnCancelButton(); },
                               [](CPopDlg *p) { return p->kind() == POP_SQAT_DONE; });
    bool stillOpen = false;
    const int result = RunWith(countdown, [&](CPopDlg &p) {
        QTest::keyClick(&p, Qt::Key_Return);
        QCoreApplication::processEvents();
        stillOpen = p.isVisible();
        p.OnCancelButton();
    });
    EXPECT_FALSE(early.acted()) << "the result window opened before the countdown ended";
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(result, POP_RESULT_CANCEL);
}

TEST_F(PopUp, AnalysisPromptWithNoMouseSaysSoEachTimeAndStaysOpen)
{
    vela::test::InProcessMouse mouse;
    mouse.mouse.unplug();
    vela::program::ProgramDevice device(*mouse.backend, mouse.clock);
    CPopDlg prompt(POP_SQAT_PROMPT, nullptr);
    prompt.SetDevice(&device);
    ModalAnswer<CPopDlg> never([](CPopDlg *) {}, [](CPopDlg *p) { return p->kind() == POP_SQAT_COUNTDOWN; });
    const int result = RunWith(prompt, [&](CPopDlg &p) {
        QTest::mouseClick(p.okButton(), Qt::LeftButton);
        QTest::mouseClick(p.okButton(), Qt::LeftButton);
        EXPECT_TRUE(p.isVisible());
        QTest::mouseClick(p.cancelButton(), Qt::LeftButton);
    });
    EXPECT_EQ(result, POP_RESULT_CANCEL);
    EXPECT_EQ(dialogs.messages(),
              QStringList({"KESTRA|Vela Pro mouse not found !", "KESTRA|Vela Pro mouse not found !"}));
    EXPECT_FALSE(never.acted());
}

TEST_F(PopUp, AnalysisPromptOpensTheMouseAfreshStartsAndClosingTheCountdownEndsWithTwo)
{
    vela::test::InProcessMouse mouse;
    vela::program::ProgramDevice device(*mouse.backend, mouse.clock);
    CPopDlg prompt(POP_SQAT_PROMPT, nullptr);
    prompt.SetDevice(&device);
    int countdownOk = -1;
    ModalAnswer<CPopDlg> close([&](CPopDlg *p) {
        countdownOk = p->okButton()->isEnabled();
        QTest::mouseClick(p->closeButton(), Qt::LeftButton);
    }, [](CPopDlg *p) { return p->kind() == POP_SQAT_COUNTDOWN; });
    const int result = RunWith(prompt, [](CPopDlg &p) { QTest::mouseClick(p.okButton(), Qt::LeftButton); });
    EXPECT_EQ(result, POP_RESULT_CANCEL);
    EXPECT_TRUE(close.acted());
    EXPECT_EQ(countdownOk, 0);
    EXPECT_TRUE(dialogs.messages().isEmpty());
    bool started = false;
    for (const std::string &line : mouse.exchanges())
        started |= line.rfind("set a1 05 01", 0) == 0;
    EXPECT_TRUE(started);
}

struct RecordingTarget final : KeyAssignTarget {
    int accepts = 0;
    QString caption = "Left Button";
    int function = 0, parameter = 0;
    void ClearAccept() override { ++accepts; }
    void AssignKey(const QString &c, int f, int p) override
    {
        caption = c;
        function = f;
        parameter = p;
    }
};

TEST_F(PopUp, KeyCaptureKeepsTheLastKeyAndGivesItToTheButton)
{
    vela::test::FakeKeyHook hook;
    RecordingTarget target;
    {
        CPopDlg pop(POP_ASSIGN_KEY, nullptr);
        pop.SetTarget(&target);
        ASSERT_EQ(hook.target(), &pop);
        const int result = RunWith(pop, [&](CPopDlg &p) {
            EXPECT_FALSE(p.okButton()->isEnabled()) << "nothing to confirm before a key";
            QTest::mouseClick(p.okButton(), Qt::LeftButton);
            EXPECT_TRUE(p.isVisible());
            // Left Shift, then A, releasing Shift last.
            hook.send(VK_LSHIFT, kKeyPressed);
            hook.send('A', kKeyPressed);
            hook.send('A', kKeyReleased);
            hook.send(VK_LSHIFT, kKeyReleased);
            QTest::qWait(20);
            EXPECT_EQ(p.timeStatic()->GetText(), "Left SHIFT");
            EXPECT_EQ(p.capturedKey(), VK_LSHIFT);
            // Typed Enter and Escape reach the hook only.
            QTest::keyClick(&p, Qt::Key_Return);
            QTest::keyClick(p.okButton(), Qt::Key_Escape);
            QTest::keyClick(p.cancelButton(), Qt::Key_Space);
            EXPECT_TRUE(p.isVisible());
            hook.send(VK_RETURN, kKeyPressed);
            QTest::qWait(20);
            EXPECT_EQ(p.timeStatic()->GetText(), KeyName(VK_RETURN));
            QTest::mouseClick(p.okButton(), Qt::LeftButton);
        });
        EXPECT_EQ(result, POP_RESULT_OK);
        EXPECT_EQ(hook.target(), nullptr) << "the hook goes when the pop-up ends";
    }
    EXPECT_EQ(target.accepts, 1);
    EXPECT_EQ(target.caption, "ENTER");
    EXPECT_EQ(target.function, 13);
    EXPECT_EQ(target.parameter, VK_RETURN);
}

TEST_F(PopUp, KeyCaptureCancelAndCloseKeepTheButtonsAssignment)
{
    vela::test::FakeKeyHook hook;
    for (bool useClose : {false, true}) {
        RecordingTarget target;
        CPopDlg pop(POP_ASSIGN_KEY, nullptr);
        pop.SetTarget(&target);
        const int result = RunWith(pop, [&](CPopDlg &p) {
            hook.send('B', kKeyPressed);
            QTest::qWait(10);
            QTest::mouseClick(useClose ? p.closeButton() : p.cancelButton(), Qt::LeftButton);
        });
        EXPECT_EQ(result, POP_RESULT_CANCEL);
        EXPECT_EQ(target.accepts, 1);
        EXPECT_EQ(target.caption, "Left Button");
        EXPECT_EQ(target.function, 0);
    }
}

TEST_F(PopUp, KeyCaptureWithoutAHookSaysSoAndStillCancels)
{
    vela::test::FakeKeyHook hook;
    hook.refuse = true;
    CPopDlg pop(POP_ASSIGN_KEY, nullptr);
    EXPECT_EQ(dialogs.messages(), QStringList{"KESTRA|set hook failed."});
    EXPECT_EQ(RunWith(pop, [](CPopDlg &p) { QTest::mouseClick(p.cancelButton(), Qt::LeftButton); }),
              POP_RESULT_CANCEL);
}

} // namespace
