#include "app/skin_catalogue.h"
#include "platform/paths.h"
#include "tests/support/temp_dir.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>

using vela::SkinCatalogue;
using vela::SkinKind;

namespace {

// Every catalogue file as a small image whose red channel is its index, so a
// lookup result tells which file it came from; green and blue are x and y.
class SkinFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < vela::kSkinFileCount; ++i)
            write(i);
    }

    void write(int index)
    {
        QImage image(64, 48, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgb(index, x, y));
        const QString name = vela::skinFiles()[index].name.toString();
        ASSERT_TRUE(image.save(dir.file(name), name.endsWith(".png") ? "PNG" : "BMP"));
    }

    vela::test::TempDir dir;
};

struct Failures {
    int count = 0;
    QString text, caption;
    vela::SkinFailureHandler handler()
    {
        return [this](const QString &t, const QString &c) {
            ++count;
            text = t;
            caption = c;
        };
    }
};

int fileOf(const QImage &image)
{
    return qRed(image.pixel(0, 0));
}

} // namespace

// The id table, row by row: kind and file of each id (first and last of a
// range), with its states.
TEST(SkinSource, ServesEveryRowOfTheIdTable)
{
    struct Case {
        int id, state;
        SkinKind kind;
        const char16_t *file;
    };
    const Case cases[] = {
        {0, 2, SkinKind::Copy, u"Main_Normal.bmp"},
        {1, 0, SkinKind::Cut, u"Main_Normal.bmp"},
        {21, 3, SkinKind::Cut, u"Main_Disable.bmp"},
        {22, 1, SkinKind::Shared, u"Mouse_Settings_Normal.bmp"},
        {23, 0, SkinKind::Copy, u"Mouse_settings_vela.png"},
        {24, 1, SkinKind::Cut, u"Mouse_Settings_Over.bmp"},
        {49, 2, SkinKind::Cut, u"Mouse_Settings_Down.bmp"},
        {50, 0, SkinKind::Shared, u"Sensor_Performance_Normal.bmp"},
        {61, 3, SkinKind::Cut, u"Sensor_Performance_Disabel.bmp"},
        {63, 1, SkinKind::Cut, u"Sensor_Performance_Over.bmp"},
        {81, 0, SkinKind::Cut, u"Sensor_Performance_Normal.bmp"},
        {82, 2, SkinKind::Cut, u"Color_Settings_Down.bmp"},
        {86, 3, SkinKind::Cut, u"Color_Settings_Disable.bmp"},
        {87, 0, SkinKind::Shared, u"Color_Settings_BK.png"},
        {88, 0, SkinKind::Cut, u"Color_Settings_Normal.bmp"},
        {128, 1, SkinKind::Cut, u"Color_Settings_Over.bmp"},
        {129, 0, SkinKind::Copy, u"Vela.png"},
        {130, 0, SkinKind::Cut, u"Color_Settings_BK.png"},
        {131, 3, SkinKind::Cut, u"Color_Settings_Disable.bmp"},
        {132, 0, SkinKind::Copy, u"ColorPalete.png"},
        {133, 0, SkinKind::Shared, u"Macro_Settings_BK.bmp"},
        {134, 0, SkinKind::Cut, u"Macro_Settings_Normal.bmp"},
        {141, 2, SkinKind::Cut, u"Macro_Settings_Down.bmp"},
        {142, 0, SkinKind::Shared, u"Support_Normal.bmp"},
        {148, 3, SkinKind::Cut, u"Support_Disable.bmp"},
        {149, 0, SkinKind::Copy, u"Color_slider.png"},
        {150, 0, SkinKind::Copy, u"Slider_Normal.png"},
        {151, 0, SkinKind::Copy, u"Slider_Disable.png"},
        {152, 0, SkinKind::Copy, u"Slider1_Over.png"},
        {156, 0, SkinKind::Copy, u"Slider5_Over.png"},
        {157, 0, SkinKind::Copy, u"Scroll_Normal.bmp"},
        {158, 0, SkinKind::Cut, u"Scroll_Down.bmp"},
        {160, 1, SkinKind::Cut, u"Scroll_Over.bmp"},
        {161, 0, SkinKind::Copy, u"ColorPanel.bmp"},
        {162, 0, SkinKind::Shared, u"ReName_Normal.bmp"},
        {166, 3, SkinKind::Cut, u"ReName_Disable.bmp"},
        {167, 0, SkinKind::Shared, u"LeftClickWarn_Normal.bmp"},
        {170, 2, SkinKind::Cut, u"LeftClickWarn_Down.bmp"},
        {171, 0, SkinKind::Shared, u"DeleteMacro_Normal.bmp"},
        {174, 1, SkinKind::Cut, u"DeleteMacro_Over.bmp"},
        {175, 0, SkinKind::Shared, u"SensorSQAT1_Normal.bmp"},
        {178, 2, SkinKind::Cut, u"SensorSQAT1_Down.bmp"},
        {179, 0, SkinKind::Shared, u"SensorSQAT2_Normal.bmp"},
        {184, 1, SkinKind::Cut, u"SensorSQAT2_Over.bmp"},
        {185, 0, SkinKind::Shared, u"SensorSQAT3_Normal.bmp"},
        {187, 2, SkinKind::Cut, u"SensorSQAT3_Down.bmp"},
        {188, 0, SkinKind::Shared, u"ResetWarn_Normal.bmp"},
        {191, 0, SkinKind::Cut, u"ResetWarn_Normal.bmp"},
        {192, 0, SkinKind::Shared, u"UpdateWarn_Normal.bmp"},
        {195, 2, SkinKind::Cut, u"UpdateWarn_Down.bmp"},
        {196, 0, SkinKind::Shared, u"AssignKey_Normal.bmp"},
        {200, 3, SkinKind::Cut, u"AssignKey_Disable.bmp"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "id " << c.id << " state " << c.state);
        const vela::SkinSource source = vela::skinSource(c.id, c.state);
        EXPECT_EQ(source.kind, c.kind);
        ASSERT_GE(source.file, 0);
        EXPECT_EQ(vela::skinFiles()[source.file].name, QStringView(c.file));
    }
}

TEST(SkinSource, RejectsIdsAndStatesOutsideTheTable)
{
    const std::pair<int, int> invalid[] = {
        {62, 0}, {201, 0}, {-1, 0}, {1, 4}, {1, -1}, {130, 1},
        {158, 2}, {159, 3}, {168, 3}, {187, 3}, {197, 4},
    };
    for (auto [id, state] : invalid)
        EXPECT_EQ(vela::skinSource(id, state).kind, SkinKind::Invalid) << id << "/" << state;
}

TEST(SkinFiles, AreSeventyInLoadOrderWithTheSensorSpelling)
{
    const auto files = vela::skinFiles();
    EXPECT_EQ(files[0].name, u"Main_Normal.bmp");
    EXPECT_EQ(files[11].name, u"Sensor_Performance_Disabel.bmp");
    EXPECT_EQ(files[12].name, u"Color_Settings_BK.png");
    EXPECT_EQ(files[69].name, u"AssignKey_Disable.bmp");
    EXPECT_EQ(vela::skinFileIndex(vela::SkinFamily::Sensor, 3), 11);
    EXPECT_EQ(vela::skinFileIndex(vela::SkinFamily::LeftClickWarn, 3), -1);
}

TEST_F(SkinFolder, LookupServesEveryKindFromTheRightFile)
{
    SkinCatalogue skins(dir.path());
    Failures failures;
    skins.setFailureHandler(failures.handler());

    // A lookup before any load loads the whole catalogue.
    const QImage shared = skins.lookup(22, 0);
    EXPECT_TRUE(skins.isLoaded());
    EXPECT_EQ(fileOf(shared), vela::skinFileIndex(u"Mouse_Settings_Normal.bmp"));
    EXPECT_EQ(shared.size(), QSize(64, 48)) << "shared images ignore the rectangle";

    const QImage copy = skins.lookup(129, 0, 1, 1, 2, 2);
    EXPECT_EQ(fileOf(copy), vela::skinFileIndex(u"Vela.png"));
    EXPECT_EQ(copy.size(), QSize(64, 48));

    for (int state = 0; state < 4; ++state) {
        const QImage cut = skins.lookup(5, state, 0, 0, 4, 4);
        EXPECT_EQ(fileOf(cut), vela::skinFileIndex(vela::SkinFamily::Main, state));
    }
    EXPECT_EQ(fileOf(skins.lookup(158, 0, 0, 0, 4, 4)), vela::skinFileIndex(u"Scroll_Down.bmp"));
    EXPECT_EQ(fileOf(skins.lookup(158, 1, 0, 0, 4, 4)), vela::skinFileIndex(u"Scroll_Over.bmp"));
    EXPECT_EQ(failures.count, 0);
}

TEST_F(SkinFolder, ACutHoldsTheSheetsPixelsOfItsRectangle)
{
    SkinCatalogue skins(dir.path());
    const QImage cut = skins.lookup(30, 1, 10, 20, 30, 25);
    ASSERT_EQ(cut.size(), QSize(20, 5));
    const int file = vela::skinFileIndex(vela::SkinFamily::MouseSettings, 1);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(cut.pixel(x, y), qRgb(file, 10 + x, 20 + y)) << x << "," << y;

    // Owned by the caller: painting into it leaves the catalogue untouched.
    QImage mine = skins.lookup(30, 1, 0, 0, 8, 8);
    mine.fill(Qt::red);
    EXPECT_EQ(skins.lookup(30, 1, 0, 0, 8, 8).pixel(0, 0), qRgb(file, 0, 0));
    QImage copy = skins.lookup(0, 0);
    copy.fill(Qt::red);
    EXPECT_EQ(skins.lookup(0, 0).pixel(0, 0), qRgb(0, 0, 0));

    EXPECT_TRUE(skins.lookup(30, 1, 10, 20, 10, 25).isNull()) << "empty rectangle";
    EXPECT_TRUE(skins.lookup(30, 1, 30, 20, 10, 25).isNull()) << "inverted rectangle";
}

TEST_F(SkinFolder, BadIdsAndStatesReportAndGiveNone)
{
    SkinCatalogue skins(dir.path());
    Failures failures;
    skins.setFailureHandler(failures.handler());
    EXPECT_TRUE(skins.lookup(62, 0, 0, 0, 4, 4).isNull());
    EXPECT_EQ(failures.count, 1);
    EXPECT_EQ(failures.text, "ui load failed!");
    EXPECT_EQ(failures.caption, "Vela PRO Software");
    EXPECT_TRUE(skins.lookup(158, 2, 0, 0, 4, 4).isNull());
    EXPECT_TRUE(skins.lookup(201, 0).isNull());
    EXPECT_EQ(failures.count, 3);
}

TEST_F(SkinFolder, AMissingSheetFailsOnlyTheLookupsThatNeedIt)
{
    ASSERT_TRUE(QFile::remove(dir.file("Main_Over.bmp")));
    SkinCatalogue skins(dir.path());
    Failures failures;
    skins.setFailureHandler(failures.handler());
    skins.load();
    EXPECT_EQ(failures.count, 0) << "loading itself reports nothing";
    EXPECT_FALSE(skins.lookup(1, 0, 0, 0, 4, 4).isNull());
    EXPECT_TRUE(skins.lookup(1, 1, 0, 0, 4, 4).isNull());
    EXPECT_EQ(failures.count, 1);
    // Loading happens once: a file that appears later is not picked up.
    write(vela::skinFileIndex(u"Main_Over.bmp"));
    skins.load();
    EXPECT_TRUE(skins.lookup(1, 1, 0, 0, 4, 4).isNull());
    EXPECT_EQ(failures.count, 2);
}

TEST_F(SkinFolder, AnUndecodableFileCountsAsMissing)
{
    QFile junk(dir.file("Main_Down.bmp"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly | QIODevice::Truncate));
    junk.write("BM this is not a bitmap");
    junk.close();
    SkinCatalogue skins(dir.path());
    Failures failures;
    skins.setFailureHandler(failures.handler());
    EXPECT_TRUE(skins.lookup(3, 2, 0, 0, 4, 4).isNull());
    EXPECT_EQ(failures.count, 1);
}

TEST(SkinFailure, TheDefaultHandlerMakesAQuitRequestWithoutBlocking)
{
    int argc = 1;
    char name[] = "test";
    char *argv[] = {name};
    QCoreApplication app(argc, argv);
    SkinCatalogue skins(QStringLiteral("/nonexistent-skin-folder"));
    EXPECT_TRUE(skins.lookup(0, 0).isNull());
    // The quit request is queued: the event loop ends at once with code 0.
    QTimer::singleShot(5000, &app, [] { QCoreApplication::exit(99); });
    EXPECT_EQ(app.exec(), 0);
}

namespace {

QByteArray bmp(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

QImage pattern(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 37 + y, y * 11 + 3, (x ^ y) * 5));
    return image;
}

} // namespace

// Widths 1-5 cover every row padding; the direct path must agree with Qt's
// own decoder to the pixel, format and resolution.
TEST(DecodeImage, GivesTheSamePixelsAsQtForBitmaps)
{
    for (int w = 1; w <= 5; ++w) {
        const QByteArray bytes = bmp(pattern(w, 3));
        const QImage direct = vela::DecodeImage(bytes);
        const QImage qt = QImage::fromData(bytes, "BMP");
        ASSERT_FALSE(direct.isNull());
        EXPECT_EQ(direct.format(), qt.format());
        EXPECT_EQ(direct, qt) << "width " << w;
        EXPECT_EQ(direct.dotsPerMeterX(), qt.dotsPerMeterX());
    }

    // Other depths go to Qt's decoder once the file is known to be whole.
    const QByteArray indexed = bmp(pattern(9, 4).convertToFormat(QImage::Format_Indexed8));
    ASSERT_EQ(indexed[28], 8);
    EXPECT_EQ(vela::DecodeImage(indexed), QImage::fromData(indexed, "BMP"));
    EXPECT_TRUE(vela::DecodeImage(indexed.left(indexed.size() - 3)).isNull());

    // A top-down file (negative height) is stored first row first.
    QByteArray topDown = bmp(pattern(4, 3));
    const qint32 height = -3;
    memcpy(topDown.data() + 22, &height, 4);
    const QByteArray rows = topDown.mid(54);
    QByteArray flipped = topDown.left(54);
    for (int y = 2; y >= 0; --y)
        flipped += rows.mid(y * 12, 12);
    EXPECT_EQ(vela::DecodeImage(flipped), pattern(4, 3));
    EXPECT_EQ(vela::DecodeImage(flipped), QImage::fromData(flipped, "BMP"));
}

TEST(DecodeImage, RejectsWhatCannotBeDecodedWithoutReadingPastTheData)
{
    const QByteArray good = bmp(pattern(40, 30));
    EXPECT_TRUE(vela::DecodeImage({}).isNull());
    EXPECT_TRUE(vela::DecodeImage("not an image at all").isNull());
    // Cut short inside the header and inside the pixels. A detached copy, so
    // a read past its end would land outside the allocation.
    for (int size : {2, 20, 53, 54, 200, int(good.size()) - 1}) {
        const QByteArray truncated(good.constData(), size);
        EXPECT_TRUE(vela::DecodeImage(truncated).isNull()) << size;
    }
    // Hostile headers: huge size, zero width, offset past the end.
    const auto patched = [&](int at, qint32 value) {
        QByteArray b = good;
        memcpy(b.data() + at, &value, 4);
        return b;
    };
    EXPECT_TRUE(vela::DecodeImage(patched(18, 1 << 30)).isNull());
    EXPECT_TRUE(vela::DecodeImage(patched(18, 0)).isNull());
    EXPECT_TRUE(vela::DecodeImage(patched(10, 1 << 20)).isNull());

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    pattern(40, 30).save(&buffer, "PNG");
    EXPECT_EQ(vela::DecodeImage(png), pattern(40, 30));
    EXPECT_TRUE(vela::DecodeImage(png.left(png.size() / 2)).isNull());
}

TEST(LoadImage, GivesNoneForMissingAndUnreadableFiles)
{
    vela::test::TempDir dir;
    EXPECT_TRUE(vela::LoadImage(dir.file("missing.bmp")).isNull());
    EXPECT_TRUE(vela::LoadImage(dir.path()).isNull()) << "a folder";
    QFile empty(dir.file("empty.png"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    EXPECT_TRUE(vela::LoadImage(dir.file("empty.png")).isNull());
    // Something that would block a plain open is refused at once.
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.file("fifo.bmp")).constData(), 0600), 0);
    EXPECT_TRUE(vela::LoadImage(dir.file("fifo.bmp")).isNull());
    ASSERT_TRUE(pattern(7, 5).save(dir.file("ok.bmp"), "BMP"));
    EXPECT_EQ(vela::LoadImage(dir.file("ok.bmp")), pattern(7, 5));
}

TEST(OpenLink, StartsTheOpenerAndNeverWaitsForIt)
{
    vela::test::TempDir dir;
    const QString script = dir.file("open.sh");
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // Writes its argument, then stays until the test releases it (at most 10 s),
    // like a browser that keeps running.
    file.write(QStringLiteral("#!/bin/sh\ncd '%1'\nprintf '%s' \"$1\" > opened.tmp && mv opened.tmp opened\n"
                              "i=0; while [ ! -e release ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i+1)); done\n"
                              "touch done\n")
                   .arg(dir.path())
                   .toUtf8());
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("VELA_OPEN_COMMAND", script.toUtf8());

    vela::OpenLink(QStringLiteral("-h"));
    vela::OpenLink(QStringLiteral("https://example.org/faq?a=1&b='2'"));
    EXPECT_FALSE(QFile::exists(dir.file("done"))) << "returned only after the opener ended";
    QFile(dir.file("release")).open(QIODevice::WriteOnly);
    QDeadlineTimer deadline(15000);
    while (!QFile::exists(dir.file("done")) && !deadline.hasExpired())
        QThread::msleep(20);
    qunsetenv("VELA_OPEN_COMMAND");
    QFile opened(dir.file("opened"));
    ASSERT_TRUE(opened.open(QIODevice::ReadOnly));
    EXPECT_EQ(opened.readAll(), "https://example.org/faq?a=1&b='2'") << "the option-like text was refused";
}

TEST(SkinFolderPath, IsBesideTheProgramOrInTheInstalledShareFolder)
{
    const QString program = vela::programFolder();
    ASSERT_FALSE(QFileInfo::exists(program + "/Vela_Pro_Skins"));
    EXPECT_EQ(vela::skinFolder(), program + "/Vela_Pro_Skins/");

    // An installed layout: <prefix>/bin/<program> and <prefix>/share/vela-pro-software.
    const QString share = QDir::cleanPath(program + "/../share/vela-pro-software");
    ASSERT_FALSE(QFileInfo::exists(share)) << "left over from an earlier run";
    ASSERT_TRUE(QDir().mkpath(share + "/Vela_Pro_Skins"));
    const QString installed = vela::skinFolder();
    QDir(share).removeRecursively();
    QDir().rmdir(QDir::cleanPath(share + "/.."));
    EXPECT_EQ(installed, share + "/Vela_Pro_Skins/");
}
