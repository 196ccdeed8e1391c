#include "app/PreviewPicture.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace tarnwood {
namespace {

using test::ChildProcess;
using test::RunShell;

class Snapshot : public ::testing::Test {
protected:
    int Run(std::vector<std::string> args)
    {
        args.insert(args.begin(), TARNWOOD_INSTALL_DIR "/tarnwood-snapshot");
        run = std::make_unique<ChildProcess>(
            args, std::vector<std::pair<std::string, std::string>>{{"DISPLAY", server.Display()}});
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
    ASSERT_EQ(Run({"--out", out, "--size", "160x120", "--ms", "300", "--time", "2026-02-28 23:59:59", "--seed", "4"}), 0)
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
             {"--out", dir.File("a.png"), "--turn", "north"},
             {"--out", dir.File("a.png"), "--bob", "11"},
             {"--world", "--seed", "3"},
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

TEST_F(Snapshot, AHeldTurnGivesTheSamePictureTwiceAndAnotherTurnAnotherPicture)
{
    ASSERT_TRUE(server.Ok());
    std::vector<std::string> pictures;
    for (const char* turn : {"30", "30", "120"}) {
        const std::string out = dir.File("turn" + std::to_string(pictures.size()) + ".png");
        ASSERT_EQ(Run({"--out", out, "--size", "160x120", "--ms", "400", "--world", "--turn", turn, "--bob", "0"}), 0)
            << run->Stderr();
        pictures.push_back(test::ReadFileBytes(out));
        ASSERT_GT(pictures.back().size(), 24u);
    }
    EXPECT_TRUE(pictures[0] == pictures[1]);
    EXPECT_FALSE(pictures[0] == pictures[2]);
}

TEST_F(Snapshot, PreviewIsA24BitBmpOfThePreviewSizeThatThePaneShows)
{
    ASSERT_TRUE(server.Ok());
    const std::string preview = dir.File("preview.bmp");
    ASSERT_EQ(Run({"--preview", preview, "--size", "304x224", "--ms", "200", "--world"}), 0) << run->Stderr();
    const std::string bmp = test::ReadFileBytes(preview);
    ASSERT_EQ(bmp.size(), 54u + 152u * 3u * 112u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    const std::vector<std::uint32_t> pane = PreviewPixels(kPreviewPictureWidth, kPreviewPictureHeight, preview);
    ASSERT_EQ(pane.size(), 152u * 112u);
    // The sky fills the top row and is never black.
    EXPECT_NE(pane[0], 0u);
    EXPECT_NE(pane[151], 0u);
}

// Polls the child's standard output for `text` for up to 60 s.
bool WaitForOutput(const ChildProcess& child, const std::string& text)
{
    for (int i = 0; i < 600; ++i) {
        if (child.Stdout().find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

TEST_F(Snapshot, WindowReloadsTheArchivesSavesTheFrameAndEndsOnEscape)
{
    ASSERT_TRUE(server.Ok());
    const std::string out = dir.File("window.png");
    ChildProcess window(
        {TARNWOOD_INSTALL_DIR "/tarnwood-snapshot", "--window", "--size", "200x150", "--turn", "10", "--out", out},
        {{"DISPLAY", server.Display()}});
    ASSERT_TRUE(WaitForOutput(window, "showing the archives")) << window.Stderr();
    const std::string focus = "xdotool search --name 'look development' windowfocus --sync";
    ASSERT_EQ(RunShell(focus, server.Display()), 0);
    ASSERT_EQ(RunShell("xdotool key r", server.Display()), 0);
    EXPECT_TRUE(WaitForOutput(window, "reloaded the archives")) << window.Stdout() << window.Stderr();
    ASSERT_EQ(RunShell("xdotool key s", server.Display()), 0);
    EXPECT_TRUE(WaitForOutput(window, "saved " + out)) << window.Stdout() << window.Stderr();
    const std::string png = test::ReadFileBytes(out);
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(BigEndian(png, 16), 200u);
    EXPECT_EQ(BigEndian(png, 20), 150u);
    ASSERT_EQ(RunShell("xdotool key Escape", server.Display()), 0);
    EXPECT_EQ(window.Wait(30000), 0) << window.Stderr();
}

}
}
