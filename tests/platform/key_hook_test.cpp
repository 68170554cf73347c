#include "platform/key_hook.h"

#include "tests/support/fake_key_hook.h"
#include "tests/support/qt_app.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <thread>
#include <utility>
#include <vector>

namespace {

using Report = std::pair<int, int>;  // (virtual-key code, flag)
constexpr int P = vela::kKeyPressed;
constexpr int R = vela::kKeyReleased;

class Sink : public QObject, public vela::KeyHookSink {
public:
    std::vector<Report> reports;
    void onKeyHookEvent(int vk, int flag) override { reports.emplace_back(vk, flag); }
};

TEST(VirtualKey, QtKeysMapToWindowsCodes)
{
    const Qt::KeyboardModifiers none = Qt::NoModifier, keypad = Qt::KeypadModifier,
                                shift = Qt::ShiftModifier;
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        int vk;
    } cases[] = {
        {Qt::Key_A, none, 'A'}, {Qt::Key_Z, shift, 'Z'}, {Qt::Key_0, none, '0'},
        {Qt::Key_9, none, '9'}, {Qt::Key_0, keypad, 0x60}, {Qt::Key_7, keypad, 0x67},
        {Qt::Key_F1, none, 0x70}, {Qt::Key_F12, none, 0x7B}, {Qt::Key_F24, none, 0x87},
        {Qt::Key_Return, none, 13}, {Qt::Key_Enter, keypad, 13}, {Qt::Key_Escape, none, 27},
        {Qt::Key_Space, none, 32}, {Qt::Key_Backspace, none, 8}, {Qt::Key_Tab, none, 9},
        {Qt::Key_Backtab, shift, 9}, {Qt::Key_Up, none, 38}, {Qt::Key_Home, keypad, 36},
        {Qt::Key_Delete, none, 46}, {Qt::Key_Print, none, 44}, {Qt::Key_CapsLock, none, 20},
        {Qt::Key_Menu, none, 93}, {Qt::Key_NumLock, none, 144},
        {Qt::Key_Back, none, 166}, {Qt::Key_Forward, none, 167}, {Qt::Key_VolumeUp, none, 175},
        // Signs: the main keyboard's (shifted or not) and the keypad's differ.
        {Qt::Key_Plus, none, 187}, {Qt::Key_Equal, none, 187}, {Qt::Key_Plus, keypad, 107},
        {Qt::Key_Minus, none, 189}, {Qt::Key_Minus, keypad, 109}, {Qt::Key_Asterisk, keypad, 106},
        {Qt::Key_Asterisk, shift, '8'}, {Qt::Key_Slash, keypad, 111}, {Qt::Key_Question, shift, 191},
        {Qt::Key_Period, keypad, 110}, {Qt::Key_Greater, shift, 190}, {Qt::Key_Exclam, shift, '1'},
        {Qt::Key_ParenRight, shift, '0'}, {Qt::Key_BraceLeft, shift, 219}, {Qt::Key_Bar, shift, 220},
        {Qt::Key_QuoteDbl, shift, 222}, {Qt::Key_AsciiTilde, shift, 192}, {Qt::Key_Colon, shift, 186},
        // Modifiers without side information are the left ones.
        {Qt::Key_Shift, none, 160}, {Qt::Key_Control, none, 162}, {Qt::Key_Alt, none, 164},
        {Qt::Key_Meta, none, 91}, {Qt::Key_AltGr, none, 165},
        {Qt::Key_unknown, none, 0}, {0, none, 0}, {Qt::Key_Adiaeresis, none, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(vela::VirtualKeyFromQtKey(c.key, c.mods), c.vk) << std::hex << c.key;
}

TEST(VirtualKey, NativeKeysymOrScanCodeTellsTheSides)
{
    struct Case {
        int key;
        uint32_t keysym, scanCode;
        int vk;
    } cases[] = {
        {Qt::Key_Shift, 0xffe1, 50, 160},  {Qt::Key_Shift, 0xffe2, 62, 161},
        {Qt::Key_Shift, 0, 62, 161},       {Qt::Key_Shift, 0, 50, 160},
        {Qt::Key_Shift, 0, 0, 160},        {Qt::Key_Control, 0xffe4, 105, 163},
        {Qt::Key_Control, 0xffe3, 0, 162}, {Qt::Key_Alt, 0xffea, 108, 165},
        {Qt::Key_Alt, 0, 64, 164},         {Qt::Key_AltGr, 0xfe03, 108, 165},
        {Qt::Key_Meta, 0xffec, 134, 92},   {Qt::Key_Super_L, 0xffeb, 133, 91},
        {Qt::Key_Super_R, 0xffec, 134, 92}, {Qt::Key_Meta, 0, 133, 91},
        // The keysym wins over a scan code that disagrees; other keys ignore both.
        {Qt::Key_Shift, 0xffe1, 62, 160},  {Qt::Key_A, 0xffe2, 62, 'A'},
    };
    for (const Case &c : cases)
        EXPECT_EQ(vela::VirtualKeyForKey(c.key, Qt::NoModifier, c.keysym, c.scanCode), c.vk)
            << std::hex << c.key << " " << c.keysym << " " << std::dec << c.scanCode;
}

struct AppFirst {
    AppFirst() { vela::test::EnsureApp(); }
};

class KeyHook : public ::testing::Test, private AppFirst {
protected:
    KeyHook()
    {
        // A window whose focus widget passes keys on to its parents.
        auto *layout = new QVBoxLayout(&window);
        inner = new QWidget;
        auto *middle = new QWidget;
        (new QVBoxLayout(middle))->addWidget(inner);
        layout->addWidget(middle);
        edit = new QLineEdit;
        layout->addWidget(edit);
        inner->setFocusPolicy(Qt::StrongFocus);
        window.show();
        window.activateWindow();
        inner->setFocus();
    }
    ~KeyHook() override { vela::RemoveKeyHook(); }

    QWidget window;
    QWidget *inner = nullptr;
    QLineEdit *edit = nullptr;
    Sink sink;
};

TEST_F(KeyHook, ShiftThenAEachReportedOnceAfterDelivery)
{
    ASSERT_TRUE(vela::InstallKeyHook(&sink));
    EXPECT_EQ(vela::KeyHookTarget(), &sink);
    // With a modifier, QTest presses Shift first and releases it last.
    QTest::keyPress(inner, Qt::Key_A, Qt::ShiftModifier);
    // Posted, so nothing arrives while the key event is still being delivered.
    EXPECT_TRUE(sink.reports.empty());
    QTest::keyRelease(inner, Qt::Key_A, Qt::ShiftModifier);
    std::vector<Report> expected = {{160, P}, {'A', P}, {'A', R}, {160, R}};
    ASSERT_TRUE(QTest::qWaitFor([&] { return sink.reports.size() >= expected.size(); }));
    QTest::qWait(20);
    EXPECT_EQ(sink.reports, expected);
}

TEST_F(KeyHook, KeysFromTheWindowSystemAreReportedOnce)
{
    ASSERT_TRUE(vela::InstallKeyHook(&sink));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(window.windowHandle(), Qt::Key_Return);
    QTest::keyClick(window.windowHandle(), Qt::Key_Return);
    std::vector<Report> expected = {{13, P}, {13, R}, {13, P}, {13, R}};
    ASSERT_TRUE(QTest::qWaitFor([&] { return sink.reports.size() == expected.size(); }));
    QTest::qWait(20);
    EXPECT_EQ(sink.reports, expected);
}

TEST_F(KeyHook, AutoRepeatBecomesRepeatedPresses)
{
    ASSERT_TRUE(vela::InstallKeyHook(&sink));
    auto send = [this](QEvent::Type type, bool repeat) {
        QKeyEvent event(type, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"), repeat);
        QCoreApplication::sendEvent(inner, &event);
    };
    send(QEvent::KeyPress, false);
    for (int i = 0; i < 3; ++i) {
        send(QEvent::KeyRelease, true);
        send(QEvent::KeyPress, true);
    }
    send(QEvent::KeyRelease, false);
    std::vector<Report> expected = {{'B', P}, {'B', P}, {'B', P}, {'B', P}, {'B', R}};
    ASSERT_TRUE(QTest::qWaitFor([&] { return sink.reports.size() == expected.size(); }));
    EXPECT_EQ(sink.reports, expected);
}

TEST_F(KeyHook, KeysStillReachTheirWidget)
{
    ASSERT_TRUE(vela::InstallKeyHook(&sink));
    edit->setFocus();
    QTest::keyClicks(edit, "hi");
    EXPECT_EQ(edit->text(), "hi");
    ASSERT_TRUE(QTest::qWaitFor([&] { return sink.reports.size() == 4u; }));
}

// Consumes every key event of the application.
class KeyEater : public QObject {
protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        return event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    }
};

TEST_F(KeyHook, SeesKeysThatAFilterInstalledBeforeItConsumes)
{
    KeyEater eater;
    ASSERT_TRUE(vela::InstallKeyHook(&sink));
    qApp->installEventFilter(&eater);
    ASSERT_TRUE(vela::InstallKeyHook(&sink));  // as a pop-up does after its own set-up
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_X);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sink.reports.size() == 2u; }));
    EXPECT_EQ(sink.reports, (std::vector<Report>{{'X', P}, {'X', R}}));
    EXPECT_TRUE(edit->text().isEmpty());  // the eater still had it
}

TEST_F(KeyHook, InstallReplacesTheTargetAndRemoveStopsReports)
{
    Sink other;
    ASSERT_TRUE(vela::InstallKeyHook(&sink));
    ASSERT_TRUE(vela::InstallKeyHook(&other));
    QTest::keyClick(inner, Qt::Key_C);
    ASSERT_TRUE(QTest::qWaitFor([&] { return other.reports.size() == 2u; }));
    EXPECT_TRUE(sink.reports.empty());

    vela::RemoveKeyHook();
    EXPECT_EQ(vela::KeyHookTarget(), nullptr);
    QTest::keyClick(inner, Qt::Key_C);
    QTest::qWait(20);
    EXPECT_EQ(other.reports.size(), 2u);
}

TEST_F(KeyHook, DestroyedTargetGetsNothingAndNothingBreaks)
{
    auto *doomed = new Sink;
    ASSERT_TRUE(vela::InstallKeyHook(doomed));
    QTest::keyPress(inner, Qt::Key_D);
    delete doomed;  // a report for it is still queued
    EXPECT_EQ(vela::KeyHookTarget(), nullptr);
    QTest::keyRelease(inner, Qt::Key_D);
    QTest::qWait(20);
}

TEST_F(KeyHook, InstallFailsWhenItCannot)
{
    QObject notASink;
    EXPECT_FALSE(vela::InstallKeyHook(nullptr));
    EXPECT_FALSE(vela::InstallKeyHook(&notASink));
    bool offThread = true;
    std::thread([&] { offThread = vela::InstallKeyHook(&sink); }).join();
    EXPECT_FALSE(offThread);
    EXPECT_EQ(vela::KeyHookTarget(), nullptr);
}

TEST_F(KeyHook, TheDoubleRefusesOrDeliversInPlaceOfTheHook)
{
    vela::test::FakeKeyHook fake;
    fake.refuse = true;
    EXPECT_FALSE(vela::InstallKeyHook(&sink));
    fake.refuse = false;
    ASSERT_TRUE(vela::InstallKeyHook(&sink));
    QTest::keyClick(inner, Qt::Key_E);  // the real hook is not installed
    ASSERT_TRUE(fake.send(0x41, R));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sink.reports.size() == 1u; }));
    EXPECT_EQ(sink.reports[0], Report(0x41, R));
}

} // namespace
