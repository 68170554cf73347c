#include "platform/paths.h"
#include "tests/support/temp_dir.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

TEST(EnsureFolder, CreatesMissingParentsOfAFileButNotTheFile)
{
    vela::test::TempDir dir;
    const QString file = dir.path() + "/Kestra/Vela PRO Software/Profiles/Default1.profile";
    vela::EnsureFolder(file);
    EXPECT_TRUE(QFileInfo(dir.path() + "/Kestra/Vela PRO Software/Profiles").isDir());
    EXPECT_FALSE(QFileInfo::exists(file));
}

TEST(EnsureFolder, ALastComponentWithADotIsTakenForAFile)
{
    vela::test::TempDir dir;
    vela::EnsureFolder(dir.path() + "/out/release1.2");
    EXPECT_TRUE(QFileInfo(dir.path() + "/out").isDir());
    EXPECT_FALSE(QFileInfo::exists(dir.path() + "/out/release1.2"));

    vela::EnsureFolder(dir.path() + "/a.b/Macros");
    EXPECT_TRUE(QFileInfo(dir.path() + "/a.b/Macros").isDir());
}

TEST(AppDataFolder, FollowsXdgConfigHome)
{
    qputenv("XDG_CONFIG_HOME", "/tmp/xdg-test");
    EXPECT_EQ(vela::appDataFolder(), "/tmp/xdg-test");
    qputenv("XDG_CONFIG_HOME", "relative");
    EXPECT_EQ(vela::appDataFolder(), QDir::homePath() + "/.config");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(vela::appDataFolder(), QDir::homePath() + "/.config");
}

TEST(ProgramFolder, IsTheFolderOfTheRunningExecutable)
{
    EXPECT_TRUE(QFileInfo(vela::programFolder() + "/platform_paths_test").isExecutable());
}
