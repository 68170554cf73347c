#include "platform/dialogs.h"

#include "tests/support/fake_dialogs.h"
#include "tests/support/qt_app.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(QtFileFilter, WindowsFiltersBecomeQtFilters)
{
    struct Case {
        const char *windows;
        const char *qt;
    } cases[] = {
        {"Mouse Profile(*.profile)|*.profile||", "Mouse Profile(*.profile)"},
        {"Mouse Profile|*.profile||", "Mouse Profile (*.profile)"},
        {"Logs|*.txt;*.log|All files|*.*||", "Logs (*.txt *.log);;All files (*.*)"},
        {"Text(*.txt)|*.txt;*.text||", "Text(*.txt) (*.txt *.text)"},
        {"No end marker|*.a", "No end marker (*.a)"},
        {"", ""},
        {"||", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(vela::QtFileFilter(c.windows), QString(c.qt)) << c.windows;
}

TEST(ProposedName, SplitsFolderFromNameAndDropsWildcards)
{
    struct Case {
        const char *proposed, *folder, *file;
    } cases[] = {
        {"profile1", "", "profile1"},
        {"/home/u/Profiles/*.profile", "/home/u/Profiles", ""},
        {"/home/u/a?.profile", "/home/u", ""},
        {"/home/u/name.profile", "/home/u", "name.profile"},
        {"/x", "/", "x"},
        {"", "", ""},
    };
    for (const Case &c : cases) {
        vela::ProposedName split = vela::SplitProposedName(c.proposed);
        EXPECT_EQ(split.folder, QString(c.folder)) << c.proposed;
        EXPECT_EQ(split.file, QString(c.file)) << c.proposed;
    }
}

TEST(Dialogs, TheDoubleAnswersAndMessagesFromWorkersGoToTheUiThread)
{
    vela::test::EnsureApp();
    vela::test::FakeDialogs fake;
    fake.answer("/tmp/out.profile");
    EXPECT_EQ(vela::Dialogs().saveFileName(nullptr, "Profile1", "Mouse Profile(*.profile)|*.profile||"),
              "/tmp/out.profile");
    EXPECT_EQ(vela::Dialogs().openFileName(nullptr, "/p/*.profile", "x|*.x||"), "");  // cancelled

    std::thread worker([] { vela::ShowMessageBox(nullptr, "Vela Pro mouse not found !", "KESTRA"); });
    // The worker blocks until the UI thread has shown (here: recorded) the box.
    ASSERT_TRUE(QTest::qWaitFor([&] { return fake.messages().size() == 1; }));
    worker.join();
    ASSERT_EQ(fake.requests().size(), 3u);
    EXPECT_EQ(fake.requests()[0].kind, vela::test::FakeDialogs::Kind::Save);
    EXPECT_EQ(fake.requests()[0].text, "Profile1");
    EXPECT_EQ(fake.requests()[1].caption, "x|*.x||");
    EXPECT_EQ(fake.messages(), QStringList{"KESTRA|Vela Pro mouse not found !"});
    EXPECT_EQ(fake.requests()[2].thread, qApp->thread());
}

// The real dialogs, answered by a timer that waits for the modal window,
// inspects it and closes it, so a failed check never leaves the test blocked.
template <typename Dialog, typename Check>
void whenModal(Check check, bool *seen)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, check, seen] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        *seen = true;
        check(dialog);
        static_cast<QDialog *>(dialog)->done(0);
    });
    timer->start();
}

TEST(Dialogs, RealMessageBoxHasCaptionTextWarningIconAndOk)
{
    vela::test::EnsureApp();
    bool seen = false;
    whenModal<QMessageBox>([](QMessageBox *box) {
        EXPECT_EQ(box->windowTitle(), "KESTRA");
        EXPECT_EQ(box->text(), "set hook failed.");
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    }, &seen);
    vela::ShowMessageBox(nullptr, "set hook failed.", "KESTRA");
    EXPECT_TRUE(seen);
}

TEST(Dialogs, RealSaveDialogProposesTheNameWithQtFilterAndNoOverwriteQuestion)
{
    vela::test::EnsureApp();
    QString folder = QDir::tempPath();
    bool seen = false;
    whenModal<QFileDialog>([folder](QFileDialog *dialog) {
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog->nameFilters(), QStringList{"Mouse Profile(*.profile)"});
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_EQ(dialog->directory().absolutePath(), QDir(folder).absolutePath());
    }, &seen);
    QString chosen = vela::Dialogs().saveFileName(nullptr, folder + "/Profile1",
                                                  "Mouse Profile(*.profile)|*.profile||");
    EXPECT_TRUE(seen);
    EXPECT_TRUE(chosen.isEmpty());
}

TEST(Dialogs, RealOpenDialogOpensTheFolderOfAWildcardName)
{
    vela::test::EnsureApp();
    QTemporaryDir folder;
    bool seen = false;
    whenModal<QFileDialog>([&folder](QFileDialog *dialog) {
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(dialog->directory().absolutePath(), QDir(folder.path()).absolutePath());
        EXPECT_EQ(dialog->nameFilters(), QStringList{"Mouse Profile(*.profile)"});
    }, &seen);
    QString chosen = vela::Dialogs().openFileName(nullptr, folder.path() + "/*.profile",
                                                  "Mouse Profile(*.profile)|*.profile||");
    EXPECT_TRUE(seen);
    EXPECT_TRUE(chosen.isEmpty());
}

} // namespace
