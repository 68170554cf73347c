#include "macro/macro_library.h"
#include "profile/data_stream.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using vela::test::readFile;
using vela::test::writeFile;

namespace {

QStringList filesIn(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden);
    names.sort();
    return names;
}

struct LibraryFolder {
    vela::test::TempDir dir;
    QString folder = dir.path() + "/Kestra/VELAX/Macros";
    MacroLibrary lib;
    LibraryFolder() { lib.folderPath = folder; lib.eventsViewRect = {0, 0, 199, 197}; }
};

} // namespace

TEST(MacroFiles, EventRecordIsPacked32Bytes)
{
    MacroSnapshot m{17, "Ab", {1, 2, 3, 4}, {}};
    CEventItem e;
    e.kind = 1;
    e.code = 0x1234;
    e.upFlag = 1;
    e.delay = 300;
    e.rect = {4, 5, 197, 23};
    e.selected = 1;
    e.id = 9;
    m.events.push_back(e);
    const QByteArray bytes = EncodeMacroFile(m);
    const QByteArray expected = QByteArray::fromHex(
        "02000000" "41006200"                 // name "Ab"
        "11000000"                             // id 17
        "01000000020000000300000004000000"     // viewRect
        "01000000"                             // one event
        "01" "3412" "01" "2c010000"            // kind, code at offset 1, upFlag, delay
        "0400000005000000c500000017000000"     // row rectangle
        "01000000" "09000000");                // selected, id
    EXPECT_EQ(bytes, expected);
    MacroSnapshot back;
    ASSERT_TRUE(DecodeMacroFile(bytes, back));
    EXPECT_EQ(back, m);
}

TEST(MacroFiles, EmptyLibrarySavesAnIndexOnly)
{
    LibraryFolder f;
    ASSERT_TRUE(f.lib.SaveMacroLibrary().ok);
    EXPECT_EQ(filesIn(f.folder), QStringList{"macroList.dat"});
    EXPECT_EQ(readFile(f.folder + "/macroList.dat"), QByteArray(4, '\0'));
}

TEST(MacroFiles, CollidingNamesGetOnesAppendedInFileAndMemory)
{
    LibraryFolder f;
    for (int i = 0; i < 3; ++i)
        f.lib.AddMacro(f.lib.NextMacroId(), "A");
    const MacroSaveResult r = f.lib.SaveMacroLibrary();
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(filesIn(f.folder), (QStringList{"A.macro", "A1.macro", "A11.macro", "macroList.dat"}));
    EXPECT_EQ(f.lib.macros[1]->name, "A1");
    EXPECT_EQ(f.lib.macros[2]->name, "A11");
    EXPECT_EQ(DecodeMacroIndex(readFile(f.folder + "/macroList.dat")),
              (QStringList{f.folder + "/A.macro", f.folder + "/A1.macro", f.folder + "/A11.macro"}));
}

TEST(MacroFiles, RoundTripKeepsIdsRowsAndSelection)
{
    LibraryFolder f;
    CMacro *a = f.lib.AddMacro(16, "Alpha");
    a->AddEvent(1, 65, 0, 10, 0);
    a->AddEvent(1, 65, 1, 20, 0);
    a->AddEvent(0x10, 1, 0, 0, 0);
    a->ScrollToRow(2);
    a->events[1].selected = 1;
    f.lib.AddMacro(40, "");
    ASSERT_TRUE(f.lib.SaveMacroLibrary().ok);

    MacroLibrary loaded;
    loaded.folderPath = f.folder;
    EXPECT_EQ(loaded.LoadMacroLibrary(), 0);
    ASSERT_EQ(loaded.macros.size(), 2u);
    EXPECT_EQ(loaded.macros[0]->name, "Alpha");
    EXPECT_EQ(loaded.macros[0]->viewRect, a->viewRect);
    EXPECT_EQ(loaded.macros[0]->events, a->events);
    EXPECT_EQ(loaded.macros[1]->id, 40);
    EXPECT_EQ(loaded.macros[1]->name, "");
    EXPECT_TRUE(loaded.macros[1]->events.empty());
}

TEST(MacroFiles, UnsafeNamesNeverLeaveTheFolder)
{
    LibraryFolder f;
    const QStringList names = {"../escape", "a/b", "", ".", "..", QString("nul") + QChar(0) + "x",
                               "back\\slash", QString(300, u'é')};
    for (const QString &n : names)
        f.lib.AddMacro(f.lib.NextMacroId(), n);
    const MacroSaveResult r = f.lib.SaveMacroLibrary();
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    // Everything landed inside the folder, nothing beside it.
    EXPECT_EQ(filesIn(f.dir.path() + "/Kestra/VELAX"), QStringList{"Macros"});
    EXPECT_EQ(filesIn(f.folder).size(), names.size() + 1);

    MacroLibrary loaded;
    loaded.folderPath = f.folder;
    EXPECT_EQ(loaded.LoadMacroLibrary(), 0);
    ASSERT_EQ(loaded.macros.size(), size_t(names.size()));
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(loaded.macros[i]->name, names[i]) << i; // the macro keeps its name
}

TEST(MacroFiles, SaveRemovesLinksWithoutTouchingTheirTargets)
{
    LibraryFolder f;
    ASSERT_TRUE(f.lib.SaveMacroLibrary().ok);
    const QString outside = f.dir.path() + "/precious";
    QDir().mkpath(outside);
    ASSERT_TRUE(writeFile(outside + "/keep.txt", "data"));
    ASSERT_EQ(::symlink(QFile::encodeName(outside).constData(), QFile::encodeName(f.folder + "/link").constData()), 0);
    QDir().mkpath(f.folder + "/sub/deeper");
    ASSERT_TRUE(writeFile(f.folder + "/sub/deeper/stray", "x"));

    ASSERT_TRUE(f.lib.SaveMacroLibrary().ok);
    EXPECT_EQ(filesIn(f.folder), QStringList{"macroList.dat"});
    EXPECT_EQ(readFile(outside + "/keep.txt"), "data");
}

TEST(MacroFiles, AFailingSaveKeepsThePreviousLibrary)
{
    LibraryFolder f;
    f.lib.AddMacro(16, "First")->AddEvent(1, 65, 0, 0, 0);
    f.lib.AddMacro(17, "Second");
    ASSERT_TRUE(f.lib.SaveMacroLibrary().ok);
    const QStringList before = filesIn(f.folder);
    const QByteArray firstBytes = readFile(f.folder + "/First.macro");

    // Make every write beyond a few bytes fail, as on a full disk (this works as root too).
    CMacro *big = f.lib.AddMacro(18, "Big");
    for (int i = 0; i < 200; ++i)
        big->AddEvent(1, 66, 0, 0, 0);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tight = old;
    tight.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &tight);
    const MacroSaveResult r = f.lib.SaveMacroLibrary();
    setrlimit(RLIMIT_FSIZE, &old);

    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_EQ(filesIn(f.folder), before);
    EXPECT_EQ(readFile(f.folder + "/First.macro"), firstBytes);
    EXPECT_FALSE(QFileInfo::exists(f.folder + ".saving"));
}

TEST(MacroFiles, AShortFolderPathSavesNothing)
{
    MacroLibrary lib;
    lib.folderPath = "abc";
    lib.AddMacro(16, "x");
    EXPECT_TRUE(lib.SaveMacroLibrary().ok);
    EXPECT_FALSE(QFileInfo::exists("abc"));
}

TEST(MacroFiles, BadIndexEntriesAreSkippedAndNothingIsReadPastTheData)
{
    LibraryFolder f;
    f.lib.AddMacro(16, "Good")->AddEvent(1, 65, 0, 0, 0);
    f.lib.AddMacro(17, "Truncated")->AddEvent(1, 65, 0, 0, 0);
    f.lib.AddMacro(18, "Overcount");
    f.lib.AddMacro(19, "NoEvents");
    ASSERT_TRUE(f.lib.SaveMacroLibrary().ok);

    const QByteArray truncated = readFile(f.folder + "/Truncated.macro");
    ASSERT_TRUE(writeFile(f.folder + "/Truncated.macro", truncated.left(truncated.size() - 1)));
    QByteArray over = readFile(f.folder + "/Overcount.macro");
    over.replace(over.size() - 4, 4, QByteArray::fromHex("ffffff7f"));
    ASSERT_TRUE(writeFile(f.folder + "/Overcount.macro", over));
    QByteArray minusOne = readFile(f.folder + "/NoEvents.macro");
    minusOne.replace(minusOne.size() - 4, 4, QByteArray::fromHex("ffffffff"));
    ASSERT_TRUE(writeFile(f.folder + "/NoEvents.macro", minusOne));
    // Paths elsewhere or to missing files: only the file name, looked up in this folder, counts.
    ASSERT_TRUE(writeFile(f.dir.path() + "/Outside.macro", EncodeMacroFile({50, "Outside", {}, {}})));
    QStringList index = DecodeMacroIndex(readFile(f.folder + "/macroList.dat"));
    index << "C:\\Users\\me\\AppData\\Kestra\\VELAX\\Macros\\Good.macro" << f.dir.path() + "/Outside.macro"
          << f.folder + "/Missing.macro" << f.folder + "/..";
    QByteArray indexBytes = EncodeMacroIndex(index);
    indexBytes.replace(0, 4, QByteArray::fromHex("ffffff0f")); // claims far more entries than it has
    ASSERT_TRUE(writeFile(f.folder + "/macroList.dat", indexBytes));

    MacroLibrary loaded;
    loaded.folderPath = f.folder;
    EXPECT_EQ(loaded.LoadMacroLibrary(), 5);
    QStringList names;
    for (const auto &m : loaded.macros)
        names << m->name;
    EXPECT_EQ(names, (QStringList{"Good", "NoEvents", "Good"}));
    EXPECT_TRUE(loaded.macros[1]->events.empty());
}

TEST(MacroFiles, NoIndexMeansAnEmptyLibrary)
{
    LibraryFolder f;
    f.lib.AddMacro(16, "stale");
    EXPECT_EQ(f.lib.LoadMacroLibrary(), 0);
    EXPECT_TRUE(f.lib.macros.empty());
}

TEST(MacroFiles, RenamesFromASnapshotSaveApplyOnlyToUnchangedMacros)
{
    LibraryFolder f;
    f.lib.AddMacro(16, "K");
    f.lib.AddMacro(17, "K");
    f.lib.AddMacro(18, "K");
    const MacroLibrarySnapshot snapshot = f.lib.Snapshot();
    const MacroSaveResult r = WriteMacroLibrary(snapshot); // as the apply worker does
    f.lib.macros[2]->name = "Renamed meanwhile";
    f.lib.ApplySaveResult(snapshot, r);
    EXPECT_EQ(f.lib.macros[1]->name, "K1");
    EXPECT_EQ(f.lib.macros[2]->name, "Renamed meanwhile");
}
