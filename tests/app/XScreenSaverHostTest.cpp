#include "support/HostTestFiles.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Picture.h"
#include "tests/support/TempDir.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace tarnwood {
namespace {

using test::ChildProcess;
using test::RunShell;
using test::TempDir;

const std::string kTarnwood = std::string(TARNWOOD_INSTALL_DIR) + "/Tarnwood";

bool OnPath(const std::string& program)
{
    return RunShell("command -v " + program + " >/dev/null 2>&1") == 0;
}

// Whether `pid` descends from `ancestor`.
bool DescendsFrom(int pid, int ancestor)
{
    for (int step = 0; step < 16 && pid > 1; ++step) {
        pid = test::ParentOf(pid);
        if (pid == ancestor)
            return true;
    }
    return false;
}

// Scene players started (directly or not) by process `ancestor`.
std::vector<int> PlayersUnder(int ancestor)
{
    std::vector<int> players;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream in(entry.path() / "cmdline");
        std::string argv0;
        std::getline(in, argv0, '\0');
        if (argv0 == kTarnwood && DescendsFrom(std::stoi(name), ancestor))
            players.push_back(std::stoi(name));
    }
    return players;
}

// Debian's xscreensaver on a private X server, with Tarnwood as its only
// program, run as an ordinary user: as root it refuses to launch programs.
TEST(XScreenSaverHost, DrawsTheSceneInTheSaversWindowAndEndsWhenDeactivated)
{
    if (!OnPath("xscreensaver") || !OnPath("xscreensaver-command"))
        GTEST_SKIP() << "xscreensaver is not installed (scripts/deps.sh installs it)";
    test::XvfbServer server(1024, 768, true);
    ASSERT_TRUE(server.Ok());
    TempDir home;
    const bool root = geteuid() == 0;
    // As root, everything the saver runs runs as `nobody`.
    const std::string asUser = root ? "setpriv --reuid=nobody --regid=nogroup --clear-groups " : "";
    if (root)
        ASSERT_EQ(RunShell("chown nobody:nogroup " + home.Path().string()), 0);
    ASSERT_EQ(RunShell(asUser + "test -x " + kTarnwood + " -a -r " + std::string(TARNWOOD_INSTALL_DIR) + "/main.pak"), 0)
        << "the user the saver runs as cannot run " << kTarnwood << "; make its folders readable";

    test::WriteFileBytes(home.File(".xscreensaver"),
                         "timeout: 0:30:00\nlock: False\nmode: one\nselected: 0\nsplash: False\nfade: False\n"
                         "unfade: False\nprograms: \"Tarnwood\" "
                             + kTarnwood + " --root \\n\n");
    if (root)
        ASSERT_EQ(RunShell("chown nobody:nogroup " + home.File(".xscreensaver")), 0);

    // The saver gets a clean environment; sanitizer settings pass through,
    // without the leak scan, which would hold up the player's end.
    std::vector<std::string> command;
    if (root)
        command = {"/usr/bin/setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
    const char* asan = std::getenv("ASAN_OPTIONS");
    const char* ubsan = std::getenv("UBSAN_OPTIONS");
    for (const std::string& word :
         {std::string("/usr/bin/env"), std::string("-i"), "HOME=" + home.Path().string(), "DISPLAY=" + server.Display(),
          std::string("PATH=/usr/bin:/bin"), "XDG_CONFIG_DIRS=" + home.Path().string(),
          "ASAN_OPTIONS=" + (asan != nullptr ? std::string(asan) + ":" : std::string()) + "detect_leaks=0",
          "UBSAN_OPTIONS=" + std::string(ubsan != nullptr ? ubsan : ""), std::string("xscreensaver"),
          std::string("-no-splash")})
        command.push_back(word);
    ChildProcess saver(command);

    auto saverCommand = [&](const std::string& what) {
        return RunShell(asUser + "env HOME=" + home.Path().string() + " xscreensaver-command " + what + " >/dev/null 2>&1",
                        server.Display());
    };
    // The daemon answers once it has started.
    bool activated = false;
    for (int i = 0; i < 150 && !activated && saver.Running(); ++i) {
        activated = saverCommand("-activate") == 0;
        if (!activated)
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    ASSERT_TRUE(activated) << saver.Stderr();

    // The saver's window covers the screen; the scene must appear in it.
    const std::string shot = home.File("screen.ppm");
    test::Picture picture;
    bool scene = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!scene && std::chrono::steady_clock::now() < deadline) {
        if (RunShell("import -window root -depth 8 " + shot, server.Display()) == 0
            && test::ReadPpm(test::ReadFileBytes(shot), picture))
            scene = picture.Share(0.25, 0.1, 0.75, 0.6, test::Leafy) > 0.05
                && picture.Share(0.75, 0.85, 0.95, 1.0, test::White) > 0.02
                && picture.Share(0.8, 0.0, 1.0, 0.3, test::White) > 0.02;
        if (!scene)
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    EXPECT_TRUE(scene) << saver.Stderr();
    const std::vector<int> players = PlayersUnder(saver.Pid());
    EXPECT_FALSE(players.empty()) << "no scene player under the saver";

    // By process id, so that a player that lost its parent still counts.
    auto anyPlayerLeft = [&]() {
        for (int pid : players) {
            std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline");
            std::string argv0;
            if (std::getline(in, argv0, '\0') && argv0 == kTarnwood)
                return true;
        }
        return false;
    };
    ASSERT_EQ(saverCommand("-deactivate"), 0);
    bool playersGone = false;
    for (int i = 0; i < 100 && !playersGone; ++i) {
        playersGone = !anyPlayerLeft();
        if (!playersGone)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(playersGone) << "a scene player was left running after the saver was deactivated";

    saverCommand("-exit");
    if (saver.Wait(10000) < 0)
        kill(saver.Pid(), SIGTERM);
    saver.Wait(10000);
}

}
}
