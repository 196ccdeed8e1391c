#include "resources/EscapedName.h"
#include "resources/PakArchive.h"

#include "TinyTmpfs.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sys/stat.h>

namespace tarnwood {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::TinyTmpfs;
using test::WriteFileBytes;

std::set<std::string> FilesIn(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder))
        names.insert(item.path().lexically_relative(folder).string());
    return names;
}

TEST(EscapedName, KeepsPrintableTextAndEscapesEverythingElse)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"tree/leaf.png", "tree/leaf.png"},
        {"", ""},
        {"line\nbreak\r\ttab", "line\\nbreak\\r\\ttab"},
        {std::string("nul\0bell\a", 9), "nul\\x00bell\\x07"},
        {"\x1b[31mred\x7f", "\\x1b[31mred\\x7f"},
        {"back\\slash", "back\\\\slash"},
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8d\x82", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8d\x82"},
        // A C1 control (CSI) raw and encoded as UTF-8.
        {"\x9b"
         "2J",
         "\\x9b2J"},
        {"\xc2\x9b"
         "2J",
         "\\xc2\\x9b2J"},
        // Not UTF-8: stray continuation, overlong slash, surrogate, cut short.
        {"\x80\xc0\xaf", "\\x80\\xc0\\xaf"},
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"},
        {"end\xe2\x82", "end\\xe2\\x82"},
    };
    for (const auto& [raw, shown] : cases)
        EXPECT_EQ(EscapedName(raw), shown) << shown;
}

TEST(PakArchiveSafety, SaveReplacesTheFileWholeKeepingItsModeAndLinks)
{
    std::string problem;
    TempDir dir;
    PakArchive first;
    ASSERT_TRUE(first.AddEntry("a", "1", 1, problem)) << problem;
    ASSERT_TRUE(first.Save(dir.File("real.pak"), problem)) << problem;
    ASSERT_EQ(chmod(dir.File("real.pak").c_str(), 0640), 0);
    std::filesystem::create_symlink("real.pak", dir.File("link.pak"));

    PakArchive second;
    ASSERT_TRUE(second.AddEntry("b", "22", 2, problem)) << problem;
    std::string error;
    ASSERT_TRUE(second.Save(dir.File("link.pak"), error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.pak")));
    const auto reloaded = PakArchive::Load(dir.File("real.pak"), problem);
    ASSERT_TRUE(reloaded);
    ASSERT_EQ(reloaded->EntryCount(), 1u);
    EXPECT_EQ(reloaded->EntryName(0), "b");
    struct stat info {};
    ASSERT_EQ(stat(dir.File("real.pak").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(FilesIn(dir.Path().string()), (std::set<std::string>{"link.pak", "real.pak"}));
}

TEST(PakArchiveSafety, FailuresOnAFullDiskLeaveNoPartialFiles)
{
    std::string problem;
    std::vector<std::string> warnings;
    TempDir dir;
    const std::string disk = dir.File("disk");
    TinyTmpfs tmpfs(disk, 64);
    if (!tmpfs.Mounted())
        GTEST_SKIP() << tmpfs.Problem();
    const std::string large(200 * 1024, 'L');

    // Save: the archive that was there stays byte for byte.
    PakArchive small;
    ASSERT_TRUE(small.AddEntry("s", "small", 5, problem)) << problem;
    ASSERT_TRUE(small.Save(disk + "/keep.pak", problem)) << problem;
    const std::string before = ReadFileBytes(disk + "/keep.pak");
    PakArchive big;
    ASSERT_TRUE(big.AddEntry("s", large.data(), static_cast<std::int32_t>(large.size()), problem)) << problem;
    std::string error;
    EXPECT_FALSE(big.Save(disk + "/keep.pak", error));
    EXPECT_EQ(error, disk + "/keep.pak: cannot write: No space left on device");
    EXPECT_EQ(ReadFileBytes(disk + "/keep.pak"), before);
    EXPECT_FALSE(big.Save(disk + "/new.pak", error));
    EXPECT_EQ(FilesIn(disk), std::set<std::string>{"keep.pak"});

    // Extract: the entry that does not fit leaves nothing, an older file of
    // its name keeps its contents, and the entries around it are written.
    PakArchive mixed;
    ASSERT_TRUE(mixed.AddEntry("out/before", "b", 1, problem)) << problem;
    ASSERT_TRUE(mixed.AddEntry("out/huge", large.data(), static_cast<std::int32_t>(large.size()), problem)) << problem;
    ASSERT_TRUE(mixed.AddEntry("out/old", large.data(), static_cast<std::int32_t>(large.size()), problem)) << problem;
    ASSERT_TRUE(mixed.AddEntry("out/after", "a", 1, problem)) << problem;
    std::filesystem::create_directory(disk + "/out");
    WriteFileBytes(disk + "/out/old", "old contents");
    std::vector<std::string> problems;
    EXPECT_FALSE(mixed.ExtractAll(disk + "/", problems, warnings));
    EXPECT_EQ(problems,
              (std::vector<std::string>{disk + "/out/huge: cannot write: No space left on device",
                                        disk + "/out/old: cannot write: No space left on device"}));
    EXPECT_EQ(FilesIn(disk + "/out"), (std::set<std::string>{"after", "before", "old"}));
    EXPECT_EQ(ReadFileBytes(disk + "/out/old"), "old contents");
    EXPECT_EQ(ReadFileBytes(disk + "/out/after"), "a");
}

}
}
