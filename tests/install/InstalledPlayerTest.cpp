#include "Installation.h"

#include "support/ChildProcess.h"
#include "support/Picture.h"
#include "support/StandInWindow.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <regex>
#include <sstream>
#include <thread>

namespace tarnwood {
namespace {

using test::ChildProcess;
using test::Installation;
using test::Picture;
using test::StandInWindow;
using test::TempDir;
using test::XvfbServer;

std::string XPath(const std::string& xml, const std::string& query)
{
    ChildProcess lint({"/usr/bin/xmllint", "--xpath", query, xml});
    if (lint.Wait(30000) != 0)
        return {};
    std::string text = lint.Stdout();
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

void AppendWords(const std::string& text, std::vector<std::string>& words)
{
    std::istringstream in(text);
    std::string word;
    while (in >> word)
        words.push_back(word);
}

// Every argument the description can make xscreensaver pass, in document
// order: the command's, each option's and checkbox's, and each slider's
// with its highest value put in for %.
std::vector<std::string> DescriptionArguments(const std::string& xml)
{
    std::vector<std::string> arguments;
    const std::string attributes = XPath(
        xml, "//command/@arg | //option/@arg-set | //boolean/@arg-set | //boolean/@arg-unset");
    const std::regex attribute(R"re([\w-]+="([^"]*)")re");
    for (std::sregex_iterator it(attributes.begin(), attributes.end(), attribute), end; it != end; ++it)
        AppendWords((*it)[1].str(), arguments);
    const int sliders = std::atoi(XPath(xml, "count(//number)").c_str());
    for (int i = 1; i <= sliders; ++i) {
        std::string arg = XPath(xml, "string((//number)[" + std::to_string(i) + "]/@arg)");
        const std::string high = XPath(xml, "string((//number)[" + std::to_string(i) + "]/@high)");
        const std::size_t percent = arg.find('%');
        if (percent != std::string::npos)
            arg.replace(percent, 1, high);
        AppendWords(arg, arguments);
    }
    return arguments;
}

// Environment of a display mode run: the private X server, and settings
// folders of its own, so no settings file of this machine plays a part.
std::vector<std::pair<std::string, std::string>> HostEnvironment(const XvfbServer& server, const TempDir& home)
{
    return {{"DISPLAY", server.Display()},
            {"XDG_CONFIG_DIRS", home.File("etc-xdg")},
            {"XDG_CONFIG_HOME", home.File("config")},
            {"XSCREENSAVER_WINDOW", "\x01unset"}};
}

// Polls the window until `drawn` holds for its picture or the player ends;
// false when neither happened within the time.
bool WaitForPicture(StandInWindow& window, ChildProcess& player, const std::function<bool(const Picture&)>& drawn)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline && player.Running()) {
        const Picture picture = window.Capture();
        if (picture.width > 0 && drawn(picture))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return false;
}

// The installed display mode, started as xscreensaver starts it (through
// its hack link, with the window in XSCREENSAVER_WINDOW) and with every
// argument the description names, draws into the window and ends on SIGTERM.
TEST(XscreensaverDescription, EveryArgumentItNamesIsAcceptedByTheInstalledHack)
{
    Installation installed;
    ASSERT_TRUE(installed.Ok()) << installed.Log();
    const std::vector<std::string> arguments = DescriptionArguments(
        installed.Staged("/usr/share/xscreensaver/config/tarnwood.xml"));
    ASSERT_GT(arguments.size(), 10u);
    ASSERT_EQ(arguments.front(), "--root");

    XvfbServer server;
    ASSERT_TRUE(server.Ok());
    TempDir home;
    StandInWindow window(server.Display(), 320, 240);
    ASSERT_TRUE(window.Ok());

    std::vector<std::string> argv = {installed.Staged("/usr/libexec/xscreensaver/tarnwood")};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    auto env = HostEnvironment(server, home);
    env.back() = {"XSCREENSAVER_WINDOW", window.DecimalId()};
    ChildProcess player(argv, env);
    const bool drawn = WaitForPicture(window, player,
                                      [](const Picture& p) { return p.Share(0, 0, 1, 1, test::NotBlack) > 0.5; });
    ASSERT_TRUE(drawn) << "exit " << player.Wait(0) << ": " << player.Stderr();
    kill(player.Pid(), SIGTERM);
    EXPECT_EQ(player.Wait(10000), 0) << player.Stderr();

    // The same check refuses what the program does not know.
    argv.push_back("--no-such-option");
    ChildProcess refused(argv, env);
    EXPECT_EQ(refused.Wait(30000), 2) << refused.Stderr();
}

// The command in the user's path, pointed at a window as xscreensaver's
// settings dialog does for its preview, shows the scene there.
TEST(InstalledPlayer, DrawsTheSceneInAStandInHostWindowAndEndsOnTerm)
{
    Installation installed;
    ASSERT_TRUE(installed.Ok()) << installed.Log();
    XvfbServer server;
    ASSERT_TRUE(server.Ok());
    TempDir home;
    StandInWindow window(server.Display(), 400, 300);
    ASSERT_TRUE(window.Ok());

    ChildProcess player({installed.Staged("/usr/bin/tarnwood"), "--root", "--window-id", window.HexId()},
                        HostEnvironment(server, home));
    const bool drawn = WaitForPicture(window, player, [](const Picture& p) {
        return p.Share(0.2, 0.1, 0.8, 0.7, test::Leafy) > 0.05 && p.Share(0, 0, 1, 1, test::NotBlack) > 0.8;
    });
    ASSERT_TRUE(drawn) << "exit " << player.Wait(0) << ": " << player.Stderr();
    kill(player.Pid(), SIGTERM);
    EXPECT_EQ(player.Wait(10000), 0) << player.Stderr();
}

}
}
