#include "app/Settings.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include "platform/AppDataFolder.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <sstream>
#include <vector>

namespace tarnwood {
namespace {

void PutInt32(std::string& out, std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

// A layout-1 file: marker, two texts, exitOnMouseMove, reserved, mode, seven flags.
std::string File(std::int32_t marker, const std::string& text1, const std::string& text2, std::uint8_t exitOnMouse,
                 std::int32_t mode, const std::string& flags)
{
    std::string out;
    PutInt32(out, marker);
    PutInt32(out, static_cast<std::int32_t>(text1.size()));
    out += text1;
    PutInt32(out, static_cast<std::int32_t>(text2.size()));
    out += text2;
    out.push_back(static_cast<char>(exitOnMouse));
    PutInt32(out, 0);
    PutInt32(out, mode);
    out += flags;
    return out;
}

Settings Read(const std::string& bytes)
{
    std::istringstream in(bytes, std::ios::binary);
    return Settings(in);
}

TEST(Settings, DefaultsShowDigitalTwelveHourLargeClockAndSundayCalendarOnDesktopMode)
{
    Settings s;
    EXPECT_EQ(s.showFrameRate, 0);
    EXPECT_EQ(s.showClock, 1);
    EXPECT_EQ(s.analogClock, 0);
    EXPECT_EQ(s.clock24Hour, 0);
    EXPECT_EQ(s.largeClock, 1);
    EXPECT_EQ(s.showCalendar, 1);
    EXPECT_EQ(s.calendarRus, 0);
    EXPECT_EQ(s.exitOnMouseMove, 0);
    EXPECT_EQ(s.displayMode, 0);
    EXPECT_EQ(s.ModeWidth(), 0);
    EXPECT_EQ(s.ModeHeight(), 0);
    EXPECT_EQ(s.ModeDepth(), 0);
}

TEST(Settings, TwentyEightByteExampleSelects1024x768AndOnlyTheFrameRate)
{
    const std::string bytes = File(1, "", "", 1, 3, std::string("\x01\x00\x00\x00\x00\x00\x00", 7));
    ASSERT_EQ(bytes.size(), 28u);
    Settings s = Read(bytes);
    EXPECT_EQ(s.exitOnMouseMove, 1);
    EXPECT_EQ(s.displayMode, 3);
    EXPECT_EQ(s.ModeWidth(), 1024);
    EXPECT_EQ(s.ModeHeight(), 768);
    EXPECT_EQ(s.ModeDepth(), 32);
    EXPECT_EQ(s.showFrameRate, 1);
    EXPECT_EQ(s.showClock, 0);
    EXPECT_EQ(s.largeClock, 0);
    EXPECT_EQ(s.showCalendar, 0);
}

TEST(Settings, OtherLayoutMarkersKeepEveryDefault)
{
    for (std::int32_t marker : {0, 2, -1}) {
        Settings s = Read(File(marker, "", "", 1, 3, std::string(7, '\x07')));
        EXPECT_EQ(s, Settings()) << "marker " << marker;
    }
}

TEST(Settings, ReservedTextsShiftLaterFieldsAndTheirContentNeverMatters)
{
    const std::string bytes = File(1, "\x01\x02\x03\x04\x05", std::string("\xff\x00\x03\x01\x01\x01\x01", 7), 1, 5,
                                   std::string("\x00\x01\x01\x01\x00\x01\x01", 7));
    ASSERT_EQ(bytes.size(), 40u);
    Settings s = Read(bytes);
    EXPECT_EQ(s.exitOnMouseMove, 1);
    EXPECT_EQ(s.ModeWidth(), 1280);
    EXPECT_EQ(s.ModeHeight(), 800);
    EXPECT_EQ(s.showFrameRate, 0);
    EXPECT_EQ(s.analogClock, 1);
    EXPECT_EQ(s.clock24Hour, 1);
    EXPECT_EQ(s.largeClock, 0);
    EXPECT_EQ(s.calendarRus, 1);
}

TEST(Settings, TruncatedFileKeepsDefaultsOfEveryFieldNotYetRead)
{
    const std::string full = File(1, "", "", 1, 3, std::string(7, '\x00'));
    for (std::size_t length = 0; length < full.size(); ++length) {
        Settings s = Read(full.substr(0, length));
        Settings expected;
        if (length >= 13)
            expected.exitOnMouseMove = 1;
        if (length >= 21)
            expected.displayMode = 3;
        const std::size_t flagsRead = length > 21 ? length - 21 : 0;
        std::uint8_t* flags[] = {&expected.showFrameRate, &expected.showClock,  &expected.analogClock,
                                 &expected.clock24Hour,   &expected.largeClock, &expected.showCalendar,
                                 &expected.calendarRus};
        for (std::size_t i = 0; i < flagsRead; ++i)
            *flags[i] = 0;
        EXPECT_EQ(s, expected) << "file cut to " << length << " bytes";
    }
}

TEST(Settings, BadTextLengthsStopReadingWithDefaults)
{
    std::string negative;
    PutInt32(negative, 1);
    PutInt32(negative, -5);
    negative += std::string(40, '\x01');
    EXPECT_EQ(Read(negative), Settings());

    std::string pastEnd;
    PutInt32(pastEnd, 1);
    PutInt32(pastEnd, 0);
    PutInt32(pastEnd, 0x7FFFFFFF);
    pastEnd += std::string(40, '\x01');
    EXPECT_EQ(Read(pastEnd), Settings());
}

TEST(Settings, DisplayModeOutsideTheTableSelectsTheDesktopMode)
{
    for (std::int32_t mode : {-1, 10, 0x7FFFFFFF, static_cast<std::int32_t>(0x80000000)}) {
        Settings s = Read(File(1, "", "", 0, mode, std::string(7, '\x01')));
        EXPECT_EQ(s.displayMode, mode);
        EXPECT_EQ(s.ModeWidth(), 0);
        EXPECT_EQ(s.ModeHeight(), 0);
        EXPECT_EQ(s.ModeDepth(), 0);
    }
}

TEST(Settings, EveryTableRowIsReachable)
{
    const VideoMode expected[] = {{0, 0, 0},        {640, 480, 32},  {800, 600, 32},  {1024, 768, 32},
                                  {1152, 864, 32},  {1280, 800, 32}, {1280, 960, 32}, {1280, 1024, 32},
                                  {1400, 1050, 32}, {1600, 1200, 32}};
    for (int i = 0; i < kVideoModeCount; ++i) {
        Settings s;
        s.displayMode = i;
        EXPECT_EQ(s.ModeWidth(), expected[i].width) << i;
        EXPECT_EQ(s.ModeHeight(), expected[i].height) << i;
        EXPECT_EQ(s.ModeDepth(), expected[i].depth) << i;
    }
}

TEST(Settings, RandomBytesNeverCrashAndAMissingFileGivesDefaults)
{
    std::mt19937 rng(1234);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(rng() % 64, '\0');
        for (char& c : bytes)
            c = static_cast<char>(rng());
        const bool layoutOne = round % 2 == 0 && bytes.size() >= 4;
        if (layoutOne)
            bytes[0] = 1, bytes[1] = bytes[2] = bytes[3] = 0;
        const bool otherLayout = bytes.size() >= 4 && (bytes[0] != 1 || bytes[1] != 0 || bytes[2] != 0 || bytes[3] != 0);
        Settings s = Read(bytes);
        if (otherLayout || bytes.size() < 4)
            EXPECT_EQ(s, Settings()) << "round " << round;
    }
    test::TempDir dir;
    EXPECT_EQ(LoadSettings(dir.File("absent")), Settings());
}

// Sets environment variables for one test and puts the old values back.
class ScopedEnvironment {
public:
    void Set(const char* name, const char* value)
    {
        const char* old = std::getenv(name);
        saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnvironment()
    {
        for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
            if (it->second)
                setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                unsetenv(it->first.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

// The scene reads the user's own file when it exists, else the machine-wide
// one, else the defaults.
TEST(SettingsFile, UsersOwnFileWinsAndAMissingOneFallsBackToTheMachineWideFile)
{
    test::TempDir dir;
    const std::string home = dir.File("home");
    const std::string machine = dir.File("machine");
    ScopedEnvironment env;
    env.Set("XDG_CONFIG_HOME", home.c_str());
    env.Set("XDG_CONFIG_DIRS", (machine + ":" + dir.File("second")).c_str());
    const std::string userFile = home + "/velquist_Tarnwood_cfg";
    const std::string machineFile = machine + "/velquist_Tarnwood_cfg";
    EXPECT_EQ(UserSettingsFilePath(), userFile);
    EXPECT_EQ(MachineSettingsFilePath(), machineFile);

    EXPECT_EQ(SettingsFilePath(), machineFile) << "neither file exists yet";
    EXPECT_EQ(LoadSettings(SettingsFilePath()), Settings());

    test::WriteFileBytes(machineFile, File(1, "", "", 1, 3, std::string("\x01\x00\x00\x00\x00\x00\x00", 7)));
    EXPECT_EQ(SettingsFilePath(), machineFile);
    EXPECT_EQ(LoadSettings(SettingsFilePath()).displayMode, 3);
    EXPECT_FALSE(std::filesystem::exists(home)) << "reading never creates the user's folder";

    std::filesystem::create_directories(home);
    test::WriteFileBytes(userFile, File(1, "", "", 0, 9, std::string("\x00\x01\x01\x00\x01\x01\x01", 7)));
    EXPECT_EQ(SettingsFilePath(), userFile);
    const Settings own = LoadSettings(SettingsFilePath());
    EXPECT_EQ(own.displayMode, 9);
    EXPECT_EQ(own.analogClock, 1);
    EXPECT_EQ(own.showFrameRate, 0);

    std::filesystem::remove(userFile);
    EXPECT_EQ(SettingsFilePath(), machineFile);
}

TEST(SettingsFile, UserFolderFollowsTheXdgRules)
{
    struct Case {
        const char* configHome;
        const char* home;
        const char* folder;
    };
    const Case cases[] = {
        {"/cfg/home", "/home/ann", "/cfg/home"},
        {"/cfg/home//", "/home/ann", "/cfg/home"},
        {nullptr, "/home/ann", "/home/ann/.config"},
        {"", "/home/ann/", "/home/ann/.config"},
        {"relative/path", "/home/ann", "/home/ann/.config"},
        {nullptr, "/", "/.config"},
    };
    for (const Case& c : cases) {
        ScopedEnvironment env;
        env.Set("XDG_CONFIG_HOME", c.configHome);
        env.Set("HOME", c.home);
        EXPECT_EQ(UserAppDataFolder(), c.folder) << (c.configHome ? c.configHome : "(unset)") << " " << c.home;
        EXPECT_EQ(UserSettingsFilePath(), std::string(c.folder) + "/velquist_Tarnwood_cfg");
    }
    ScopedEnvironment env;
    env.Set("XDG_CONFIG_HOME", nullptr);
    env.Set("HOME", nullptr);
    EXPECT_FALSE(UserAppDataFolder().empty()) << "the account's home folder stands in for $HOME";
}

}
}
