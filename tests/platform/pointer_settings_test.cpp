#include "platform/pointer_settings.h"

#include "tests/support/files.h"
#include "tests/support/recording_pointer_system.h"
#include "tests/support/temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>


namespace {

using vela::PointerValues;

TEST(PointerMaths, DoubleClickTimeSpeedAndGnomeSpeed)
{
    std::pair<int, int> doubleClick[] = {{200, 1400}, {800, 800}, {1400, 200}, {0, 1400},
                                         {-32768, 1400}, {1600, 200}, {32767, 200}};
    for (auto [speed, ms] : doubleClick)
        EXPECT_EQ(vela::DoubleClickTimeMs(speed), ms) << speed;

    std::pair<int, int> speeds[] = {{1, 2}, {2, 2}, {6, 10}, {11, 20}, {0, 1}, {-3, 1}, {255, 20}};
    for (auto [v, s] : speeds)
        EXPECT_EQ(vela::WindowsMouseSpeed(v), s) << v;

    std::pair<int, double> gnome[] = {{2, -0.8}, {10, 0.0}, {14, 0.4}, {20, 1.0}, {30, 1.0}, {-20, -1.0}};
    for (auto [s, g] : gnome)
        EXPECT_DOUBLE_EQ(vela::GnomePointerSpeed(s), g) << s;
}

TEST(PointerMaths, WheelLinesByLinesPageOrNothing)
{
    PointerValues v;
    v.scrollLines = 4;
    EXPECT_EQ(vela::WheelScrollLines(v), 4u);
    v.scrollByPage = 1;  // lines win when both are set
    EXPECT_EQ(vela::WheelScrollLines(v), 4u);
    v.scrollByLines = 0;
    EXPECT_EQ(vela::WheelScrollLines(v), vela::kWheelPageScroll);
    v.scrollByPage = 0;
    EXPECT_EQ(vela::WheelScrollLines(v), std::nullopt);
    v.scrollByLines = 1;
    v.scrollLines = 0;
    EXPECT_EQ(vela::WheelScrollLines(v), 1u);
}

TEST(PointerMaths, AccelerationByLevel)
{
    using A = vela::Acceleration;
    struct Case {
        int enhance, index;
        A expected;
    } cases[] = {
        {0, 1, A{}},
        {0, 3, A{}},
        {1, 1, A{true, 6, 10, 1, 3, 2, 6}},
        {1, 2, A{true, 4, 8, 1, 2, 1, 4}},
        {1, 3, A{true, 2, 6, 2, 3, 1, 2}},
        {7, 0, A{true, 6, 10, 1, 3, 2, 6}},
        {1, 99, A{true, 2, 6, 2, 3, 1, 2}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(vela::AccelerationFor(c.enhance, c.index), c.expected) << c.enhance << " " << c.index;
    EXPECT_EQ(A{}.xNumerator, 1);
    EXPECT_EQ(A{}.xDenominator, 1);
}

TEST(ApplyPointerSettings, WritesTheFourSettingsInOrder)
{
    struct Case {
        PointerValues values;
        QStringList calls;
    } cases[] = {
        {PointerValues{}, {"double-click 800", "speed 10", "wheel 2", "accel 0,0,0"}},
        {PointerValues{1400, 1, 1, 0, 6, 1, 3}, {"double-click 200", "speed 2", "wheel 6", "accel 2,6,2"}},
        {PointerValues{200, 11, 0, 1, 3, 1, 1},
         {"double-click 1400", "speed 20", "wheel 4294967295", "accel 6,10,1"}},
        {PointerValues{600, 2, 0, 0, 3, 0, 2}, {"double-click 1000", "speed 2", "accel 0,0,0"}},
    };
    for (const Case &c : cases) {
        vela::test::RecordingPointerSystem system;
        vela::ApplyPointerSettings(c.values, system);
        EXPECT_EQ(system.calls, c.calls);
    }
}

TEST(SetIniEntry, ReplacesOrAddsOnlyTheOneEntry)
{
    struct Case {
        const char *before, *after;
    } cases[] = {
        {"", "[Mouse]\nWheelScrollLines=5\n"},
        {"[Keyboard]\nRepeatRate=25\n", "[Keyboard]\nRepeatRate=25\n\n[Mouse]\nWheelScrollLines=5\n"},
        {"[Mouse]\nWheelScrollLines=3\nXLbInptAccelProfileFlat=true\n",
         "[Mouse]\nWheelScrollLines=5\nXLbInptAccelProfileFlat=true\n"},
        {"[Mouse]\n WheelScrollLines = 3\n", "[Mouse]\nWheelScrollLines=5\n"},
        {"[Mouse]\ncursorTheme=x\n\n[Other]\nWheelScrollLines=9\n",
         "[Mouse]\ncursorTheme=x\nWheelScrollLines=5\n\n[Other]\nWheelScrollLines=9\n"},
        {"# comment\n[Other]\nWheelScrollLinesX=1", "# comment\n[Other]\nWheelScrollLinesX=1\n\n[Mouse]\nWheelScrollLines=5\n"},
        {"[Mouse]\nWheelScrollLines=5\n", "[Mouse]\nWheelScrollLines=5\n"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(vela::SetIniEntry(c.before, "Mouse", "WheelScrollLines", "5"), QString(c.after))
            << c.before;
}

QString readText(const QString &path)
{
    return QString::fromUtf8(vela::test::readFile(path));
}

TEST(KdePointerSystem, WritesWheelLinesIntoBothFilesKeepingTheRest)
{
    vela::test::TempDir dir;
    ASSERT_TRUE(vela::test::writeFile(dir.file("kdeglobals"), "[General]\nColorScheme=BreezeDark\n\n[KDE]\nWheelScrollLines=3\n"));
    vela::KdePointerSystem kde(dir.path());
    PointerValues values;
    values.scrollLines = 6;
    vela::ApplyPointerSettings(values, kde);
    EXPECT_EQ(readText(dir.file("kcminputrc")), "[Mouse]\nWheelScrollLines=6\n");
    EXPECT_EQ(readText(dir.file("kdeglobals")),
              "[General]\nColorScheme=BreezeDark\n\n[KDE]\nWheelScrollLines=6\n");

    // A screen per notch has no KDE entry: the files stay as they are.
    kde.setWheelScrollLines(vela::kWheelPageScroll);
    EXPECT_EQ(readText(dir.file("kcminputrc")), "[Mouse]\nWheelScrollLines=6\n");
}

TEST(KdePointerSystem, AFileTooLargeToBeOursIsLeftAlone)
{
    vela::test::TempDir dir;
    QByteArray huge = "[Mouse]\nWheelScrollLines=3\n" + QByteArray(2 << 20, '#');
    ASSERT_TRUE(vela::test::writeFile(dir.file("kcminputrc"), huge));
    vela::KdePointerSystem(dir.path()).setWheelScrollLines(5);
    EXPECT_EQ(vela::test::readFile(dir.file("kcminputrc")), huge);
}

} // namespace
