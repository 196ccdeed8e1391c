#include "platform/RegistryString.h"
#include "platform/AppDataFolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace tarnwood {
namespace {

class ConfigDirs : public ::testing::Test {
protected:
    void SetDirs(const std::string& value) { setenv("XDG_CONFIG_DIRS", value.c_str(), 1); }
    void WriteConf(const test::TempDir& dir, const std::string& text)
    {
        std::filesystem::create_directories(dir.Path() / "Velquist");
        test::WriteFileBytes(dir.File("Velquist/Tarnwood.conf"), text);
    }
    test::TempDir first;
    test::TempDir second;
};

TEST_F(ConfigDirs, ReadsTheValueFromTheFirstDirectoryHoldingTheFile)
{
    WriteConf(second, "# install\n[Other]\nPath=/wrong\n[Settings]\n Path = /opt/tarnwood \n");
    SetDirs(first.Path().string() + ":" + second.Path().string());
    RegistryString path("Software\\Velquist\\Tarnwood\\Settings", "Path");
    EXPECT_TRUE(path.HasValue());
    EXPECT_EQ(path.Text(), "/opt/tarnwood");
    EXPECT_EQ(path.Join("main.pak"), "/opt/tarnwoodmain.pak");

    WriteConf(first, "[Settings]\nOther=1\n");
    RegistryString shadowed("Software\\Velquist\\Tarnwood\\Settings", "Path");
    EXPECT_FALSE(shadowed.HasValue()) << "the first file found is the only one read";
    EXPECT_EQ(shadowed.Text(), "");
}

TEST_F(ConfigDirs, MissingKeyOrFileLeavesNoValue)
{
    SetDirs(first.Path().string());
    EXPECT_FALSE(RegistryString("Software\\Velquist\\Tarnwood\\Settings", "Path").HasValue());
    WriteConf(first, "[Settings]\nPathX=/a\n");
    EXPECT_FALSE(RegistryString("Software\\Velquist\\Tarnwood\\Settings", "Path").HasValue());
    EXPECT_FALSE(RegistryString("Software\\Velquist\\Tarnwood\\Misc", "Path").HasValue());
}

TEST_F(ConfigDirs, AppDataFolderIsTheFirstDirectoryCreatedWhenMissing)
{
    std::string missing = (first.Path() / "deeper" / "xdg").string();
    SetDirs(missing + ":" + second.Path().string());
    EXPECT_EQ(MachineAppDataFolder(), missing);
    EXPECT_TRUE(std::filesystem::is_directory(missing));
    unsetenv("XDG_CONFIG_DIRS");
    EXPECT_EQ(FirstConfigDirectory(), "/etc/xdg");
}

TEST_F(ConfigDirs, InstallDirectoryGetsATrailingSlash)
{
    WriteConf(first, "[Settings]\nPath=/opt/tarnwood\n");
    SetDirs(first.Path().string());
    EXPECT_EQ(InstallDirectory().Text(), "/opt/tarnwood/");
    EXPECT_EQ(InstallDirectory().Join("main.pak"), "/opt/tarnwood/main.pak");
}

TEST_F(ConfigDirs, InstallDirectoryDefaultsToTheExecutablesFolder)
{
    SetDirs(first.Path().string());
    std::string exeDir = std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/";
    EXPECT_EQ(InstallDirectory().Text(), exeDir);
}

}
}
