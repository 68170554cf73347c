#include "app/apply_procedure.h"
#include "profile/profile_file.h"
#include "tests/support/temp_dir.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

struct Recorder : ApplyEnvironment, ApplyDevice {
    ApplyInput input;
    QStringList calls;
    bool open = true;
    int activation = 1;
    int uploadResult = 4; // a failed upload alone is not acted on

    ApplyInput collect() override
    {
        calls << "collect";
        return input;
    }
    void applyPointerSettings(const ProfileRecord &r) override { calls << "pointer " + r.name; }
    void macrosSaved(const MacroLibrarySnapshot &, const MacroSaveResult &r) override
    {
        calls << QString("macros %1").arg(r.ok);
    }
    void markApplied(int slot) override { calls << QString("applied %1").arg(slot); }
    void showMessage(const QString &text) override { calls << "message " + text; }
    bool ensureOpen() override
    {
        calls << "open";
        return open;
    }
    void close() override { calls << "close"; }
    int upload(const ProfileRecord &r) override
    {
        calls << QString("upload %1").arg(r.slotIndex);
        return uploadResult;
    }
    int setActiveProfile(int slot) override
    {
        calls << QString("activate %1").arg(slot);
        return activation;
    }
};

struct ApplyFixture : ::testing::Test {
    vela::test::TempDir dir;
    Recorder r;
    void SetUp() override
    {
        ProfileSlots bank(dir.path() + "/profiles");
        r.input.records = bank.records;
        r.input.current = 2;
        r.input.macros.folderPath = dir.path() + "/Macros";
        r.input.macros.macros.push_back({16, "M", {}, {}});
    }
};

} // namespace

TEST_F(ApplyFixture, SavesEverythingThenWritesAndActivatesTheCurrentSlot)
{
    RunApplyProcedure(r, r);
    EXPECT_EQ(r.calls, (QStringList{"collect", "pointer Profile3", "macros 1", "open", "applied 2", "upload 2",
                                    "activate 2"}));
    for (const ProfileRecord &rec : r.input.records)
        EXPECT_TRUE(QFileInfo::exists(rec.filePath)) << rec.filePath.toStdString();
    EXPECT_TRUE(QFileInfo::exists(dir.path() + "/Macros/M.macro"));
}

TEST_F(ApplyFixture, NoMouseStillSavesAndSaysSo)
{
    r.open = false;
    RunApplyProcedure(r, r);
    EXPECT_EQ(r.calls.mid(3), (QStringList{"open", "close", "message " + kMouseNotFound}));
    EXPECT_TRUE(QFileInfo::exists(dir.path() + "/profiles/Profiles/Default5.profile"));
    EXPECT_TRUE(QFileInfo::exists(dir.path() + "/Macros/macroList.dat"));
}

TEST_F(ApplyFixture, AFailedActivationSaysTheMouseWasNotFound)
{
    r.activation = 4;
    RunApplyProcedure(r, r);
    EXPECT_EQ(r.calls.back(), "message " + kMouseNotFound);
    EXPECT_TRUE(r.calls.contains("applied 2"));
}

TEST_F(ApplyFixture, SaveFailuresAreShownNotSwallowed)
{
    // A file where the profile folder should be: nothing can be created below it.
    QFile blocker(dir.path() + "/profiles");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QFile macroBlocker(dir.path() + "/Macros");
    ASSERT_TRUE(macroBlocker.open(QIODevice::WriteOnly));
    macroBlocker.close();
    RunApplyProcedure(r, r);
    EXPECT_TRUE(r.calls.contains("macros 0"));
    EXPECT_EQ(r.calls.filter("message Profiles could not be saved").size(), 1);
    EXPECT_EQ(r.calls.filter("message Macros could not be saved").size(), 1);
    EXPECT_EQ(r.calls.back(), "activate 2"); // the mouse is still written
}

TEST_F(ApplyFixture, MacrosTooLargeForTheMouseAreShownAndTheSlotIsNotActivated)
{
    r.uploadResult = kUploadTooLarge;
    RunApplyProcedure(r, r);
    EXPECT_EQ(r.calls.back(), "message " + kMacrosTooLarge);
    EXPECT_EQ(r.calls.filter("activate").size(), 0);
}
