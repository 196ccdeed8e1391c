#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tarnwood {
namespace {

using test::ChildProcess;

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A short soak of the real scene: an hour in one-second frames. The long
// runs (scripts/soak.sh) use the same program; this checks that it drives
// the whole scene, reports its counts and finds everything given back.
TEST(Soak, RunsTheSceneForSimulatedHoursAndReportsEveryHour)
{
    test::XvfbServer server;
    ASSERT_TRUE(server.Ok());
    ChildProcess soak({TARNWOOD_INSTALL_DIR "/tarnwood-soak", "--hours", "2", "--step-ms", "1000", "--draw-every",
                       "500", "--rss-slack-kib", "1000000"},
                      {{"DISPLAY", server.Display()}});
    ASSERT_EQ(soak.Wait(240000), 0) << soak.Stdout() << soak.Stderr();
    const std::vector<std::string> lines = Lines(soak.Stdout());
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : lines) {
        if (line.rfind("| 1 |", 0) != 0 && line.rfind("| 2 |", 0) != 0)
            continue;
        std::vector<std::string> cells;
        std::istringstream in(line);
        for (std::string cell; std::getline(in, cell, '|');)
            cells.push_back(cell);
        rows.push_back(cells);
    }
    ASSERT_EQ(rows.size(), 2u) << soak.Stdout();
    for (const auto& cells : rows) {
        ASSERT_GE(cells.size(), 11u);
        const int leaves = std::stoi(cells[3]);
        const int nodes = std::stoi(cells[4]);
        // One leaf every 300 ms living 12 s (15 s slowest): about 40.
        EXPECT_GE(leaves, 30);
        EXPECT_LE(leaves, 60);
        EXPECT_GT(nodes, leaves + 20) << "tree, sky, clock, calendar and frame-rate nodes besides the leaves";
        EXPECT_EQ(std::stoi(cells[5]), 5) << "every archive of the scene is loaded";
        EXPECT_GT(std::stoi(cells[6]), leaves) << "each leaf holds archive references";
        EXPECT_EQ(std::stoi(cells[8]), 2) << "the fire and, after a minute, the plasma";
        EXPECT_GT(std::stoi(cells[10]), 0) << "resident memory is measured";
    }
    EXPECT_NE(soak.Stdout().find("left held: 0 archives, 0 archive references, 0 procedural textures, "
                                 "0 procedural references"),
              std::string::npos)
        << soak.Stdout();

    ChildProcess misuse({TARNWOOD_INSTALL_DIR "/tarnwood-soak", "--hours", "0"}, {{"DISPLAY", server.Display()}});
    EXPECT_EQ(misuse.Wait(20000), 2);
    EXPECT_EQ(misuse.Stderr().rfind("tarnwood-soak: bad value for --hours: 0\n", 0), 0u) << misuse.Stderr();
}

}
}
