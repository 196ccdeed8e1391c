#include "support/ChildProcess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tarnwood {
namespace {

using test::ChildProcess;

class Snapshot : public ::testing::Test {
protected:
    int Run(std::vector<std::string> args)
    {
        args.insert(args.begin(), TARNWOOD_INSTALL_DIR "/tarnwood-snapshot");
        run = std::make_unique<ChildProcess>(args, std::vector<std::pair<std::string, std::string>>{
                                                       {"DISPLAY", server.Display()}});
        return run->Wait(120000);
    }
    test::XvfbServer server;
    test::TempDir dir;
    std::unique_ptr<ChildProcess> run;
};

std::uint32_t BigEndian(const std::string& bytes, std::size_t at)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

TEST_F(Snapshot, WritesAPngOfTheRequestedSize)
{
    ASSERT_TRUE(server.Ok());
    const std::string out = dir.File("frame.png");
    ASSERT_EQ(Run({"--out", out, "--size", "160x120", "--ms", "300", "--time", "2026-02-28 23:59:59", "--seed", "4"}),
              0)
        << run->Stderr();
    const std::string png = test::ReadFileBytes(out);
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ(BigEndian(png, 16), 160u);
    EXPECT_EQ(BigEndian(png, 20), 120u);
}

TEST_F(Snapshot, BadUsageExitsTwoAndAnUnwritableFileExitsOne)
{
    ASSERT_TRUE(server.Ok());
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"--out"},
             {"--out", dir.File("a.png"), "--ms", "soon"},
             {"--out", dir.File("a.png"), "--size", "160"},
             {"--out", dir.File("a.png"), "--time", "2026-13-01 00:00:00"},
             {"--out", dir.File("a.png"), "--colour", "red"},
         }) {
        EXPECT_EQ(Run(args), 2) << ::testing::PrintToString(args);
        EXPECT_NE(run->Stderr().find("usage"), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("a.png")));

    const std::string unwritable = dir.File("missing-folder/frame.png");
    EXPECT_EQ(Run({"--out", unwritable, "--size", "64x48", "--ms", "50"}), 1);
    EXPECT_NE(run->Stderr().find(unwritable), std::string::npos) << run->Stderr();
    EXPECT_EQ(Run({"--out", dir.File("b.png"), "--settings", dir.File("none"), "--ms", "50"}), 1);
    EXPECT_NE(run->Stderr().find("settings"), std::string::npos) << run->Stderr();
}

}
}
