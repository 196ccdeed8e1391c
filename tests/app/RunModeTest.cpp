#include "app/RunMode.h"

#include <gtest/gtest.h>

namespace tarnwood {
namespace {

struct ModeCase {
    const char* text;
    RunMode mode;
    int handle;
};

class RunModeSelection : public ::testing::TestWithParam<ModeCase> {};

TEST_P(RunModeSelection, SelectsModeAndHandle)
{
    const ModeCase& c = GetParam();
    CommandLine parsed = ParseCommandLine(c.text);
    EXPECT_EQ(parsed.mode, c.mode) << "command line \"" << c.text << "\"";
    EXPECT_EQ(parsed.previewHandle, c.handle) << "command line \"" << c.text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    HostSwitches, RunModeSelection,
    ::testing::Values(ModeCase{"/s", RunMode::Screensaver, 0}, ModeCase{"/S", RunMode::Screensaver, 0},
                      ModeCase{"-s", RunMode::Screensaver, 0}, ModeCase{"xs", RunMode::Screensaver, 0},
                      ModeCase{"  /s  ", RunMode::Screensaver, 0}, ModeCase{"/c", RunMode::Configuration, 0},
                      ModeCase{"/C", RunMode::Configuration, 0}, ModeCase{"/c:1234", RunMode::Configuration, 0},
                      ModeCase{"/p 1234", RunMode::Preview, 1234}, ModeCase{"/P 77", RunMode::Preview, 77},
                      ModeCase{"/p", RunMode::Preview, 0}, ModeCase{"/p:1234", RunMode::Scene, 0},
                      ModeCase{"/P1234", RunMode::Scene, 0}, ModeCase{"", RunMode::Scene, 0},
                      ModeCase{"s", RunMode::Scene, 0}, ModeCase{"/x", RunMode::Scene, 0},
                      ModeCase{"/p abc", RunMode::Preview, 0}),
    [](const ::testing::TestParamInfo<ModeCase>& info) { return "case" + std::to_string(info.index); });

TEST(JoinArguments, JoinsArgumentsAfterProgramNameWithSingleSpaces)
{
    const char* none[] = {"Tarnwood"};
    EXPECT_EQ(JoinArguments(1, none), "");
    const char* two[] = {"Tarnwood", "/p", "1234"};
    EXPECT_EQ(JoinArguments(3, two), "/p 1234");
    EXPECT_EQ(ParseCommandLine(JoinArguments(3, two)).mode, RunMode::Preview);
}

}
}
