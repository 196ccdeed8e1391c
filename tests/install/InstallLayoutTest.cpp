#include "Installation.h"

#include "support/ChildProcess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace tarnwood {
namespace {

namespace fs = std::filesystem;
using test::ChildProcess;
using test::Installation;
using test::ReadFileBytes;
using test::TempDir;

// Every file a prefix-/usr installation brings, and for the links the
// program file of the install directory they must reach.
struct InstalledPath {
    const char* path;
    const char* reaches;  // nullptr: a plain file
    bool executable;
};

constexpr InstalledPath kInstalledPaths[] = {
    {"/usr/lib/tarnwood/Tarnwood", nullptr, true},
    {"/usr/lib/tarnwood/config", nullptr, true},
    {"/usr/lib/tarnwood/tarnwood-pak", nullptr, true},
    {"/usr/lib/tarnwood/tarnwood-snapshot", nullptr, true},
    {"/usr/lib/tarnwood/main.pak", nullptr, false},
    {"/usr/lib/tarnwood/utils.pak", nullptr, false},
    {"/usr/lib/tarnwood/debug.pak", nullptr, false},
    {"/usr/lib/tarnwood/clock.pak", nullptr, false},
    {"/usr/lib/tarnwood/calendar.pak", nullptr, false},
    {"/usr/lib/tarnwood/preview.ppk", nullptr, false},
    {"/usr/bin/tarnwood", "/usr/lib/tarnwood/Tarnwood", true},
    {"/usr/bin/tarnwood-config", "/usr/lib/tarnwood/config", true},
    {"/usr/bin/tarnwood-pak", "/usr/lib/tarnwood/tarnwood-pak", true},
    {"/usr/bin/tarnwood-snapshot", "/usr/lib/tarnwood/tarnwood-snapshot", true},
    {"/usr/libexec/xscreensaver/tarnwood", "/usr/lib/tarnwood/Tarnwood", true},
    {"/usr/share/xscreensaver/config/tarnwood.xml", nullptr, false},
    {"/usr/share/man/man6/tarnwood.6.gz", nullptr, false},
    {"/usr/share/man/man1/tarnwood-config.1.gz", nullptr, false},
    {"/usr/share/man/man1/tarnwood-pak.1.gz", nullptr, false},
    {"/usr/share/man/man1/tarnwood-snapshot.1.gz", nullptr, false},
    {"/usr/share/doc/tarnwood/README.md", nullptr, false},
    {"/usr/share/doc/tarnwood/docs/scene.png", nullptr, false},
    {"/etc/xdg/Velquist/Tarnwood.conf", nullptr, false},
};

TEST(InstallLayout, EveryFileIsInPlaceAndEveryLinkReachesItsProgram)
{
    Installation installed;
    ASSERT_TRUE(installed.Ok()) << installed.Log();
    for (const InstalledPath& entry : kInstalledPaths) {
        SCOPED_TRACE(entry.path);
        const std::string staged = installed.Staged(entry.path);
        struct stat st {};
        ASSERT_EQ(stat(staged.c_str(), &st), 0) << "missing or a dangling link";
        EXPECT_TRUE(S_ISREG(st.st_mode));
        EXPECT_EQ((st.st_mode & S_IXUSR) != 0, entry.executable);
        EXPECT_EQ(fs::is_symlink(staged), entry.reaches != nullptr);
        if (entry.reaches != nullptr) {
            // Relative links: they reach the program inside the staging tree
            // just as they will on the target system.
            EXPECT_TRUE(fs::read_symlink(staged).is_relative());
            EXPECT_TRUE(fs::equivalent(staged, installed.Staged(entry.reaches)));
        }
    }
    // The archives are the ones this build baked, whole.
    EXPECT_EQ(ReadFileBytes(installed.Staged("/usr/lib/tarnwood/main.pak")),
              ReadFileBytes(TARNWOOD_INSTALL_DIR "/main.pak"));
}

// The configuration file names the install directory of the prefix given at
// install time, and lies where the programs look for it: /etc/xdg for /usr,
// under the prefix otherwise.
TEST(InstallLayout, ConfigurationFileNamesTheInstallDirectoryOfThePrefix)
{
    struct Case {
        const char* prefix;
        const char* conf;
        const char* text;
    };
    const Case cases[] = {
        {"/usr", "/etc/xdg/Velquist/Tarnwood.conf", "[Settings]\nPath=/usr/lib/tarnwood/\n"},
        {"/usr/local", "/usr/local/etc/xdg/Velquist/Tarnwood.conf", "[Settings]\nPath=/usr/local/lib/tarnwood/\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prefix);
        Installation installed(c.prefix);
        ASSERT_TRUE(installed.Ok()) << installed.Log();
        EXPECT_EQ(ReadFileBytes(installed.Staged(c.conf)), c.text);
        EXPECT_TRUE(fs::exists(installed.Staged(std::string(c.prefix) + "/lib/tarnwood/Tarnwood")));
    }
}

// The installed settings program, started through its command link, saves
// a change that its next run reads back.
TEST(InstalledPrograms, ConfigThroughItsLinkWritesSettingsTheNextRunReads)
{
    Installation installed;
    ASSERT_TRUE(installed.Ok()) << installed.Log();
    TempDir home;
    const std::vector<std::pair<std::string, std::string>> env = {
        {"XDG_CONFIG_DIRS", home.File("etc-xdg")},
        {"XDG_CONFIG_HOME", home.File("config")},
        {"HOME", home.Path().string()},
    };
    const std::string config = installed.Staged("/usr/bin/tarnwood-config");

    ChildProcess set({config, "--set", "analogClock=on", "calendarRus=on"}, env);
    ASSERT_EQ(set.Wait(30000), 0) << set.Stdout() << set.Stderr();

    ChildProcess show({config, "--list"}, env);
    ASSERT_EQ(show.Wait(30000), 0) << show.Stderr();
    EXPECT_NE(show.Stdout().find("analogClock      on"), std::string::npos) << show.Stdout();
    EXPECT_NE(show.Stdout().find("calendarRus      on"), std::string::npos) << show.Stdout();
    EXPECT_NE(show.Stdout().find("clock24Hour      off"), std::string::npos) << show.Stdout();

    bool written = false;
    for (const auto& entry : fs::recursive_directory_iterator(home.Path()))
        written = written || entry.path().filename() == "velquist_Tarnwood_cfg";
    EXPECT_TRUE(written) << "no settings file under " << home.Path();
}

// xscreensaver finds a display mode's description by the mode's program
// name, and starts the program with the description's command argument.
// xmllint's answer to an --xpath string() query, without its closing newline.
std::string XPathString(const std::string& xml, const std::string& query)
{
    ChildProcess lint({"/usr/bin/xmllint", "--xpath", "string(" + query + ")", xml});
    if (lint.Wait(30000) != 0)
        return "(xmllint failed: " + lint.Stderr() + ")";
    std::string text = lint.Stdout();
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

TEST(XscreensaverDescription, IsWellFormedAndNamesTheInstalledHack)
{
    Installation installed;
    ASSERT_TRUE(installed.Ok()) << installed.Log();
    const std::string xml = installed.Staged("/usr/share/xscreensaver/config/tarnwood.xml");

    ChildProcess lint({"/usr/bin/xmllint", "--noout", xml});
    ASSERT_EQ(lint.Wait(30000), 0) << lint.Stderr();

    const std::string name = XPathString(xml, "/screensaver/@name");
    EXPECT_TRUE(fs::exists(installed.Staged("/usr/libexec/xscreensaver/" + name))) << "no hack named '" << name << "'";
    EXPECT_EQ(XPathString(xml, "/screensaver/command/@arg"), "--root");
}

}
}
