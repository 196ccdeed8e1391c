#include "resources/PakArchive.h"

#include "TinyTmpfs.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace tarnwood {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::TinyTmpfs;
using test::WriteFileBytes;

const std::string toolPath = std::string(TARNWOOD_INSTALL_DIR) + "/tarnwood-pak";

struct ToolResult {
    int status;
    std::string out;
    std::string err;
};

ToolResult RunTool(const std::vector<std::string>& args, const std::string& workDir = {})
{
    std::vector<std::string> argv = {toolPath};
    argv.insert(argv.end(), args.begin(), args.end());
    test::ChildProcess child(argv, {}, workDir);
    const int status = child.Wait(20000);
    return {status, child.Stdout(), child.Stderr()};
}

bool IsOneLine(const std::string& text)
{
    return !text.empty() && text.find('\n') == text.size() - 1;
}

TEST(PakTool, CreateListExtractRoundTripBinaryFilesExactly)
{
    TempDir dir;
    std::string every;
    for (int i = 0; i < 256; ++i)
        every.push_back(static_cast<char>(i));
    const std::vector<std::pair<std::string, std::string>> files = {
        {"all-bytes.bin", every},
        {"line-ends.txt", std::string("a\r\nb\n\rc\n\n\r\r", 11)},
        {"empty", ""},
        {"sub/dir/nested.dat", std::string("\0\x0A\x0D\x1A\xFF", 5)},
    };
    std::vector<std::string> args = {"create", "out.pak"};
    std::string expectedListing;
    for (const auto& [name, bytes] : files) {
        std::filesystem::create_directories(std::filesystem::path(dir.File(name)).parent_path());
        WriteFileBytes(dir.File(name), bytes);
        args.push_back(name);
        expectedListing += std::to_string(bytes.size()) + "\t" + name + "\n";
    }

    const ToolResult created = RunTool(args, dir.Path().string());
    ASSERT_EQ(created.status, 0) << created.err;
    EXPECT_EQ(created.err, "");

    const ToolResult listed = RunTool({"list", dir.File("out.pak")});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, expectedListing);

    const std::string target = dir.File("unpacked");
    const ToolResult extracted = RunTool({"extract", dir.File("out.pak"), target});
    ASSERT_EQ(extracted.status, 0) << extracted.err;
    for (const auto& [name, bytes] : files)
        EXPECT_EQ(ReadFileBytes(target + "/" + name), bytes) << name;
    EXPECT_TRUE(std::filesystem::is_regular_file(target + "/empty"));
}

TEST(PakTool, HelpAndBadUsage)
{
    const ToolResult help = RunTool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: tarnwood-pak list ARCHIVE\n", 0), 0u) << help.out;
    EXPECT_EQ(help.err, "");

    const std::vector<std::vector<std::string>> misuses = {
        {},
        {"bogus"},
        {"list"},
        {"list", "a.pak", "b.pak"},
        {"extract", "a.pak"},
        {"extract", "a.pak", ""},
        {"create", "a.pak"},
        {"--help", "x"},
    };
    for (const auto& args : misuses) {
        const ToolResult result = RunTool(args);
        const std::string shown = args.empty() ? "(none)" : args[0] + " ... " + std::to_string(args.size());
        EXPECT_EQ(result.status, 2) << shown;
        EXPECT_TRUE(IsOneLine(result.err)) << shown << ": " << result.err;
        EXPECT_EQ(result.out, "") << shown;
    }
}

TEST(PakTool, FailuresNameTheFileAndExitOne)
{
    TempDir dir;
    WriteFileBytes(dir.File("cut.pak"), std::string("\x01\x00\x00\x00\x03", 5));
    WriteFileBytes(dir.File("input"), "data");
    const std::string longName = std::string(128, 'n');
    WriteFileBytes(dir.File(longName), "data");
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"list", dir.File("missing.pak")}, dir.File("missing.pak") + ": cannot open archive"},
        {{"list", dir.File("cut.pak")}, dir.File("cut.pak") + ": corrupt archive"},
        {{"extract", dir.File("cut.pak"), dir.File("out")}, dir.File("cut.pak") + ": corrupt archive"},
        {{"create", dir.File("new.pak"), dir.File("input"), dir.File("absent")}, dir.File("absent") + ": cannot open"},
        {{"create", dir.File("new.pak"), longName}, "cannot add: the name is 128 bytes long"},
        {{"create", dir.File("no/folder/new.pak"), dir.File("input")}, dir.File("no/folder/new.pak") + ": cannot create"},
    };
    for (const Case& c : cases) {
        const ToolResult result = RunTool(c.args, dir.Path().string());
        EXPECT_EQ(result.status, 1) << c.message;
        EXPECT_TRUE(IsOneLine(result.err)) << result.err;
        EXPECT_EQ(result.err.rfind("tarnwood-pak: ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("new.pak"))) << "no archive from a failed create";
}

TEST(PakTool, ExtractRefusesNamesLeavingTheFolderAndWritesTheRest)
{
    std::string problem;
    TempDir dir;
    PakArchive archive;
    ASSERT_TRUE(archive.AddEntry("../outside", "bad", 3, problem)) << problem;
    ASSERT_TRUE(archive.AddEntry("kept/inner", "good", 4, problem)) << problem;
    ASSERT_TRUE(archive.AddEntry("/etc/absolute", "bad", 3, problem)) << problem;
    ASSERT_TRUE(archive.Save(dir.File("mixed.pak"), problem)) << problem;

    const std::string target = dir.File("box");
    const ToolResult result = RunTool({"extract", dir.File("mixed.pak"), target});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("../outside: not extracted"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("/etc/absolute: not extracted"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("outside")));
    EXPECT_EQ(ReadFileBytes(target + "/kept/inner"), "good");
}

TEST(PakTool, CreateOverAnArchiveOnAFullDiskKeepsTheOldOne)
{
    TempDir dir;
    const std::string disk = dir.File("disk");
    TinyTmpfs tmpfs(disk, 64);
    if (!tmpfs.Mounted())
        GTEST_SKIP() << tmpfs.Problem();
    WriteFileBytes(dir.File("small"), std::string(1000, 's'));
    WriteFileBytes(dir.File("large"), std::string(200 * 1024, 'L'));
    const std::string archive = disk + "/scene.pak";
    ASSERT_EQ(RunTool({"create", archive, "small"}, dir.Path().string()).status, 0);
    const std::string before = ReadFileBytes(archive);
    ASSERT_EQ(before.size(), 4 + 1 + 5 + 4 + 1000u);

    const ToolResult result = RunTool({"create", archive, "small", "large"}, dir.Path().string());
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(IsOneLine(result.err)) << result.err;
    EXPECT_NE(result.err.find(archive + ": cannot write: No space left on device"), std::string::npos) << result.err;
    EXPECT_EQ(ReadFileBytes(archive), before) << "the old archive is intact";
    std::set<std::string> left;
    for (const auto& item : std::filesystem::directory_iterator(disk))
        left.insert(item.path().filename().string());
    EXPECT_EQ(left, std::set<std::string>{"scene.pak"}) << "no temporary file is left";

    // With room again the same command replaces it.
    ASSERT_EQ(RunTool({"create", archive, "small", "small"}, dir.Path().string()).status, 0);
}

TEST(PakTool, ExtractNeverFollowsSymbolicLinksInTheTargetFolder)
{
    std::string problem;
    TempDir dir;
    const std::string target = dir.File("box");
    const std::string outside = dir.File("outside");
    std::filesystem::create_directories(target);
    std::filesystem::create_directories(outside + "/folder");
    WriteFileBytes(outside + "/file", "precious");
    std::filesystem::create_directory_symlink(outside + "/folder", target + "/folderlink");
    std::filesystem::create_symlink(outside + "/file", target + "/filelink");
    std::filesystem::create_symlink(outside + "/created", target + "/dangling");
    std::filesystem::create_directories(target + "/real");
    std::filesystem::create_directory_symlink(outside + "/folder", target + "/real/deeper");

    PakArchive archive;
    const std::vector<std::string> refused = {"folderlink/planted", "filelink", "dangling", "real/deeper/x/y",
                                              "./folderlink/../../outside-by-dots"};
    for (const std::string& name : refused)
        ASSERT_TRUE(archive.AddEntry(name, "evil", 4, problem)) << name;
    ASSERT_TRUE(archive.AddEntry("real/kept", "good", 4, problem)) << problem;
    ASSERT_TRUE(archive.Save(dir.File("links.pak"), problem)) << problem;

    const ToolResult result = RunTool({"extract", dir.File("links.pak"), target});
    EXPECT_EQ(result.status, 1);
    for (const std::string& name : refused)
        EXPECT_NE(result.err.find(target + "/" + name + ": "), std::string::npos) << name << "\n" << result.err;
    EXPECT_NE(result.err.find("symbolic link"), std::string::npos) << result.err;
    EXPECT_EQ(ReadFileBytes(outside + "/file"), "precious");
    EXPECT_TRUE(std::filesystem::is_empty(outside + "/folder"));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(outside + "/created")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("outside-by-dots")));
    EXPECT_TRUE(std::filesystem::is_symlink(target + "/filelink")) << "the link itself is left alone";
    EXPECT_EQ(ReadFileBytes(target + "/real/kept"), "good");
}

TEST(PakTool, TheFirstOfTwoEntriesOfOneNameIsKeptWithAWarning)
{
    std::string problem;
    TempDir dir;
    PakArchive archive;
    ASSERT_TRUE(archive.AddEntry("leaf", "first", 5, problem)) << problem;
    ASSERT_TRUE(archive.AddEntry("other", "o", 1, problem)) << problem;
    ASSERT_TRUE(archive.AddEntry("leaf", "second", 6, problem)) << problem;
    ASSERT_TRUE(archive.AddEntry("./leaf", "third", 5, problem)) << problem;
    ASSERT_TRUE(archive.Save(dir.File("dup.pak"), problem)) << problem;

    const std::string target = dir.File("out");
    const ToolResult extracted = RunTool({"extract", dir.File("dup.pak"), target});
    EXPECT_EQ(extracted.status, 0) << extracted.err;
    EXPECT_EQ(ReadFileBytes(target + "/leaf"), "first");
    EXPECT_EQ(ReadFileBytes(target + "/other"), "o");
    EXPECT_NE(extracted.err.find("tarnwood-pak: warning: " + target + "/leaf: not extracted: an earlier entry"), std::string::npos)
        << extracted.err;
    EXPECT_NE(extracted.err.find(target + "/./leaf: not extracted"), std::string::npos) << extracted.err;

    // A file named twice on the command line becomes one entry.
    WriteFileBytes(dir.File("a"), "A");
    const ToolResult created = RunTool({"create", "twice.pak", "a", "a"}, dir.Path().string());
    EXPECT_EQ(created.status, 0) << created.err;
    EXPECT_EQ(created.err, "tarnwood-pak: warning: a: given more than once; added only the first time\n");
    EXPECT_EQ(RunTool({"list", dir.File("twice.pak")}).out, "1\ta\n");
}

TEST(PakTool, NamesAreEscapedInMessagesAndListings)
{
    std::string problem;
    TempDir dir;
    PakArchive archive;
    const std::string sneaky = "a\nfake: line\x1b[2J\x9b"
                               "31m\\";
    ASSERT_TRUE(archive.AddEntry("/" + sneaky, "x", 1, problem)) << problem;
    ASSERT_TRUE(archive.AddEntry("caf\xc3\xa9\t", "y", 1, problem)) << problem;
    ASSERT_TRUE(archive.Save(dir.File("names.pak"), problem)) << problem;
    const std::string shown = "a\\nfake: line\\x1b[2J\\x9b31m\\\\";

    const ToolResult listed = RunTool({"list", dir.File("names.pak")});
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.out, "1\t/" + shown + "\n1\tcaf\xc3\xa9\\t\n");

    const ToolResult extracted = RunTool({"extract", dir.File("names.pak"), dir.File("out")});
    EXPECT_EQ(extracted.status, 1);
    EXPECT_TRUE(IsOneLine(extracted.err)) << extracted.err;
    EXPECT_NE(extracted.err.find("//" + shown + ": not extracted: the entry name is an absolute path"), std::string::npos)
        << extracted.err;
    EXPECT_EQ(extracted.err.find('\x1b'), std::string::npos);
    EXPECT_EQ(ReadFileBytes(dir.File("out/caf\xc3\xa9\t")), "y");
}

}
}
