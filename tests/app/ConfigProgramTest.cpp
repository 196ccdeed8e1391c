#include "app/ConfigProgram.h"
#include "app/Settings.h"
#include "app/SettingsWriter.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwood {
namespace {

using test::ChildProcess;
using test::ReadFileBytes;
using test::TempDir;

const std::string kConfig = std::string(TARNWOOD_INSTALL_DIR) + "/config";

// The example settings file: exitOnMouseMove on, 1024 x 768, only the frame
// rate shown.
const std::string kExampleFile{"\x01\x00\x00\x00"
                               "\x00\x00\x00\x00"
                               "\x00\x00\x00\x00"
                               "\x01"
                               "\x00\x00\x00\x00"
                               "\x03\x00\x00\x00"
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

// The config program as installed, with a user folder and a machine-wide
// folder of the test's own and no X display, so no dialog opens.
class ConfigProgramRun : public ::testing::Test {
protected:
    ChildProcess Run(std::vector<std::string> arguments, const std::string& configDirs = {},
                     const std::string& configHome = {})
    {
        arguments.insert(arguments.begin(), kConfig);
        return ChildProcess(arguments,
                            {{"XDG_CONFIG_DIRS", configDirs.empty() ? MachineFolder() : configDirs},
                             {"XDG_CONFIG_HOME", configHome.empty() ? UserFolder() : configHome},
                             {"DISPLAY", "\x01unset"}});
    }

    std::string UserFolder() const { return (folder.Path() / "user").string(); }
    std::string MachineFolder() const { return (folder.Path() / "machine").string(); }
    std::string UserFile() const { return UserFolder() + "/velquist_Tarnwood_cfg"; }
    std::string MachineFile() const { return MachineFolder() + "/velquist_Tarnwood_cfg"; }

    TempDir folder;
};

TEST_F(ConfigProgramRun, SetWritesTheUsersOwnFileWhichTheListingNamesAndResetRemoves)
{
    ChildProcess set = Run({"--set", "showFrameRate=on", "showClock=off", "largeClock=off", "showCalendar=off",
                            "exitOnMouseMove=on", "displayMode=1024x768"});
    ASSERT_EQ(set.Wait(10000), 0) << set.Stderr();
    EXPECT_EQ(ReadFileBytes(UserFile()), kExampleFile);
    EXPECT_FALSE(std::filesystem::exists(MachineFile()));
    struct stat info {};
    ASSERT_EQ(stat(UserFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);

    ChildProcess change = Run({"--set", "displayMode=9", "calendarRus=on", "showFrameRate=off"});
    ASSERT_EQ(change.Wait(10000), 0) << change.Stderr();
    Settings expected;
    expected.exitOnMouseMove = 1;
    expected.showClock = expected.largeClock = expected.showCalendar = 0;
    expected.calendarRus = 1;
    expected.displayMode = 9;
    ExpectSameSettings(ReadSettings(UserFile()), expected);

    ChildProcess show = Run({});
    ASSERT_EQ(show.Wait(10000), 0);
    EXPECT_NE(show.Stdout().find("in effect: your own (" + UserFile() + ")"), std::string::npos) << show.Stdout();
    EXPECT_NE(show.Stdout().find("displayMode      9 (1600x1200)"), std::string::npos) << show.Stdout();
    EXPECT_NE(show.Stdout().find("calendarRus      on"), std::string::npos) << show.Stdout();
    EXPECT_NE(show.Stdout().find("config --set NAME=VALUE"), std::string::npos) << show.Stdout();

    ChildProcess reset = Run({"--reset"});
    ASSERT_EQ(reset.Wait(10000), 0) << reset.Stderr();
    EXPECT_FALSE(std::filesystem::exists(UserFile()));
    EXPECT_TRUE(FolderEntries(UserFolder()).empty()) << "no temporary or lock file is left behind";
    EXPECT_NE(reset.Stdout().find("in effect: the defaults"), std::string::npos) << reset.Stdout();
    ChildProcess resetAgain = Run({"--reset"});
    EXPECT_EQ(resetAgain.Wait(10000), 0) << "resetting with no file of one's own is no failure";
}

// The user's own file wins; without one, the machine-wide file applies, and a
// change of one's own starts from it, so the administrator's other choices
// are kept.
TEST_F(ConfigProgramRun, MachineWideSettingsApplyUntilTheUserHasTheirOwn)
{
    ChildProcess system = Run({"--system", "--set", "showFrameRate=on", "showClock=off", "largeClock=off",
                               "showCalendar=off", "exitOnMouseMove=on", "displayMode=3"});
    ASSERT_EQ(system.Wait(10000), 0) << system.Stderr();
    EXPECT_EQ(ReadFileBytes(MachineFile()), kExampleFile);
    EXPECT_FALSE(std::filesystem::exists(UserFile()));

    ChildProcess showMachine = Run({"--list"});
    ASSERT_EQ(showMachine.Wait(10000), 0);
    EXPECT_NE(showMachine.Stdout().find("in effect: the machine-wide ones (" + MachineFile() + ")"), std::string::npos)
        << showMachine.Stdout();
    EXPECT_NE(showMachine.Stdout().find("showFrameRate    on"), std::string::npos) << showMachine.Stdout();

    ChildProcess own = Run({"--set", "analogClock=on"});
    ASSERT_EQ(own.Wait(10000), 0) << own.Stderr();
    Settings expected = ReadSettings(MachineFile());
    expected.analogClock = 1;
    EXPECT_EQ(ReadFileBytes(UserFile()), EncodeSettings(expected));
    EXPECT_EQ(ReadFileBytes(MachineFile()), kExampleFile) << "a user's change leaves the machine-wide file alone";

    ChildProcess systemReset = Run({"--system", "--reset"});
    ASSERT_EQ(systemReset.Wait(10000), 0) << systemReset.Stderr();
    EXPECT_EQ(ReadFileBytes(MachineFile()), EncodeSettings(Settings()));
    EXPECT_EQ(ReadFileBytes(UserFile()), EncodeSettings(expected));
    EXPECT_NE(systemReset.Stdout().find("Machine-wide Tarnwood settings"), std::string::npos) << systemReset.Stdout();
}

// Every write failure says which file, which step and why, and advises only
// what fits the cause.
TEST_F(ConfigProgramRun, FoldersThatCannotBeWrittenAreReportedWithTheirRealCause)
{
    // A plain file where a folder should be: not even root can write there.
    test::WriteFileBytes(folder.File("blocker"), "");
    const std::string blocked = folder.File("blocker") + "/settings";

    ChildProcess user = Run({"--set", "showClock=off"}, {}, blocked);
    EXPECT_EQ(user.Wait(10000), 1);
    EXPECT_NE(user.Stderr().find("cannot write the settings file " + blocked + "/velquist_Tarnwood_cfg"), std::string::npos)
        << user.Stderr();
    EXPECT_NE(user.Stderr().find("not a folder"), std::string::npos) << user.Stderr();
    EXPECT_EQ(user.Stderr().find("administrator"), std::string::npos) << user.Stderr();
    EXPECT_NE(user.Stderr().find("Nothing was changed."), std::string::npos) << user.Stderr();

    ChildProcess machine = Run({"--system", "--set", "showClock=off"}, blocked);
    EXPECT_EQ(machine.Wait(10000), 1);
    EXPECT_NE(machine.Stderr().find("cannot write the settings file"), std::string::npos) << machine.Stderr();
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"blocker"});
}

// Root may write anywhere, so the ordinary user's case runs as `nobody`.
TEST_F(ConfigProgramRun, OrdinaryUserIsToldToUseTheirOwnSettingsNotTheMachineWideOnes)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to run a program as another user";
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
                                 std::filesystem::perm_options::add);
    std::filesystem::create_directories(MachineFolder());
    std::filesystem::create_directories(UserFolder());
    test::WriteFileBytes(MachineFile(), kExampleFile);
    std::filesystem::permissions(UserFolder(), std::filesystem::perms::all);
    const auto asNobody = [this](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(),
                         {"/usr/bin/setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", kConfig});
        return ChildProcess(
            arguments, {{"XDG_CONFIG_DIRS", MachineFolder()}, {"XDG_CONFIG_HOME", UserFolder()}, {"DISPLAY", "\x01unset"}});
    };

    ChildProcess machine = asNobody({"--system", "--set", "showClock=on"});
    ASSERT_EQ(machine.Wait(10000), 1) << machine.Stdout() << machine.Stderr();
    EXPECT_NE(machine.Stderr().find("Permission denied"), std::string::npos) << machine.Stderr();
    EXPECT_NE(machine.Stderr().find("administrator"), std::string::npos) << machine.Stderr();
    EXPECT_NE(machine.Stderr().find("leave out --system"), std::string::npos) << machine.Stderr();
    EXPECT_EQ(ReadFileBytes(MachineFile()), kExampleFile);

    ChildProcess own = asNobody({"--set", "showClock=on"});
    ASSERT_EQ(own.Wait(10000), 0) << own.Stderr();
    Settings expected = ReadSettings(MachineFile());
    expected.showClock = 1;
    EXPECT_EQ(ReadFileBytes(UserFile()), EncodeSettings(expected));
}

// A mounted file system that can be filled: the writer must tell a full disk
// from a refusal, and keep the old file whole.
class SmallDisk {
public:
    explicit SmallDisk(const std::filesystem::path& where) : mountPoint(where)
    {
        std::filesystem::create_directories(mountPoint);
        const std::string command = "mount -t tmpfs -o size=64k tarnwood-test " + mountPoint.string() + " 2>/dev/null";
        mounted = geteuid() == 0 && std::system(command.c_str()) == 0;
    }
    ~SmallDisk()
    {
        if (mounted)
            std::system(("umount " + mountPoint.string()).c_str());
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Mounted() const { return mounted; }
    // Writes into a filler file until no byte more fits.
    void Fill() const
    {
        std::FILE* filler = std::fopen((mountPoint / "filler").c_str(), "wb");
        ASSERT_NE(filler, nullptr);
        const std::string block(4096, 'x');
        while (std::fwrite(block.data(), 1, block.size(), filler) == block.size()) {}
        std::fclose(filler);
        while (true) {
            std::FILE* more = std::fopen((mountPoint / "filler").c_str(), "ab");
            const bool wrote = more != nullptr && std::fputc('x', more) != EOF && std::fflush(more) == 0;
            if (more != nullptr)
                std::fclose(more);
            if (!wrote)
                break;
        }
    }

private:
    std::filesystem::path mountPoint;
    bool mounted = false;
};

TEST_F(ConfigProgramRun, FullDiskSaysTheDiskIsFullAndKeepsTheOldFile)
{
    SmallDisk disk(folder.Path() / "user");
    if (!disk.Mounted())
        GTEST_SKIP() << "cannot mount a small file system here";
    ChildProcess first = Run({"--set", "showFrameRate=on"});
    ASSERT_EQ(first.Wait(10000), 0) << first.Stderr();
    const std::string before = ReadFileBytes(UserFile());
    disk.Fill();

    ChildProcess set = Run({"--set", "showClock=off"});
    EXPECT_EQ(set.Wait(10000), 1);
    EXPECT_NE(set.Stderr().find("No space left on device"), std::string::npos) << set.Stderr();
    EXPECT_NE(set.Stderr().find("is full"), std::string::npos) << set.Stderr();
    EXPECT_EQ(set.Stderr().find("administrator"), std::string::npos) << set.Stderr();
    EXPECT_EQ(set.Stderr().find("sudo"), std::string::npos) << set.Stderr();
    EXPECT_EQ(ReadFileBytes(UserFile()), before);
    EXPECT_EQ(FolderEntries(UserFolder()), (std::vector<std::string>{"filler", "velquist_Tarnwood_cfg"}));
}

// Writers started together each change their own field; every change must
// survive, which needs the read-modify-write of each to be whole.
TEST_F(ConfigProgramRun, ChangesMadeAtTheSameMomentAllSurvive)
{
    struct Field {
        const char* name;
        std::uint8_t Settings::*member;
    };
    const Field fields[] = {
        {"showFrameRate", &Settings::showFrameRate}, {"showClock", &Settings::showClock},
        {"analogClock", &Settings::analogClock},     {"clock24Hour", &Settings::clock24Hour},
        {"largeClock", &Settings::largeClock},       {"showCalendar", &Settings::showCalendar},
        {"calendarRus", &Settings::calendarRus},     {"exitOnMouseMove", &Settings::exitOnMouseMove},
    };
    for (int round = 0; round < 8; ++round) {
        const bool on = round % 2 == 0;
        std::vector<std::unique_ptr<ChildProcess>> writers;
        for (const Field& field : fields)
            writers.push_back(std::make_unique<ChildProcess>(
                std::vector<std::string>{kConfig, "--set", std::string(field.name) + (on ? "=on" : "=off")},
                std::vector<std::pair<std::string, std::string>>{
                    {"XDG_CONFIG_DIRS", MachineFolder()}, {"XDG_CONFIG_HOME", UserFolder()}, {"DISPLAY", "\x01unset"}}));
        for (auto& writer : writers)
            ASSERT_EQ(writer->Wait(30000), 0) << writer->Stderr();
        const Settings result = ReadSettings(UserFile());
        for (const Field& field : fields)
            EXPECT_EQ(result.*field.member, on ? 1 : 0)
                << "round " << round << ": the change of " << field.name << " was lost";
    }
    EXPECT_EQ(FolderEntries(UserFolder()), std::vector<std::string>{"velquist_Tarnwood_cfg"});
}

// A write that fails after the temporary file was made leaves nothing behind.
TEST(ConfigProgram, FailedReplaceLeavesNoTemporaryFile)
{
    TempDir folder;
    const SettingsLocations locations{folder.File("velquist_Tarnwood_cfg"), folder.File("machine")};
    std::filesystem::create_directories(std::filesystem::path(locations.user) / "in-the-way");
    std::ostringstream out;
    std::ostringstream err;

    EXPECT_EQ(RunConfigProgram({"--set", "showClock=off"}, locations, out, err), 1);
    EXPECT_NE(err.str().find("could not put the new file in place of"), std::string::npos) << err.str();
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"velquist_Tarnwood_cfg"});
    EXPECT_TRUE(std::filesystem::is_directory(locations.user));
}

// Without a dialog, the bare command lists, and --dialog says why it cannot.
TEST(ConfigProgram, DialogFallsBackToTheListingOnlyWhenNotAskedForExplicitly)
{
    TempDir folder;
    const SettingsLocations locations{folder.File("user"), folder.File("machine")};
    const SettingsDialog noDisplay = [](const SettingsLocations&, bool, std::ostream&) { return kNoDialog; };
    const SettingsDialog shown = [](const SettingsLocations&, bool forAllUsers, std::ostream&) {
        return forAllUsers ? 7 : 5;
    };
    struct Case {
        std::vector<std::string> arguments;
        SettingsDialog dialog;
        int code;
        const char* output;
    };
    const Case cases[] = {
        {{}, nullptr, 0, "in effect: the defaults"},
        {{}, noDisplay, 0, "in effect: the defaults"},
        {{}, shown, 5, ""},
        {{"--system"}, shown, 7, ""},
        {{"--list"}, shown, 0, "in effect: the defaults"},
        {{"--dialog"}, shown, 5, ""},
        {{"--dialog"}, noDisplay, 1, "no X display"},
        {{"--dialog"}, nullptr, 1, "built without its settings dialog"},
        {{"--dialog", "x"}, shown, 2, "--dialog takes no values"},
    };
    for (const Case& c : cases) {
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(RunConfigProgram(c.arguments, locations, out, err, c.dialog), c.code)
            << ::testing::PrintToString(c.arguments);
        EXPECT_NE((out.str() + err.str()).find(c.output), std::string::npos) << out.str() << err.str();
    }
    EXPECT_TRUE(FolderEntries(folder.Path()).empty());
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

    EXPECT_EQ(RunConfigProgram(c.arguments, {path, folder.File("machine")}, out, err), 2);
    EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    EXPECT_EQ(ReadFileBytes(path), kExampleFile);
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"velquist_Tarnwood_cfg"});
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, ConfigProgramRefusal,
    ::testing::Values(RefusalCase{"UnknownOption", {"--bogus"}, "unknown option '--bogus'"},
                      RefusalCase{"SetWithoutAssignment", {"--set"}, "needs at least one NAME=VALUE"},
                      RefusalCase{"ResetWithValues", {"--reset", "showClock=on"}, "--reset takes no values"},
                      RefusalCase{"SystemResetWithValues", {"--system", "--reset", "x"}, "--reset takes no values"},
                      RefusalCase{"ListWithValues", {"--list", "showClock=on"}, "--list takes no values"},
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
