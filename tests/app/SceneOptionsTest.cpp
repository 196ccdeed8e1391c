#include "app/SceneOptions.h"
#include "app/SettingAssignment.h"

#include <gtest/gtest.h>

namespace tarnwood {
namespace {

std::vector<std::string> Words(std::initializer_list<const char*> words)
{
    return {words.begin(), words.end()};
}

TEST(SceneOptions, ReadsHostAndUserOptionsInAnyOrderAndLeavesOtherWordsAlone)
{
    SceneOptions options;
    std::string problem;
    ASSERT_TRUE(ParseSceneOptions(Words({"/x", "--delay", "30000", "-root", "--set", "showClock=off", "--fps", "-window-id",
                                         "0x1c00007", "--no-multisample", "--set=calendarRus=on", "stray", "-q"}),
                                  options, problem))
        << problem;
    EXPECT_EQ(options.delayMicroseconds, 30000);
    EXPECT_TRUE(options.root);
    ASSERT_TRUE(options.windowId.has_value());
    EXPECT_EQ(*options.windowId, 0x1c00007UL);
    EXPECT_FALSE(options.multisample);
    EXPECT_EQ(options.assignments, Words({"showClock=off", "showFrameRate=on", "calendarRus=on"}));
    EXPECT_FALSE(options.help);

    SceneOptions none;
    ASSERT_TRUE(ParseSceneOptions({}, none, problem));
    EXPECT_EQ(none.delayMicroseconds, 0);
    EXPECT_TRUE(none.multisample);
    EXPECT_FALSE(none.windowId.has_value());
}

TEST(SceneOptions, RefusesUnknownOptionsAndBadValuesWithOneLine)
{
    struct Case {
        std::vector<std::string> words;
        const char* problem;
    } cases[] = {
        {Words({"--bogus"}), "unknown option '--bogus'"},
        {Words({"--fps", "--window-ids", "1"}), "unknown option '--window-ids'"},
        {Words({"--delay"}), "--delay needs a value"},
        {Words({"--delay", "-5"}), "'-5' is not a delay"},
        {Words({"--delay", "fast"}), "'fast' is not a delay"},
        {Words({"--delay=20000000"}), "'20000000' is not a delay"},
        {Words({"--window-id", "0"}), "'0' is not a window id"},
        {Words({"--window-id", "0x"}), "'0x' is not a window id"},
        {Words({"--window-id", "12ab"}), "'12ab' is not a window id"},
        {Words({"--window-id", "0x100000000"}), "'0x100000000' is not a window id"},
        {Words({"--set", "showClock"}), "'showClock' is not of the form NAME=VALUE."},
        {Words({"--set", "ShowClock=on"}), "there is no setting called 'ShowClock'"},
        {Words({"--set", "displayMode=7x7"}), "'7x7' is not a display mode"},
        {Words({"--set"}), "--set needs a value"},
        {Words({"--fps=on"}), "--fps takes no value"},
    };
    for (const Case& c : cases) {
        SceneOptions options;
        std::string problem;
        EXPECT_FALSE(ParseSceneOptions(c.words, options, problem)) << c.words[0];
        EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
        EXPECT_EQ(problem.find('\n'), std::string::npos) << problem;
    }
}

TEST(SceneOptions, AssignmentsOverrideTheFileSettingsInOrderAndRefusalsChangeNothing)
{
    Settings file;
    file.showClock = 1;
    file.displayMode = 3;
    SceneOptions options;
    std::string problem;
    ASSERT_TRUE(ParseSceneOptions(
        Words({"--fps", "--set", "showFrameRate=off", "--set", "showClock=0", "--set", "displayMode=800x600", "--fps"}),
        options, problem));
    const Settings run = ApplySceneOptions(file, options);
    EXPECT_EQ(run.showFrameRate, 1);
    EXPECT_EQ(run.showClock, 0);
    EXPECT_EQ(run.displayMode, 2);
    EXPECT_EQ(run.showCalendar, file.showCalendar);

    Settings kept = file;
    EXPECT_FALSE(ApplySettingAssignment("showClock=sometimes", kept, problem));
    EXPECT_EQ(problem, "'sometimes' is not a value for showClock; use on or off.");
    EXPECT_EQ(kept, file);
}

unsigned long FakeRoot()
{
    return 0x2a3;
}

TEST(SceneOptions, HostWindowComesFromTheOptionThenTheEnvironmentThenTheRoot)
{
    SceneOptions root;
    root.root = true;
    SceneOptions explicitId;
    explicitId.root = true;
    explicitId.windowId = 0x500001UL;
    SceneOptions plain;
    struct Case {
        const char* what;
        const SceneOptions* options;
        const char* environment;
        unsigned long window;
    } cases[] = {
        {"--window-id wins over the environment", &explicitId, "0x600001", 0x500001UL},
        {"--root takes the environment's window", &root, "6291457", 6291457UL},
        {"--root takes hex too", &root, "0x600001", 0x600001UL},
        {"--root without it is the root window", &root, nullptr, 0x2a3UL},
        {"an empty variable counts as unset", &root, "", 0x2a3UL},
        {"no option, environment set", &plain, "0x600001", 0x600001UL},
        {"no option, nothing set: full screen", &plain, nullptr, 0UL},
    };
    for (const Case& c : cases) {
        unsigned long window = 99;
        std::string problem;
        EXPECT_TRUE(ChooseHostWindow(*c.options, c.environment, FakeRoot, window, problem)) << c.what;
        EXPECT_EQ(window, c.window) << c.what;
    }
    unsigned long window = 0;
    std::string problem;
    EXPECT_FALSE(ChooseHostWindow(root, "screen0", FakeRoot, window, problem));
    EXPECT_EQ(problem, "XSCREENSAVER_WINDOW holds 'screen0', which is not a window id.");
}

}
}
