#include "app/Settings.h"
#include "app/SettingsWriter.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <sstream>
#include <thread>

// Xlib defines macros such as None and Bool that clash with names in GoogleTest.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace tarnwood {
namespace {

using test::ChildProcess;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

const std::string kConfig = std::string(TARNWOOD_INSTALL_DIR) + "/config";
const std::string kTarnwood = std::string(TARNWOOD_INSTALL_DIR) + "/Tarnwood";

bool PollFor(const std::function<bool()>& condition, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

// A process that exists and has not ended (a zombie has ended).
bool ProcessAlive(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return false;
    const std::string::size_type close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
}

// The scene players that `parent` runs, with the window each draws into.
struct Player {
    pid_t pid;
    unsigned long window;
};

std::vector<Player> PlayersOf(pid_t parent)
{
    std::vector<Player> players;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream status(entry.path() / "status");
        std::string line;
        pid_t ppid = -1;
        while (std::getline(status, line))
            if (line.rfind("PPid:", 0) == 0)
                ppid = std::stoi(line.substr(5));
        if (ppid != parent)
            continue;
        std::ifstream cmdline(entry.path() / "cmdline", std::ios::binary);
        std::vector<std::string> words;
        std::string word;
        while (std::getline(cmdline, word, '\0'))
            words.push_back(word);
        if (words.empty() || words[0] != kTarnwood || !ProcessAlive(std::stoi(name)))
            continue;
        for (std::size_t i = 0; i + 1 < words.size(); ++i)
            if (words[i] == "--window-id")
                players.push_back({std::stoi(name), std::stoul(words[i + 1], nullptr, 0)});
    }
    return players;
}

unsigned ChannelOf(unsigned long pixel, unsigned long mask)
{
    int shift = 0;
    while (((mask >> shift) & 1UL) == 0)
        ++shift;
    return static_cast<unsigned>(((pixel & mask) >> shift) * 255 / (mask >> shift));
}

// The real config program on a private X server, with a user folder and a
// machine-wide folder of the test's own.
class SettingsDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
#ifndef TARNWOOD_DIALOG_BUILT
        GTEST_SKIP() << "config was built without its dialog (no GTK 3)";
#endif
        server = std::make_unique<test::XvfbServer>();
        ASSERT_TRUE(server->Ok());
        display = XOpenDisplay(server->Display().c_str());
        ASSERT_NE(display, nullptr);
        // A read-back of a window that is not wholly on the screen fails with
        // an X error, which must not end the test program.
        XSetErrorHandler([](::Display*, XErrorEvent*) { return 0; });
        std::filesystem::create_directories(MachineFolder());
    }

    void TearDown() override
    {
        if (display != nullptr)
            XCloseDisplay(display);
    }

    std::vector<std::pair<std::string, std::string>> Environment() const
    {
        return {{"DISPLAY", server->Display()},
                {"XDG_CONFIG_HOME", UserFolder()},
                {"XDG_CONFIG_DIRS", MachineFolder()},
                // No accessibility bus or settings daemon on the test machine.
                {"NO_AT_BRIDGE", "1"},
                {"GSETTINGS_BACKEND", "memory"}};
    }

    std::unique_ptr<ChildProcess> Start(std::vector<std::string> arguments = {})
    {
        arguments.insert(arguments.begin(), kConfig);
        return std::make_unique<ChildProcess>(arguments, Environment());
    }

    // The dialog's visible top-level window, once it is shown.
    unsigned long DialogWindow(int timeoutMs = 30000)
    {
        unsigned long window = 0;
        PollFor(
            [&] {
                ChildProcess search({"/usr/bin/xdotool", "search", "--onlyvisible", "--name", "Tarnwood Settings"},
                                    {{"DISPLAY", server->Display()}});
                search.Wait(5000);
                std::istringstream found(search.Stdout());
                return static_cast<bool>(found >> window);
            },
            timeoutMs);
        return window;
    }

    // Keys pressed in the dialog, such as "alt+a" for the choice "_Analogue".
    void Press(unsigned long window, const std::string& keys)
    {
        const std::string command = "timeout 20 xdotool windowfocus --sync " + std::to_string(window)
            + " key --delay 80 " + keys;
        ASSERT_EQ(test::RunShell(command, server->Display()), 0);
    }

    std::vector<std::uint32_t> ReadBack(unsigned long window, int& width, int& height)
    {
        std::vector<std::uint32_t> pixels;
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display, window, &attributes))
            return pixels;
        width = attributes.width;
        height = attributes.height;
        XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                  AllPlanes, ZPixmap);
        if (image == nullptr)
            return pixels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const unsigned long p = XGetPixel(image, x, y);
                pixels.push_back((ChannelOf(p, image->red_mask) << 16) | (ChannelOf(p, image->green_mask) << 8)
                                 | ChannelOf(p, image->blue_mask));
            }
        XDestroyImage(image);
        return pixels;
    }

    // The scene's look: a sky that is bluer at the top than at the bottom,
    // and many colours (the tree, its leaves), never a plain fill.
    bool ShowsTheScene(unsigned long window)
    {
        int width = 0;
        int height = 0;
        const std::vector<std::uint32_t> pixels = ReadBack(window, width, height);
        if (pixels.empty() || height < 8)
            return false;
        std::set<std::uint32_t> colours(pixels.begin(), pixels.end());
        const auto blueMinusRed = [&](int row) {
            long sum = 0;
            for (int x = 0; x < width; ++x) {
                const std::uint32_t p = pixels[static_cast<std::size_t>(row * width + x)];
                sum += static_cast<long>(p & 0xFF) - static_cast<long>((p >> 16) & 0xFF);
            }
            return sum / width;
        };
        return colours.size() > 200 && blueMinusRed(2) > blueMinusRed(height * 3 / 4) + 20;
    }

    std::string UserFolder() const
    {
        return (folder.Path() / "user").string();
    }
    std::string MachineFolder() const
    {
        return (folder.Path() / "machine").string();
    }
    std::string UserFile() const
    {
        return UserFolder() + "/velquist_Tarnwood_cfg";
    }
    std::string MachineFile() const
    {
        return MachineFolder() + "/velquist_Tarnwood_cfg";
    }

    TempDir folder;
    std::unique_ptr<test::XvfbServer> server;
    ::Display* display = nullptr;
};

// An administrator's choices that differ from the defaults in several fields,
// so that a dialog which rewrote fields it was not asked to would show.
Settings MachineChoices()
{
    Settings s;
    s.clock24Hour = 1;
    s.largeClock = 0;
    s.calendarRus = 1;
    s.showFrameRate = 1;
    s.displayMode = 3;
    return s;
}

TEST_F(SettingsDialog, AnalogueAndOkWritesTheSameBytesAsTheCommandLine)
{
    WriteFileBytes(MachineFile(), EncodeSettings(MachineChoices()));
    auto dialog = Start();
    const unsigned long window = DialogWindow();
    ASSERT_NE(window, 0u) << dialog->Stderr();
    Press(window, "alt+a alt+o");
    ASSERT_EQ(dialog->Wait(20000), 0) << dialog->Stderr();
    const std::string fromDialog = ReadFileBytes(UserFile());

    std::filesystem::remove(UserFile());
    ChildProcess set({kConfig, "--set", "analogClock=on"}, Environment());
    ASSERT_EQ(set.Wait(10000), 0) << set.Stderr();
    EXPECT_EQ(fromDialog, ReadFileBytes(UserFile()));
    EXPECT_EQ(fromDialog.size(), 28u);
    EXPECT_EQ(ReadFileBytes(MachineFile()), EncodeSettings(MachineChoices()));
}

TEST_F(SettingsDialog, CancelLeavesEveryFileByteForByte)
{
    // A file of the user's own with bytes no writer of ours produces:
    // reserved texts, a flag byte of 2 and a mode outside the table.
    Settings choices = MachineChoices();
    choices.displayMode = 42;
    std::string own = EncodeSettings(choices);
    own.replace(4, 4,
                std::string("\x03\x00\x00\x00"
                            "abc",
                            7));
    own[own.size() - 7] = 2;
    std::filesystem::create_directories(UserFolder());
    WriteFileBytes(UserFile(), own);
    WriteFileBytes(MachineFile(), EncodeSettings(Settings()));

    auto dialog = Start();
    const unsigned long window = DialogWindow();
    ASSERT_NE(window, 0u) << dialog->Stderr();
    Press(window, "alt+n alt+m alt+f alt+v alt+c");
    ASSERT_EQ(dialog->Wait(20000), 0) << dialog->Stderr();
    EXPECT_EQ(ReadFileBytes(UserFile()), own);
    EXPECT_EQ(ReadFileBytes(MachineFile()), EncodeSettings(Settings()));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(UserFolder()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"velquist_Tarnwood_cfg"});
}

// The preview runs the real player in the dialog, restarts it for a new
// choice, and closing the dialog ends every player it started.
TEST_F(SettingsDialog, PreviewShowsTheSceneAndNoPlayerOutlivesTheDialog)
{
    auto dialog = Start();
    const unsigned long window = DialogWindow();
    ASSERT_NE(window, 0u) << dialog->Stderr();
    std::vector<Player> first;
    ASSERT_TRUE(PollFor([&] { return (first = PlayersOf(dialog->Pid())).size() == 1; }, 20000))
        << "no player in the dialog";
    EXPECT_TRUE(PollFor([&] { return ShowsTheScene(first[0].window); }, 30000)) << "the preview shows no scene";

    Press(window, "alt+n");
    std::vector<Player> second;
    ASSERT_TRUE(PollFor(
        [&] {
            second = PlayersOf(dialog->Pid());
            return second.size() == 1 && second[0].pid != first[0].pid;
        },
        20000))
        << "a new choice restarts the player";
    EXPECT_FALSE(ProcessAlive(first[0].pid));
    EXPECT_TRUE(PollFor([&] { return ShowsTheScene(second[0].window); }, 30000));

    Press(window, "Escape");
    ASSERT_EQ(dialog->Wait(20000), 0) << dialog->Stderr();
    EXPECT_FALSE(ProcessAlive(second[0].pid)) << "the player outlived the dialog";
    EXPECT_FALSE(std::filesystem::exists(UserFile())) << "closing without OK writes nothing";
}

TEST_F(SettingsDialog, PlayerDiesWithTheDialogEvenWhenTheDialogIsKilled)
{
    for (int signal : {SIGKILL, SIGTERM}) {
        auto dialog = Start();
        ASSERT_NE(DialogWindow(), 0u) << dialog->Stderr();
        std::vector<Player> players;
        ASSERT_TRUE(PollFor([&] { return (players = PlayersOf(dialog->Pid())).size() == 1; }, 20000));
        kill(dialog->Pid(), signal);
        dialog->Wait(20000);
        EXPECT_TRUE(PollFor([&] { return !ProcessAlive(players[0].pid); }, 10000))
            << "the player outlived a dialog ended by signal " << signal;
    }
}

// A folder that cannot be written: OK keeps the dialog open and shows why.
TEST_F(SettingsDialog, SaveErrorIsShownInTheDialogWhichStaysOpen)
{
    WriteFileBytes(UserFolder(), "a file where the user's folder should be");
    auto dialog = Start();
    const unsigned long window = DialogWindow();
    ASSERT_NE(window, 0u) << dialog->Stderr();
    const auto height = [&] {
        XWindowAttributes attributes{};
        XGetWindowAttributes(display, window, &attributes);
        return attributes.height;
    };
    const int before = height();
    Press(window, "alt+a alt+o");
    // The message bar above the controls makes the dialog taller.
    const auto showsError = [&] { return height() > before + 40; };
    EXPECT_TRUE(PollFor(showsError, 10000));
    EXPECT_TRUE(dialog->Running()) << "a failed save keeps the dialog open";
    EXPECT_NE(dialog->Stderr().find("not a folder"), std::string::npos) << dialog->Stderr();
    Press(window, "alt+c");
    EXPECT_EQ(dialog->Wait(20000), 0);
    EXPECT_EQ(ReadFileBytes(UserFolder()), "a file where the user's folder should be");
}

// The host's "Settings..." button starts the program with /c, which opens
// this dialog.
TEST_F(SettingsDialog, ConfigurationModeOpensTheDialog)
{
    ChildProcess host({kTarnwood, "/c"}, Environment());
    EXPECT_EQ(host.Wait(10000), 0);
    const unsigned long window = DialogWindow();
    ASSERT_NE(window, 0u);
    Press(window, "alt+c");
    EXPECT_TRUE(PollFor([&] { return DialogWindow(200) == 0; }, 20000)) << "the dialog did not close";
}

}
}
