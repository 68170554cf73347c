#include "app/skin_layout.h"
#include "tests/support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <set>

using namespace vela::skin;
using vela::SkinKind;

namespace {

const QString kSkins = QStringLiteral(VELA_BIN_DIR "/Vela_Pro_Skins");

// Look states the window's sheets come in: pop-ups have no Disable sheet,
// except the key capture.
int stateCount(const Window &w)
{
    return vela::skinFileIndex(w.sheets, 3) >= 0 ? 4 : 3;
}

bool hasLooks(Kind kind)
{
    switch (kind) {
    case Kind::Tab:
    case Kind::Button:
    case Kind::CloseButton:
    case Kind::ProfileButton:
    case Kind::MenuButton:
    case Kind::ComboButton:
    case Kind::CheckBox:
    case Kind::Toggle:
    case Kind::Radio:
    case Kind::TargetButton:
        return true;
    default:
        return false;
    }
}

} // namespace

TEST(SkinLayout, EveryControlSitsInItsWindowAndCutsFromItsOwnSheets)
{
    for (const Window &w : windows()) {
        SCOPED_TRACE(w.name.toString().toStdString());
        EXPECT_EQ(&window(w.id), &w);
        const QRect bounds(QPoint(0, 0), w.size);
        std::set<int> ids;
        for (const Control &c : w.controls) {
            SCOPED_TRACE(c.id);
            EXPECT_TRUE(bounds.contains(c.rect)) << "control outside its window";
            EXPECT_TRUE(bounds.contains(c.cutRect())) << "cut outside the sheet";
            if (c.id) {
                EXPECT_TRUE(ids.insert(c.id).second) << "duplicate id";
            }
            if (c.skinId < 0)
                continue;
            const vela::SkinSource source = vela::skinSource(c.skinId, 0);
            if (c.kind == Kind::Preview || c.kind == Kind::Picture) {
                EXPECT_NE(source.kind, SkinKind::Invalid);
                if (source.kind != SkinKind::Cut)
                    continue;
            }
            ASSERT_EQ(source.kind, SkinKind::Cut);
            EXPECT_EQ(vela::skinFiles()[source.file].family, w.sheets);
            for (int state = 1; state < stateCount(w); ++state)
                EXPECT_EQ(vela::skinSource(c.skinId, state).kind, SkinKind::Cut) << "state " << state;
        }
        const vela::SkinSource background = vela::skinSource(w.backgroundSkinId, 0);
        EXPECT_TRUE(background.kind == SkinKind::Shared || background.kind == SkinKind::Copy);
    }
}

TEST(SkinLayout, NamesTheControlsTheWindowsLookFor)
{
    const Control *tab = findControl(WindowId::Main, 1000);
    ASSERT_TRUE(tab);
    EXPECT_EQ(tab->kind, Kind::Tab);
    EXPECT_EQ(tab->art, u"Mouse Settings");
    EXPECT_EQ(tab->rect, QRect(176, 29, 126, 18));

    const Control *box = findControl(WindowId::MouseSettings, 1028);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->kind, Kind::CheckBox);
    EXPECT_EQ(box->art, u"125 Hz");

    const Control *slider = findControl(WindowId::MouseSettings, 1014);
    ASSERT_TRUE(slider);
    EXPECT_EQ(slider->kind, Kind::Slider);
    EXPECT_EQ(slider->caption, u"Double Click");

    // Stop Record sits on Start Record but is cut from below it.
    const Control *stop = findControl(WindowId::MacroSettings, 1068);
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->skinId, 141);
    EXPECT_EQ(stop->cutRect(), QRect(594, 244, 104, 33));
    EXPECT_EQ(findControl(WindowId::Main, 0), nullptr);

    // The close button's normal look is on the Over sheet, its hover look on
    // the Normal sheet.
    const Control *close = findControl(WindowId::Main, 1044);
    ASSERT_TRUE(close);
    EXPECT_EQ(sheetForLook(*close, 0), 1);
    EXPECT_EQ(sheetForLook(*close, 1), 0);
    EXPECT_EQ(sheetForLook(*close, 2), 2);
    EXPECT_EQ(sheetForLook(*tab, 0), 0);
}

TEST(SkinLayout, FindsThePopUpOfEveryKind)
{
    const std::pair<int, WindowId> kinds[] = {
        {167, WindowId::LeftClickWarn}, {171, WindowId::DeleteMacro}, {175, WindowId::SensorSQAT1},
        {179, WindowId::SensorSQAT2},   {185, WindowId::SensorSQAT3}, {188, WindowId::ResetWarn},
        {192, WindowId::UpdateWarn},    {196, WindowId::AssignKey},
    };
    for (auto [kind, id] : kinds) {
        ASSERT_TRUE(popUpWindow(kind)) << kind;
        EXPECT_EQ(popUpWindow(kind)->id, id);
    }
    EXPECT_EQ(popUpWindow(162), nullptr) << "the rename dialog is not a CPopDlg kind";
    EXPECT_EQ(popUpWindow(168), nullptr);
    EXPECT_EQ(findControl(WindowId::SensorSQAT3, 1077), nullptr) << "kind 185 has no Cancel";
}

// The generated skin set, as the build leaves it beside the programs.
class GeneratedSkins : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        skins = new vela::SkinCatalogue(kSkins);
        skins->setFailureHandler([](const QString &, const QString &) { ++failures; });
        skins->load();
    }
    static void TearDownTestSuite()
    {
        delete skins;
        skins = nullptr;
    }
    static QImage cut(const Control &c, int state)
    {
        const QRect r = c.cutRect();
        return skins->lookup(c.skinId, state, r.left(), r.top(), r.right() + 1, r.bottom() + 1);
    }

    static inline vela::SkinCatalogue *skins = nullptr;
    static inline int failures = 0;
};

TEST_F(GeneratedSkins, HoldEveryFileAtItsWindowsSize)
{
    for (int i = 0; i < vela::kSkinFileCount; ++i)
        EXPECT_FALSE(skins->image(i).isNull()) << vela::skinFiles()[i].name.toString().toStdString();
    for (const Window &w : windows())
        for (int state = 0; state < stateCount(w); ++state)
            EXPECT_EQ(skins->image(vela::skinFileIndex(w.sheets, state)).size(), w.size)
                << w.name.toString().toStdString() << " state " << state;
    EXPECT_EQ(skins->image(vela::skinFileIndex(u"Color_Settings_BK.png")).size(), QSize(1024, 427));
    EXPECT_EQ(skins->image(vela::skinFileIndex(u"Macro_Settings_BK.bmp")).size(), QSize(1024, 427));
    EXPECT_EQ(skins->image(vela::skinFileIndex(u"Vela.png")).size(), QSize(270, 369));
    for (int q = 0; q <= 100; q += 10)
        EXPECT_EQ(vela::LoadImage(kSkins + u'/' + QString::number(q) + ".bmp").size(), QSize(140, 85)) << q;
    for (int f = 1; f <= 3; ++f)
        EXPECT_EQ(vela::LoadImage(kSkins + QStringLiteral("/TQA2-%1.bmp").arg(f)).size(), QSize(200, 110));
}

TEST_F(GeneratedSkins, ShowEachControlDifferentlyInEachLook)
{
    for (const Window &w : windows())
        for (const Control &c : w.controls) {
            if (!hasLooks(c.kind))
                continue;
            SCOPED_TRACE(w.name.toString().toStdString() + " control " + std::to_string(c.id));
            const QImage normal = cut(c, 0), over = cut(c, 1), down = cut(c, 2);
            ASSERT_EQ(normal.size(), c.cutRect().size());
            EXPECT_NE(normal, over);
            EXPECT_NE(over, down);
            EXPECT_NE(normal, down);
        }
    EXPECT_EQ(failures, 0);
}

TEST_F(GeneratedSkins, LetTheLightingZonesGlowThroughOnly)
{
    const QImage mouse = skins->image(vela::skinFileIndex(u"Vela.png"));
    ASSERT_TRUE(mouse.hasAlphaChannel());
    const QRect zoneA(QPoint(115, 93), QPoint(144, 145)), zoneB(QPoint(116, 288), QPoint(148, 316));
    int seeThroughA = 0, seeThroughB = 0, leaks = 0;
    for (int y = 0; y < mouse.height(); ++y)
        for (int x = 0; x < mouse.width(); ++x) {
            const bool clear = qAlpha(mouse.pixel(x, y)) < 128;
            if (zoneA.contains(x, y))
                seeThroughA += clear;
            else if (zoneB.contains(x, y))
                seeThroughB += clear;
            else
                leaks += qAlpha(mouse.pixel(x, y)) != 255;
        }
    EXPECT_GT(seeThroughA, 300);
    EXPECT_GT(seeThroughB, 150);
    EXPECT_EQ(leaks, 0);
}

TEST(SkinGenerator, DrawsTheSameBytesEveryTime)
{
    vela::test::TempDir dir;
    QProcess generator;
    generator.setProcessChannelMode(QProcess::ForwardedChannels);
    generator.start(QStringLiteral(VELA_BIN_DIR "/vela-skingen"), {dir.path()});
    ASSERT_TRUE(generator.waitForFinished(120000));
    ASSERT_EQ(generator.exitCode(), 0);
    const QStringList files = QDir(kSkins).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 70 + 11 + 3);
    for (const QString &name : files) {
        QFile built(kSkins + u'/' + name), again(dir.file(name));
        ASSERT_TRUE(built.open(QIODevice::ReadOnly) && again.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_TRUE(built.readAll() == again.readAll()) << name.toStdString();
    }
}
