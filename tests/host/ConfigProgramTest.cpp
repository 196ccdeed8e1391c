#include "app/ConfigProgram.h"
#include "app/Settings.h"
#include "app/SettingsWriter.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace tarnwood {
namespace {

using test::ChildProcess;
using test::ReadFileBytes;
using test::TempDir;

const std::string kConfig = std::string(TARNWOOD_INSTALL_DIR) + "/config";

// The example settings file: exitOnMouseMove on, 1024 x 768, only the frame
// rate shown.
const std::string kExampleFile{
    "\x01\x00\x00\x00" "\x00\x00\x00\x00" "\x00\x00\x00\x00" "\x01" "\x00\x00\x00\x00" "\x03\x00\x00\x00"
    "\x01\x00\x00\x00\x00\x00\x00",
    28};

Settings ReadSettings(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return in ? Settings(in) : Settings();
}

std::vector<std::string> FolderEntries(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void ExpectSameSettings(const Settings& actual, const Settings& expected)
{
    EXPECT_EQ(EncodeSettings(actual), EncodeSettings(expected));
}

TEST(SettingsWriter, EncodesTheExampleFileAndReadsBackAsWritten)
{
    Settings example;
    example.exitOnMouseMove = 1;
    example.displayMode = 3;
    example.showFrameRate = 1;
    example.showClock = 0;
    example.largeClock = 0;
    example.showCalendar = 0;
    EXPECT_EQ(EncodeSettings(example), kExampleFile);

    Settings every;
    every.analogClock = every.clock24Hour = every.calendarRus = 1;
    every.displayMode = 9;
    std::istringstream in(EncodeSettings(every));
    ExpectSameSettings(Settings(in), every);
}

// The config program as installed, on a machine-wide folder of the test's own.
class ConfigProgramRun : public ::testing::Test {
protected:
    ChildProcess Run(std::vector<std::string> arguments, const std::string& configDirs = {})
    {
        arguments.insert(arguments.begin(), kConfig);
        return ChildProcess(arguments, {{"XDG_CONFIG_DIRS", configDirs.empty() ? folder.Path().string() : configDirs}});
    }

    std::string SettingsFile() const { return folder.File("velquist_Tarnwood_cfg"); }

    TempDir folder;
};

TEST_F(ConfigProgramRun, SetWritesWhatTheSceneReadsAndKeepsOtherFields)
{
    ChildProcess set = Run({"--set", "showFrameRate=on", "showClock=off", "largeClock=off", "showCalendar=off",
                            "exitOnMouseMove=on", "displayMode=1024x768"});
    ASSERT_EQ(set.Wait(10000), 0) << set.Stderr();
    EXPECT_EQ(ReadFileBytes(SettingsFile()), kExampleFile);
    struct stat info{};
    ASSERT_EQ(stat(SettingsFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u) << "every user of the machine reads the settings";

    ChildProcess change = Run({"--set", "displayMode=9", "calendarRus=on", "showFrameRate=off"});
    ASSERT_EQ(change.Wait(10000), 0) << change.Stderr();
    Settings expected;
    expected.exitOnMouseMove = 1;
    expected.showClock = expected.largeClock = expected.showCalendar = 0;
    expected.calendarRus = 1;
    expected.displayMode = 9;
    ExpectSameSettings(ReadSettings(SettingsFile()), expected);

    ChildProcess show = Run({});
    ASSERT_EQ(show.Wait(10000), 0);
    EXPECT_NE(show.Stdout().find("displayMode      9 (1600x1200)"), std::string::npos) << show.Stdout();
    EXPECT_NE(show.Stdout().find("calendarRus      on"), std::string::npos) << show.Stdout();
    EXPECT_NE(show.Stdout().find("config --set NAME=VALUE"), std::string::npos) << show.Stdout();

    ChildProcess reset = Run({"--reset"});
    ASSERT_EQ(reset.Wait(10000), 0);
    EXPECT_EQ(ReadFileBytes(SettingsFile()), EncodeSettings(Settings()));
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"velquist_Tarnwood_cfg"});
}

TEST_F(ConfigProgramRun, FolderThatCannotBeWrittenIsReportedWithExitCodeOne)
{
    // A plain file where the folder should be: not even root can write there.
    test::WriteFileBytes(folder.File("blocker"), "");
    const std::string unusable = folder.File("blocker") + "/machine";

    ChildProcess set = Run({"--set", "showClock=off"}, unusable);
    EXPECT_EQ(set.Wait(10000), 1);
    EXPECT_NE(set.Stderr().find("cannot write the settings file"), std::string::npos) << set.Stderr();
    EXPECT_NE(set.Stderr().find("sudo"), std::string::npos) << set.Stderr();
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"blocker"});
}

// A write that fails after the temporary file was made leaves nothing behind.
TEST(ConfigProgram, FailedReplaceLeavesNoTemporaryFile)
{
    TempDir folder;
    const std::string path = folder.File("velquist_Tarnwood_cfg");
    std::filesystem::create_directories(std::filesystem::path(path) / "in-the-way");
    std::ostringstream out;
    std::ostringstream err;

    EXPECT_EQ(RunConfigProgram({"--set", "showClock=off"}, path, out, err), 1);
    EXPECT_NE(err.str().find("cannot write the settings file"), std::string::npos) << err.str();
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"velquist_Tarnwood_cfg"});
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

struct RefusalCase {
    const char* name;
    std::vector<std::string> arguments;
    const char* message;
};

void PrintTo(const RefusalCase& c, std::ostream* out)
{
    *out << c.name;
}

class ConfigProgramRefusal : public ::testing::TestWithParam<RefusalCase> {};

// A bad option, name or value changes nothing, however many good ones come
// with it.
TEST_P(ConfigProgramRefusal, RefusesWithExitCodeTwoAndLeavesFileUntouched)
{
    const RefusalCase& c = GetParam();
    TempDir folder;
    const std::string path = folder.File("velquist_Tarnwood_cfg");
    test::WriteFileBytes(path, kExampleFile);
    std::ostringstream out;
    std::ostringstream err;

    EXPECT_EQ(RunConfigProgram(c.arguments, path, out, err), 2);
    EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    EXPECT_EQ(ReadFileBytes(path), kExampleFile);
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"velquist_Tarnwood_cfg"});
}

INSTANTIATE_TEST_SUITE_P(BadInput, ConfigProgramRefusal, ::testing::Values(
    RefusalCase{"UnknownOption", {"--bogus"}, "unknown option '--bogus'"},
    RefusalCase{"SetWithoutAssignment", {"--set"}, "needs at least one NAME=VALUE"},
    RefusalCase{"ResetWithValues", {"--reset", "showClock=on"}, "--reset takes no values"},
    RefusalCase{"NoEqualsSign", {"--set", "showClock"}, "not of the form NAME=VALUE"},
    RefusalCase{"UnknownName", {"--set", "showClock=on", "ShowClock=on"}, "no setting called 'ShowClock'"},
    RefusalCase{"FlagValue", {"--set", "showClock=maybe"}, "use on or off"},
    RefusalCase{"EmptyFlagValue", {"--set", "showClock="}, "use on or off"},
    RefusalCase{"ModeIndexPastTable", {"--set", "displayMode=10"}, "not a display mode"},
    RefusalCase{"NegativeModeIndex", {"--set", "displayMode=-1"}, "not a display mode"},
    RefusalCase{"SizeNotInTable", {"--set", "displayMode=1024x767"}, "not a display mode"},
    RefusalCase{"GoodThenBad", {"--set", "showFrameRate=off", "displayMode=huge"}, "not a display mode"}),
    [](const auto& info) { return std::string(info.param.name); });

}
}
