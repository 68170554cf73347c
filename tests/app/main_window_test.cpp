// The virtual mouse's headers come before Qt's (its firmware has a field named like Qt's macro).
#include "tests/support/in_process_mouse.h"

#include "app/main_window.h"
#include "app/rename_dlg.h"
#include "device/program_device.h"
#include "pages/pop_dlg.h"
#include "profile/onboard_image.h"
#include "profile/profile_file.h"
#include "tests/support/fake_dialogs.h"
#include "tests/support/modal_answer.h"
#include "tests/support/qt_app.h"
#include "tests/support/qt_try.h"
#include "tests/support/recording_pointer_system.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"
#include "platform/single_instance.h"
#include "platform/window_ops.h"
#include "ui/nex_button.h"
#include "ui/nex_edit.h"
#include "ui/nex_menu.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

using namespace vela;
using vela::test::FakeDialogs;
using vela::test::ModalAnswer;

namespace {

class Shell : public ::testing::Test {
protected:
    void SetUp() override { vela::test::EnsureApp(); }
    void TearDown() override
    {
        if (w) {
            w->DestroyWindow();
            w.reset();
        }
    }

    // A shown main window; with or without the in-process mouse.
    CVELADlg &start(bool withMouse = false)
    {
        ShellServices s;
        s.profileFolder = dir.file("profiles");
        s.macroFolder = dir.file("macros");
        s.exportFolder = dir.file("export");
        s.device = withMouse ? &device : nullptr;
        s.pointers = &pointers;
        w = std::make_unique<CVELADlg>(s);
        w->OnInitDialog();
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        return *w;
    }
    QString slotFile(int k) const { return dir.file(QStringLiteral("profiles/Profiles/Default%1.profile").arg(k)); }
    void applyAndWait()
    {
        w->OnApply();
        VELA_TRY_COMPARE(w->applyRunner().running(), 0);
    }

    vela::test::TempDir dir;
    vela::test::ScopedEnv runtime{"XDG_RUNTIME_DIR", dir.path().toUtf8()};
    FakeDialogs dialogs;
    vela::test::RecordingPointerSystem pointers;
    vela::test::InProcessMouse mouse;
    vela::program::ProgramDevice device{*mouse.backend, mouse.clock};
    std::unique_ptr<CVELADlg> w;
};

TEST_F(Shell, BuildsTheSkinnedWindowWithTheMousePageShown)
{
    CVELADlg &win = start();
    EXPECT_EQ(win.size(), QSize(1024, 576));
    EXPECT_TRUE(win.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(win.windowTitle(), "Vela PRO Software");
    for (int i = 0; i < PageCount; ++i) {
        EXPECT_EQ(win.page(i)->geometry(), QRect(0, 88, 1024, 427));
        EXPECT_EQ(win.page(i)->isVisible(), i == PageMouse);
        EXPECT_EQ(win.tab(i)->IsSelected(), i == PageMouse);
    }
    EXPECT_FALSE(win.page(PageMouse)->background().isNull());
    EXPECT_EQ(win.profileButton(0)->caption(), "Profile1");
    EXPECT_TRUE(win.profileButton(0)->IsSelected());
    EXPECT_EQ(win.menuButton(2)->controlId(), 1018);
    EXPECT_EQ(win.menuButton(2)->TextOfItem(5), "Disable/Enable");
}

TEST_F(Shell, ClickingTheVisibleTabStoresNothingAndAnotherTabSwitches)
{
    CVELADlg &win = start();
    QTest::mouseClick(win.tab(PageMouse), Qt::LeftButton);
    EXPECT_EQ(win.pageStores(), 0);
    EXPECT_EQ(win.visiblePage(), PageMouse);

    QTest::mouseClick(win.tab(PageSupport), Qt::LeftButton);
    EXPECT_EQ(win.pageStores(), 1);
    EXPECT_EQ(win.visiblePage(), PageSupport);
    EXPECT_TRUE(win.page(PageSupport)->isVisible());
    EXPECT_FALSE(win.page(PageMouse)->isVisible());
    EXPECT_TRUE(win.tab(PageSupport)->IsSelected());
    EXPECT_EQ(win.page(PageSupport)->background().size(), QSize(1024, 427));
    EXPECT_EQ(win.page(PageSupport)->geometry(), QRect(0, 88, 1024, 427));
    EXPECT_FALSE(win.tab(PageMouse)->IsSelected());
}

TEST_F(Shell, EscapeEnterCloseAndAltF4HideTheWindowButNotWhileRecording)
{
    struct Case {
        const char *what;
        std::function<void(CVELADlg &)> act;
    };
    const Case cases[] = {
        {"Escape", [](CVELADlg &w) { QTest::keyClick(&w, Qt::Key_Escape); }},
        {"Enter", [](CVELADlg &w) { QTest::keyClick(&w, Qt::Key_Return); }},
        {"Escape in a page", [](CVELADlg &w) { QTest::keyClick(w.page(PageMouse), Qt::Key_Escape); }},
        {"Alt+F4", [](CVELADlg &w) { QTest::keyClick(&w, Qt::Key_F4, Qt::AltModifier); }},
        {"system close", [](CVELADlg &w) { w.close(); }},
        {"close button", [](CVELADlg &w) { QTest::mouseClick(w.button(IDC_HIDE), Qt::LeftButton); }},
    };
    CVELADlg &win = start();
    for (const Case &c : cases) {
        win.ShowRequest();
        c.act(win);
        EXPECT_FALSE(win.isVisible()) << c.what;
        EXPECT_FALSE(win.page(PageMouse)->isHidden()) << c.what << ": the page must stay";
    }
    win.ShowRequest();
    win.SetRecording(true);
    QTest::keyClick(&win, Qt::Key_F4, Qt::AltModifier);
    win.close();
    EXPECT_TRUE(win.isVisible());
}

TEST_F(Shell, OnlyTheSurfaceAboveTheBottomStripDragsTheWindow)
{
    EXPECT_TRUE(StartsDrag({0, 0}));
    EXPECT_TRUE(StartsDrag({1023, 515}));
    EXPECT_FALSE(StartsDrag({0, 516}));
    EXPECT_FALSE(StartsDrag({500, 575}));

    CVELADlg &win = start();
    const QPoint before = win.pos();
    QTest::mousePress(&win, Qt::LeftButton, {}, QPoint(400, 540));
    QTest::mouseMove(&win, QPoint(450, 560));
    QTest::mouseRelease(&win, Qt::LeftButton, {}, QPoint(450, 560));
    EXPECT_EQ(win.pos(), before);

    QTest::mousePress(&win, Qt::LeftButton, {}, QPoint(60, 60));
    QTest::mouseMove(&win, QPoint(90, 100));
    QTest::mouseRelease(&win, Qt::LeftButton, {}, QPoint(90, 100));
    EXPECT_EQ(win.pos(), before + QPoint(30, 40));
}

TEST_F(Shell, SystemCommandsSetTopmostAndQuit)
{
    CVELADlg &win = start();
    win.onSysCommand(ui::CMD_POPUP_TOPMOST, 1);
    EXPECT_TRUE(IsTopmost(&win));
    win.onSysCommand(ui::CMD_POPUP_TOPMOST, 0);
    EXPECT_FALSE(IsTopmost(&win));

    win.hide();
    win.onSysCommand(ID_TRAY_CONFIG, 0);
    EXPECT_TRUE(win.isVisible());

    for (int code : {SC_QUIT_REQUEST, ID_TRAY_EXIT}) {
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        guard.start(3000);
        win.onSysCommand(code, 0);
        EXPECT_EQ(QCoreApplication::exec(), 0) << code << " posts a quit request";
    }
}

TEST_F(Shell, AnotherProgramEndsTheProgramWithSystemCommand802)
{
    CVELADlg &win = start();
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    guard.start(3000);
    // Other system commands from outside change nothing; the quit request ends the run.
    QTimer::singleShot(0, [&] {
        PostWindowMessage(win.windowTitle(), kSysCommandMessage, ui::CMD_POPUP_TOPMOST, 1);
        PostWindowMessage(win.windowTitle(), kSysCommandMessage, SC_QUIT_REQUEST, 0);
    });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(IsTopmost(&win));
}

TEST_F(Shell, ApplyWithNoMouseSavesEveryFileThenShowsTheMessage)
{
    start(false);
    applyAndWait();
    for (int k = 1; k <= 5; ++k)
        EXPECT_TRUE(QFileInfo::exists(slotFile(k))) << k;
    EXPECT_TRUE(QFileInfo::exists(dir.file("macros/macroList.dat")));
    EXPECT_EQ(dialogs.messages(), QStringList{"KESTRA|Vela Pro mouse not found !"});
    EXPECT_FALSE(pointers.calls.isEmpty());
    EXPECT_EQ(w->cursor().shape(), Qt::ArrowCursor) << "the busy cursor ends with the apply";
}

TEST_F(Shell, ApplyAgainstTheMouseUploadsBothChunksAndActivatesTheSlot)
{
    CVELADlg &win = start(true);
    win.OnSelectSlot(2);
    win.profileSlots().records[2].dpiStageCurrent = 3;
    win.OnApply();
    EXPECT_EQ(win.cursor().shape(), Qt::BusyCursor);
    VELA_TRY_COMPARE(win.applyRunner().running(), 0);

    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join("; ").toStdString();
    EXPECT_EQ(mouse.mouse.activeSlot(), 2);
    const OnboardImage expected = BuildOnboardImage(win.profileSlots().records[2]);
    const auto stored = mouse.mouse.slot(2);
    EXPECT_TRUE(std::equal(stored.begin(), stored.end(), expected.bytes.begin()));
    EXPECT_EQ(win.profileSlots().applied, 2);
    int longReports = 0;
    for (const std::string &line : mouse.exchanges())
        longReports += line.rfind("set a0", 0) == 0;
    EXPECT_EQ(longReports, 2);
}

TEST_F(Shell, TwoQuickAppliesRunOneAfterTheOther)
{
    CVELADlg &win = start(true);
    win.OnApply();
    win.OnApply();
    EXPECT_EQ(win.applyRunner().running(), 2);
    VELA_TRY_COMPARE(win.applyRunner().running(), 0);
    QStringList commands;
    for (const std::string &line : mouse.exchanges())
        if (line.rfind("set", 0) == 0)
            commands << QString::fromStdString(line.substr(0, 9));
    // Each procedure whole: chunk, chunk, activation; never interleaved.
    EXPECT_EQ(commands, QStringList({"set a0 08", "set a0 08", "set a1 04", "set a0 08", "set a0 08", "set a1 04"}))
        << commands.join(", ").toStdString();
    EXPECT_EQ(win.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(Shell, AFailedMacroSaveIsShownInAKestraBox)
{
    // A file where the macro folder's parent should be: nothing can be written there.
    QFile blocker(dir.file("macros"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    CVELADlg &win = start(false);
    win.macroLibrary().AddMacro(16, "jump");
    applyAndWait();
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(dialogs.messages()[0].startsWith("KESTRA|Macros could not be saved")) << dialogs.messages()[0].toStdString();
    EXPECT_EQ(dialogs.messages()[1], "KESTRA|Vela Pro mouse not found !");
}

TEST_F(Shell, ShowAppliedKeepsTheSelectedSlotAndApplyStoresIntoIt)
{
    CVELADlg &win = start(true);
    win.profileSlots().records[0].pointerSpeed = 3;
    win.profileSlots().records[2].pointerSpeed = 9;
    QTest::mouseClick(win.profileButton(2), Qt::LeftButton);
    EXPECT_EQ(win.profileSlots().current, 2);
    const int stores = win.pageStores();
    QTest::mouseClick(win.button(IDC_SHOW_APPLIED), Qt::LeftButton);
    EXPECT_EQ(win.pageStores(), stores) << "nothing stored";
    EXPECT_EQ(win.profileSlots().current, 2);
    EXPECT_EQ(win.profileSlots().applied, 0);
    EXPECT_TRUE(win.profileButton(2)->IsSelected());
    EXPECT_FALSE(win.profileButton(0)->IsSelected());
    applyAndWait();
    EXPECT_EQ(mouse.mouse.activeSlot(), 2);
    EXPECT_EQ(win.profileSlots().applied, 2);
}

TEST_F(Shell, ResetAsksFirstThenResetsEverySlotAndApplies)
{
    CVELADlg &win = start(false);
    win.profileSlots().records[3].name = "Sniper";
    win.OnSlotMenu(3, MenuDisableEnable);
    {
        ModalAnswer<CPopDlg> cancel([](CPopDlg *p) { QTest::mouseClick(p->cancelButton(), Qt::LeftButton); });
        win.OnReset();
        EXPECT_TRUE(cancel.acted());
    }
    EXPECT_EQ(win.profileButton(3)->caption(), "Sniper");
    EXPECT_FALSE(QFileInfo::exists(slotFile(1)));

    int kind = 0;
    ModalAnswer<CPopDlg> ok([&](CPopDlg *p) {
        kind = p->kind();
        QTest::mouseClick(p->okButton(), Qt::LeftButton);
    });
    win.OnReset();
    EXPECT_EQ(kind, POP_RESET_WARN);
    for (int k = 0; k < kSlotCount; ++k) {
        EXPECT_EQ(win.profileButton(k)->caption(), QStringLiteral("Profile%1").arg(k + 1));
        EXPECT_TRUE(win.profileButton(k)->isEnabled());
    }
    VELA_TRY_COMPARE(win.applyRunner().running(), 0);
    EXPECT_TRUE(QFileInfo::exists(slotFile(4)));
}

TEST_F(Shell, DestroyWindowWaitsForARunningApplyAndSavesTheMacros)
{
    start(true);
    w->macroLibrary().AddMacro(16, "burst");
    w->OnApply();
    w->DestroyWindow();
    EXPECT_EQ(w->applyRunner().running(), 0);
    EXPECT_EQ(mouse.mouse.activeSlot(), 0);
    EXPECT_TRUE(QFileInfo::exists(dir.file("macros/macroList.dat")));
    w.reset();
}

// --- the slot menu ---------------------------------------------------------

TEST_F(Shell, MenuChoicesArriveAsSystemCommandsOfTheMenuButtons)
{
    CVELADlg &win = start();
    win.onSysCommand(1018, MenuDisableEnable); // slot 3
    EXPECT_FALSE(win.profileButton(2)->isEnabled());
    win.onSysCommand(1018, MenuDisableEnable);
    EXPECT_TRUE(win.profileButton(2)->isEnabled());
    win.onSysCommand(1020, MenuDisableEnable); // slot 1 cannot be disabled
    EXPECT_TRUE(win.profileButton(0)->isEnabled());
    win.onSysCommand(1016, 9); // unknown entry
    EXPECT_TRUE(win.profileButton(4)->isEnabled());
}

TEST_F(Shell, ExportAddsTheExtensionUnlessItIsExactlyProfile)
{
    CVELADlg &win = start();
    const struct {
        const char *typed;
        const char *written;
    } cases[] = {{"abc", "abc.profile"}, {"abc.profile", "abc.profile"}, {"abc.PROFILE", "abc.PROFILE.profile"}};
    for (const auto &c : cases) {
        dialogs.answer(dir.file(c.typed));
        win.OnSlotMenu(1, MenuExport);
        EXPECT_TRUE(QFileInfo::exists(dir.file(c.written))) << c.typed;
    }
    EXPECT_EQ(dialogs.requests().front().text, dir.file("export/Profile2.profile"));
    EXPECT_EQ(dialogs.requests().front().caption, "Mouse Profile(*.profile)|*.profile||");

    // Over an existing file without asking.
    win.profileSlots().records[1].name = "Again";
    dialogs.answer(dir.file("abc"));
    win.OnSlotMenu(1, MenuExport);
    ProfileRecord back;
    ASSERT_TRUE(LoadProfile(back, dir.file("abc.profile")));
    EXPECT_EQ(back.name, "Again");
    EXPECT_TRUE(dialogs.messages().isEmpty());

    const size_t asked = dialogs.requests().size();
    win.OnSlotMenu(1, MenuExport); // cancelled
    EXPECT_EQ(dialogs.requests().size(), asked + 1);
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(Shell, ImportShowsTheSlotWithoutMakingItCurrentAndApplyStoresIntoTheCurrent)
{
    CVELADlg &win = start(true);
    ProfileRecord source;
    source.name = "Imported";
    source.pointerSpeed = 10;
    ASSERT_TRUE(SaveProfile(source, dir.file("in.profile")));
    win.OnSelectSlot(1);
    dialogs.answer(dir.file("in.profile"));
    win.OnSlotMenu(3, MenuImport);
    EXPECT_EQ(dialogs.requests().back().text, dir.file("export/*.profile"));
    EXPECT_EQ(win.profileButton(3)->caption(), "Imported");
    EXPECT_EQ(win.profileSlots().records[3].slotIndex, 3);
    EXPECT_EQ(win.profileSlots().records[3].filePath, slotFile(4));
    EXPECT_EQ(win.profileSlots().current, 1);
    EXPECT_FALSE(QFileInfo::exists(slotFile(4))) << "nothing saved";
    applyAndWait();
    EXPECT_EQ(mouse.mouse.activeSlot(), 1);

    // An unreadable file leaves the record and says so.
    QFile bad(dir.file("bad.profile"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("nope");
    bad.close();
    dialogs.answer(dir.file("bad.profile"));
    win.OnSlotMenu(3, MenuImport);
    EXPECT_EQ(win.profileButton(3)->caption(), "Imported");
    ASSERT_FALSE(dialogs.messages().isEmpty());
    EXPECT_TRUE(dialogs.messages().back().startsWith("KESTRA|This file is not a profile"));
}

TEST_F(Shell, SaveCurrentSettingsWritesTheRecordAsItIsInMemory)
{
    CVELADlg &win = start();
    win.profileSlots().records[4].name = "Five";
    win.OnSlotMenu(4, MenuSave);
    ProfileRecord back;
    ASSERT_TRUE(LoadProfile(back, slotFile(5)));
    EXPECT_EQ(back.name, "Five");
    EXPECT_EQ(win.pageStores(), 0);
    EXPECT_FALSE(QFileInfo::exists(slotFile(1)));
}

TEST_F(Shell, RenameKeepsSevenCharactersPerTickAndFifteenOnConfirm)
{
    CVELADlg &win = start();
    {
        ModalAnswer<CRenameDlg> typeTen([](CRenameDlg *d) {
            QTest::keyClicks(d->edit(), "abcdefghij");
            QTest::qWait(2 * kRenameTickMs + 20);
            EXPECT_EQ(d->edit()->text(), "abcdefg");
            EXPECT_EQ(d->edit()->cursorPosition(), 7);
            QTest::mouseClick(d->okButton(), Qt::LeftButton);
        });
        win.OnSlotMenu(0, MenuRename);
        EXPECT_TRUE(typeTen.acted());
    }
    EXPECT_EQ(win.profileButton(0)->caption(), "abcdefg");
    EXPECT_EQ(win.profileSlots().records[0].name, "abcdefg");
    {
        ModalAnswer<CRenameDlg> paste([](CRenameDlg *d) {
            d->timer().stop(); // confirmed before the next tick
            d->edit()->setText("ABCDEFGHIJKLMNOPQRST");
            QTest::keyClick(d, Qt::Key_Return);
        });
        win.OnSlotMenu(1, MenuRename);
    }
    EXPECT_EQ(win.profileButton(1)->caption(), "ABCDEFGHIJKLMNO");
    for (auto press : {+[](CRenameDlg *d) { QTest::mouseClick(d->cancelButton(), Qt::LeftButton); },
                       +[](CRenameDlg *d) { QTest::mouseClick(d->closeButton(), Qt::LeftButton); },
                       +[](CRenameDlg *d) { QTest::keyClick(d, Qt::Key_Escape); }}) {
        ModalAnswer<CRenameDlg> cancel([press](CRenameDlg *d) {
            d->edit()->setText("x");
            press(d);
        });
        win.OnSlotMenu(2, MenuRename);
        EXPECT_EQ(win.profileButton(2)->caption(), "Profile3");
    }
}

TEST_F(Shell, ARenameDialogPressOutsideTheEditTakesTheFocus)
{
    CVELADlg &win = start();
    ModalAnswer<CRenameDlg> click([](CRenameDlg *d) {
        EXPECT_TRUE(QTest::qWaitFor([d] { return d->edit()->hasFocus(); }, 2000));
        QTest::mouseClick(d, Qt::LeftButton, {}, QPoint(20, 120));
        EXPECT_FALSE(d->edit()->hasFocus());
        EXPECT_EQ(d->size(), QSize(404, 190));
        d->reject();
    });
    win.OnSlotMenu(0, MenuRename);
    EXPECT_TRUE(click.acted());
}

} // namespace
