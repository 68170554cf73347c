#include "profile/data_stream.h"
#include "profile/profile_file.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <unistd.h>

using vela::test::readFile;
using vela::test::writeFile;

namespace {

QByteArray utf16(const char *ascii)
{
    QByteArray out;
    for (const char *p = ascii; *p; ++p) {
        out.append(*p);
        out.append('\0');
    }
    return out;
}

ProfileRecord nonDefaultRecord()
{
    ProfileRecord r;
    r.name = QString::fromUtf8("Ünïcode ✓");
    r.enabled = 0;
    r.marker = 180;
    r.pollingCode = 8;
    r.doubleClickSpeed = 1200;
    r.scrollLines = 7;
    r.scrollByLines = 0;
    r.scrollByPage = 1;
    r.enhancePrecision = 1;
    r.dpiStageCount = 3;
    r.dpiStageCurrent = 3;
    r.dpiStageFlag = -2;
    r.reservedA = 0x12345678;
    r.dpiStage = {{{50, 51}, {100, 102}, {150, 153}, {0, 7}, {0, -1}}};
    r.pointerSpeed = 11;
    r.liftOffDistance = 2;
    r.surfaceQuality = 9;
    r.reservedB = -5;
    r.reservedC = 6;
    r.reservedD = 0xAB;
    r.angleSnapOff = 1;
    r.rippleOff = 1;
    r.brightnessLevel = 3;
    r.lightingMode = 0x2F;
    r.lightingEffect = 4;
    r.zoneColour = {0x00010203, 0, 0x00FFFFFF, 0x00ABCDEF};
    r.pickerColour = 0xFFFFFFFF; // stored as "-1", must come back whole
    r.buttons[0] = {0, FnSingleKey, 65, 0};
    r.buttons[6] = {6, FnMacro, 16, 6};
    r.buttonMacros[6] = {"Burst", 16, {{1, 65, 0, 10}, {1, 65, 1, 20}, {0x11, 151, 0, 0}}};
    return r;
}

} // namespace

TEST(ProfileFile, DefaultRecordMatchesGoldenBytes)
{
    const QByteArray golden = readFile(QStringLiteral(VELA_TEST_DATA "/default.profile"));
    ASSERT_EQ(golden.size(), 346);
    EXPECT_EQ(SerializeProfile(ProfileRecord{}), golden);
}

TEST(ProfileFile, EncodesItemsAsDocumented)
{
    ProfileRecord r;
    r.name.clear();
    const QByteArray bytes = SerializeProfile(r);
    // An empty name is a zero count with no units.
    EXPECT_EQ(bytes.mid(4, 4), QByteArray(4, '\0'));
    // Zone colour 0x00FFFF00 is the text 16776960: count 8, then eight UTF-16 units.
    const QByteArray colourText = QByteArray("\x08\0\0\0", 4) + utf16("16776960");
    EXPECT_TRUE(bytes.contains(colourText));
    EXPECT_EQ(bytes.size(), 346 - 14);
}

TEST(ProfileFile, MacroWithThreeEventsTakesItsDocumentedSize)
{
    ProfileRecord r;
    r.buttonMacros[0] = {"Abc", 16, {{1, 65, 0, 1}, {1, 65, 1, 2}, {0x10, 1, 0, 3}}};
    const QByteArray bytes = SerializeProfile(r);
    // Empty macro: 4 + 4 + 4. This one: 4 + (4 + 6) + 4 + 3 * 8.
    EXPECT_EQ(bytes.size() - 346, (4 + 10 + 4 + 24) - 12);
    const int at = 346 - 9 * 12;
    EXPECT_EQ(bytes.mid(at, 4), QByteArray("\x10\0\0\0", 4));
    // First event: kind, code (2 bytes), upFlag, delay (4 bytes).
    EXPECT_EQ(bytes.mid(at + 4 + 10 + 4, 8), QByteArray("\x01\x41\0\0\x01\0\0\0", 8));
}

TEST(ProfileFile, RoundTripKeepsEveryStoredField)
{
    vela::test::TempDir dir;
    const QString path = dir.file("Kestra/Vela PRO Software/Profiles/Default1.profile");
    ProfileRecord saved = nonDefaultRecord();
    ASSERT_TRUE(SaveProfile(saved, path));

    ProfileRecord loaded;
    loaded.filePath = "kept";
    loaded.slotIndex = 4;
    loaded.accelerationIndex = 3;
    loaded.buttons[6].defaultFunction = 6;
    ASSERT_TRUE(LoadProfile(loaded, path));

    ProfileRecord expected = saved;
    expected.filePath = "kept";
    expected.slotIndex = 4;
    expected.accelerationIndex = 3;
    EXPECT_EQ(loaded, expected);
}

TEST(ProfileFile, RejectedFilesLeaveTheRecordUntouched)
{
    const QByteArray good = SerializeProfile(nonDefaultRecord());
    QByteArray wrongMagic = good;
    wrongMagic[3] = 0x02;
    QByteArray hugeName = good;
    hugeName.replace(4, 4, QByteArray("\xff\xff\xff\x3f", 4));
    QByteArray hugeEventCount = good;
    // The file ends with the last (empty) macro's event count.
    const int lastCount = good.size() - 4;
    hugeEventCount.replace(lastCount, 4, QByteArray("\xff\xff\xff\x0f", 4));

    struct Case {
        const char *what;
        QByteArray bytes;
    } cases[] = {
        {"wrong magic", wrongMagic},
        {"empty", QByteArray()},
        {"magic only", good.left(4)},
        {"string count beyond data", hugeName},
        {"event count beyond data", hugeEventCount},
    };
    for (const Case &c : cases) {
        ProfileRecord r;
        r.name = "untouched";
        const ProfileRecord before = r;
        EXPECT_FALSE(DeserializeProfile(r, c.bytes)) << c.what;
        EXPECT_EQ(r, before) << c.what;
    }
    // Every truncation of a good file is rejected whole.
    for (int len = 0; len < good.size(); ++len) {
        ProfileRecord r;
        EXPECT_FALSE(DeserializeProfile(r, good.left(len))) << len;
        ASSERT_EQ(r, ProfileRecord{}) << len;
    }
}

TEST(ProfileFile, NegativeOrTopBitCountsReadAsEmpty)
{
    QByteArray bytes = SerializeProfile(ProfileRecord{});
    bytes.replace(4, 4 + 14, QByteArray("\x00\x00\x00\x80", 4));
    ProfileRecord r;
    ASSERT_TRUE(DeserializeProfile(r, bytes));
    EXPECT_EQ(r.name, "");
    EXPECT_EQ(r.pickerColour, 255u);
}

TEST(ProfileFile, MissingFileFailsAndKeepsRecord)
{
    vela::test::TempDir dir;
    ProfileRecord r;
    r.name = "x";
    EXPECT_FALSE(LoadProfile(r, dir.file("none.profile")));
    EXPECT_EQ(r.name, "x");
    EXPECT_FALSE(LoadProfile(r, dir.path())); // a folder is no profile
}

TEST(ProfileFile, SaveReplacesTheFileAtomically)
{
    vela::test::TempDir dir;
    const QString path = dir.file("Default1.profile");
    const QString link = dir.file("old-inode");
    ASSERT_TRUE(SaveProfile(ProfileRecord{}, path));
    const QByteArray before = readFile(path);
    // A hard link keeps the old inode: if Save truncated in place, it would change too.
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()), 0);
    ASSERT_TRUE(SaveProfile(nonDefaultRecord(), path));
    EXPECT_EQ(readFile(link), before);
    EXPECT_EQ(readFile(path), SerializeProfile(nonDefaultRecord()));
    // No temporary files are left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST(ProfileFile, FailedSaveKeepsThePreviousFile)
{
    vela::test::TempDir dir;
    const QString path = dir.file("Default1.profile");
    ASSERT_TRUE(SaveProfile(ProfileRecord{}, path));
    const QByteArray before = readFile(path);
    // A save whose folder cannot be made (a file stands in its way) fails.
    ASSERT_TRUE(writeFile(dir.file("blocker"), "x"));
    EXPECT_FALSE(SaveProfile(ProfileRecord{}, dir.file("blocker/sub/Default1.profile")));
    EXPECT_EQ(readFile(path), before);
}

TEST(DataStream, GrowsByTwiceTheRequestOrAtLeast1024)
{
    DataStream s(4);
    s.putInt32(1);
    EXPECT_EQ(s.capacity(), 4u);
    s.putUInt8(1);
    EXPECT_EQ(s.capacity(), 4u + 1024);
    s.putString(QString(1000, u'a'));
    EXPECT_EQ(s.capacity(), 1028u + 2 * 2004);
    EXPECT_EQ(s.size(), 5u + 2004);
}

TEST(DataStream, NumberTextParsesLikeDecimalAndReadsStopAtTheEnd)
{
    DataStream w;
    w.putNumberText(-42);
    w.putString("12abc");
    w.putString("xyz");
    DataStream r(w.bytes());
    EXPECT_EQ(r.getNumberText(), -42);
    EXPECT_EQ(r.getNumberText(), 12);
    EXPECT_EQ(r.getNumberText(), 0);
    EXPECT_FALSE(r.failed());
    EXPECT_EQ(r.getInt16(), 0);
    EXPECT_TRUE(r.failed());
}
