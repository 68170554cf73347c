#include "app/profile_slots.h"
#include "profile/profile_file.h"
#include "tests/support/temp_dir.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// Stands in for the three pages: holds the values "shown" and edited.
struct FakePages : ProfilePages {
    ProfileRecord shown;
    int stores = 0;
    void storeInto(ProfileRecord &r) override
    {
        ++stores;
        r.doubleClickSpeed = shown.doubleClickSpeed;
    }
    void show(const ProfileRecord &r) override { shown = r; }
};

} // namespace

TEST(ProfileSlots, ConstructsFiveSlotsAndLoadsTheirFiles)
{
    vela::test::TempDir dir;
    ProfileRecord stored;
    stored.name = "Stored";
    ASSERT_TRUE(SaveProfile(stored, dir.path() + "/Profiles/Default4.profile"));
    ProfileSlots bank(dir.path());
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(bank.records[k].slotIndex, k);
        EXPECT_EQ(bank.records[k].filePath, dir.path() + QString("/Profiles/Default%1.profile").arg(k + 1));
    }
    EXPECT_EQ(bank.records[0].name, "Profile1");
    EXPECT_EQ(bank.records[3].name, "Stored");
    EXPECT_EQ(bank.records[3].slotIndex, 3);
}

TEST(ProfileSlots, SelectStoresThePagesThenShowsTheNewSlot)
{
    vela::test::TempDir dir;
    ProfileSlots bank(dir.path());
    FakePages pages;
    pages.shown.doubleClickSpeed = 500; // an edit on slot 1's pages
    bank.records[2].doubleClickSpeed = 900;
    bank.select(2, pages);
    EXPECT_EQ(bank.records[0].doubleClickSpeed, 500);
    EXPECT_EQ(bank.current, 2);
    EXPECT_EQ(bank.marked, 2);
    EXPECT_EQ(pages.shown.doubleClickSpeed, 900);
    EXPECT_EQ(bank.applied, 0);
}

TEST(ProfileSlots, ExportAddsTheExtensionUnlessItIsExactlyProfile)
{
    const struct {
        const char *chosen, *written;
    } cases[] = {
        {"/x/abc", "/x/abc.profile"},
        {"/x/abc.profile", "/x/abc.profile"},
        {"/x/abc.PROFILE", "/x/abc.PROFILE.profile"},
        {"/x.profile/abc", "/x.profile/abc.profile"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ProfileSlots::exportTarget(c.chosen), c.written) << c.chosen;

    vela::test::TempDir dir;
    ProfileSlots bank(dir.path());
    ASSERT_TRUE(bank.exportTo(1, dir.file("out")));
    bank.records[1].name = "Second";
    ASSERT_TRUE(bank.exportTo(1, dir.file("out.profile"))); // replaces without asking
    ProfileRecord back;
    ASSERT_TRUE(LoadProfile(back, dir.file("out.profile")));
    EXPECT_EQ(back.name, "Second");
    bank.records[1].name = "../../evil/x";
    EXPECT_EQ(bank.exportProposal(1, "/p"), "/p/.._.._evil_x.profile");
}

TEST(ProfileSlots, ImportShowsTheSlotWhileCurrentStays)
{
    vela::test::TempDir dir;
    ProfileSlots bank(dir.path());
    FakePages pages;
    bank.select(1, pages);
    ProfileRecord file;
    file.name = "Imported";
    file.doubleClickSpeed = 1234;
    ASSERT_TRUE(SaveProfile(file, dir.file("in.profile")));
    ASSERT_TRUE(bank.importFrom(3, dir.file("in.profile"), pages));
    EXPECT_EQ(bank.current, 1);
    EXPECT_EQ(pages.shown.name, "Imported");
    EXPECT_EQ(bank.records[3].slotIndex, 3);
    EXPECT_EQ(bank.records[3].filePath, dir.path() + "/Profiles/Default4.profile");
    // An unreadable file leaves the record but still refreshes the pages.
    pages.shown = ProfileRecord{};
    EXPECT_FALSE(bank.importFrom(3, dir.file("missing.profile"), pages));
    EXPECT_EQ(pages.shown.name, "Imported");
}

TEST(ProfileSlots, DisableEnableSparesSlotOne)
{
    vela::test::TempDir dir;
    ProfileSlots bank(dir.path());
    bank.toggleEnabled(0);
    EXPECT_EQ(bank.records[0].enabled, 1);
    bank.toggleEnabled(2);
    EXPECT_EQ(bank.records[2].enabled, 0);
    bank.toggleEnabled(2);
    EXPECT_EQ(bank.records[2].enabled, 1);
}

TEST(ProfileSlots, SaveWritesTheRecordAsItIsInMemory)
{
    vela::test::TempDir dir;
    ProfileSlots bank(dir.path());
    bank.rename(0, "TwentyCharactersLong");
    EXPECT_EQ(bank.records[0].name, "TwentyCharacter");
    ASSERT_TRUE(bank.save(0));
    ProfileRecord back;
    ASSERT_TRUE(LoadProfile(back, bank.records[0].filePath));
    EXPECT_EQ(back.name, "TwentyCharacter");
}

TEST(ProfileSlots, ResetAllRestoresNamesAndSlotOneButKeepsMarkAndApplied)
{
    vela::test::TempDir dir;
    ProfileSlots bank(dir.path());
    FakePages pages;
    bank.select(3, pages);
    bank.applied = 3;
    bank.rename(4, "X");
    bank.toggleEnabled(4);
    bank.records[2].pollingCode = 8;
    bank.resetAll();
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(bank.records[k].name, ProfileSlots::defaultName(k));
        EXPECT_EQ(bank.records[k].enabled, 1);
        EXPECT_EQ(bank.records[k].slotIndex, k);
    }
    EXPECT_EQ(bank.records[2].pollingCode, 1);
    EXPECT_EQ(bank.current, 0);
    EXPECT_EQ(bank.marked, 3);
    EXPECT_EQ(bank.applied, 3);
    EXPECT_FALSE(QFileInfo::exists(bank.records[0].filePath)); // nothing saved
}
