#include "resources/PakArchive.h"

#include "TestImages.h"
#include "support/GlTestContext.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace tarnwood {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

std::string Bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int value : values)
        out.push_back(static_cast<char>(value));
    return out;
}

std::string EntryText(const PakEntryView& view)
{
    return view.bytes ? std::string(reinterpret_cast<const char*>(view.bytes), view.size) : std::string();
}

std::string LittleEndian32(std::uint32_t value)
{
    return Bytes({static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF), static_cast<int>(value >> 24)});
}

// An archive file built by hand, independent of the writer under test.
std::string ArchiveBytes(const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::string out = LittleEndian32(static_cast<std::uint32_t>(entries.size()));
    for (const auto& [name, data] : entries) {
        out.push_back(static_cast<char>(name.size()));
        out += name;
        out += LittleEndian32(static_cast<std::uint32_t>(data.size()));
        out += data;
    }
    return out;
}

TEST(PakArchiveFormat, OneEntryArchiveIsExactlyFourteenBytes)
{
    std::string problem;
    TempDir dir;
    PakArchive archive;
    const std::uint8_t data[] = {1, 2, 3};
    ASSERT_TRUE(archive.AddEntry("ab", data, 3, problem)) << problem;
    ASSERT_TRUE(archive.Save(dir.File("one.pak"), problem)) << problem;

    const std::string expected = Bytes({1, 0, 0, 0, 2, 'a', 'b', 3, 0, 0, 0, 1, 2, 3});
    EXPECT_EQ(ReadFileBytes(dir.File("one.pak")), expected);

    const auto loaded = PakArchive::Load(dir.File("one.pak"), problem);
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->EntryCount(), 1u);
    EXPECT_EQ(EntryText(loaded->GetEntry("ab")), Bytes({1, 2, 3}));
}

TEST(PakArchiveFormat, SaveAfterLoadReproducesTheFile)
{
    std::string problem;
    TempDir dir;
    std::string binary;
    for (int i = 0; i < 256; ++i)
        binary.push_back(static_cast<char>(i));
    const std::string original = ArchiveBytes({
        {"model", binary},
        {"", "empty name"},
        {"zero", ""},
        {"model", "second of the same name"},
        {std::string(127, 'n'), "\r\n\n\r"},
    });
    WriteFileBytes(dir.File("in.pak"), original);

    const auto archive = PakArchive::Load(dir.File("in.pak"), problem);
    ASSERT_TRUE(archive);
    ASSERT_EQ(archive->EntryCount(), 5u);
    EXPECT_EQ(EntryText(archive->GetEntry("")), "empty name");
    const PakEntryView zero = archive->GetEntry("zero");
    EXPECT_NE(zero.bytes, nullptr) << "an existing empty entry is not the same as a missing one";
    EXPECT_EQ(zero.size, 0u);
    EXPECT_EQ(EntryText(archive->GetEntry(std::string(127, 'n'))), "\r\n\n\r");

    ASSERT_TRUE(archive->Save(dir.File("out.pak"), problem)) << problem;
    EXPECT_EQ(ReadFileBytes(dir.File("out.pak")), original);
}

TEST(PakArchiveFormat, LookUpIsExactAndTheFirstDuplicateWins)
{
    std::string problem;
    TempDir dir;
    WriteFileBytes(dir.File("dup.pak"), ArchiveBytes({{"Leaf", "upper"}, {"leaf", "first"}, {"leaf", "second"}}));
    const auto archive = PakArchive::Load(dir.File("dup.pak"), problem);
    ASSERT_TRUE(archive);
    EXPECT_EQ(EntryText(archive->GetEntry("leaf")), "first");
    EXPECT_EQ(EntryText(archive->GetEntry("Leaf")), "upper");
    for (const char* missing : {"LEAF", "lea", "leaf ", ""}) {
        const PakEntryView view = archive->GetEntry(missing);
        EXPECT_EQ(view.bytes, nullptr) << missing;
        EXPECT_EQ(view.size, 0u) << missing;
    }
}

TEST(PakArchiveFormat, ZeroOrNegativeCountMeansNoEntries)
{
    std::string problem;
    TempDir dir;
    for (std::int32_t count : {0, -1, -2147483647 - 1}) {
        WriteFileBytes(dir.File("empty.pak"), LittleEndian32(static_cast<std::uint32_t>(count)));
        const auto archive = PakArchive::Load(dir.File("empty.pak"), problem);
        ASSERT_TRUE(archive) << count;
        EXPECT_EQ(archive->EntryCount(), 0u);
        EXPECT_EQ(archive->GetEntry("").bytes, nullptr);
    }
}

TEST(PakArchiveFormat, CorruptFilesAreRejectedWithTheirPath)
{
    struct Case {
        const char* what;
        std::string bytes;
        const char* problem;
    };
    const std::string goodEntry = Bytes({2, 'a', 'b', 1, 0, 0, 0, 9});
    const std::vector<Case> cases = {
        {"empty file", "", "ends before the entry count"},
        {"short count", Bytes({1, 0, 0}), "ends before the entry count"},
        {"count without entries", LittleEndian32(1), "more than the file can hold"},
        {"huge count", LittleEndian32(0x7FFFFFFF) + goodEntry, "more than the file can hold"},
        {"name length out of range", LittleEndian32(1) + Bytes({200, 0, 0, 0, 0}), "invalid name length 200"},
        {"name past the end", LittleEndian32(1) + Bytes({9, 'a', 'b', 'c', 0}), "ends inside entry 0"},
        {"size past the end", LittleEndian32(1) + Bytes({1, 'a', 4, 0, 0, 0, 1, 2, 3}), "holds 4 bytes but only 3"},
        {"size near 4 GiB", LittleEndian32(1) + Bytes({1, 'a', 0xFF, 0xFF, 0xFF, 0xFF, 1}), "holds 4294967295 bytes"},
        {"second entry cut", LittleEndian32(2) + goodEntry + Bytes({2, 'c', 'd', 1, 0}), "ends inside entry 1"},
        {"NUL in a name", LittleEndian32(1) + Bytes({2, 'a', 0, 0, 0, 0, 0}), "NUL byte"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        const std::string path = dir.File("bad.pak");
        WriteFileBytes(path, c.bytes);
        std::string error;
        EXPECT_FALSE(PakArchive::Load(path, error)) << c.what;
        EXPECT_NE(error.find(path + ": corrupt archive"), std::string::npos) << c.what << ": " << error;
        EXPECT_NE(error.find(c.problem), std::string::npos) << c.what << ": " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << c.what;
    }
}

TEST(PakArchiveFormat, EveryTruncationAndHeaderDamageIsHandled)
{
    std::string problem;
    TempDir dir;
    const std::string whole = ArchiveBytes({{"first", "0123456789"}, {"", ""}, {"third", std::string(40, 'x')}});
    const std::string path = dir.File("sweep.pak");
    for (std::size_t length = 0; length < whole.size(); ++length) {
        WriteFileBytes(path, whole.substr(0, length));
        std::string error;
        EXPECT_FALSE(PakArchive::Load(path, error)) << "cut at " << length;
        EXPECT_NE(error.find("corrupt archive"), std::string::npos) << error;
    }
    // Any value in any header byte either loads or is refused; nothing is read past the end.
    const std::vector<std::size_t> headerBytes = {0, 1, 2, 3, 4, 10, 11, 12, 13, 24, 25, 26, 27, 28, 29, 30, 36};
    for (std::size_t at : headerBytes) {
        for (int value : {0, 1, 5, 127, 128, 255}) {
            std::string damaged = whole;
            damaged[at] = static_cast<char>(value);
            WriteFileBytes(path, damaged);
            const auto archive = PakArchive::Load(path, problem);
            if (archive) {
                for (std::size_t i = 0; i < archive->EntryCount(); ++i)
                    EXPECT_LE(archive->EntryAt(i).size, damaged.size());
            }
        }
    }
}

TEST(PakArchiveFormat, UnopenableFilesAreReportedNotFatal)
{
    TempDir dir;
    for (const std::string& path : {dir.File("missing.pak"), dir.Path().string()}) {
        std::string error;
        EXPECT_FALSE(PakArchive::Load(path, error)) << path;
        EXPECT_EQ(error.rfind(path + ": cannot open archive", 0), 0u) << error;
    }
}

TEST(PakArchiveWriting, AddedEntriesAreFoundAndSaved)
{
    std::string problem;
    TempDir dir;
    WriteFileBytes(dir.File("loose.bin"), Bytes({0, 10, 13, 255}));
    PakArchive archive;
    const std::string path = dir.File("loose.bin");
    ASSERT_TRUE(archive.AddFile(path, problem)) << problem;
    const char block[] = {'x', 'y'};
    ASSERT_TRUE(archive.AddEntry("copy", block, 2, problem)) << problem;
    ASSERT_TRUE(archive.AddEntry("nothing", nullptr, 0, problem)) << problem;

    EXPECT_EQ(EntryText(archive.GetEntry(path)), Bytes({0, 10, 13, 255})) << "named by the path exactly as given";
    EXPECT_NE(archive.GetEntry("copy").bytes, reinterpret_cast<const std::uint8_t*>(block))
        << "the caller's block is copied";
    EXPECT_EQ(EntryText(archive.GetEntry("copy")), "xy");

    ASSERT_TRUE(archive.Save(dir.File("built.pak"), problem)) << problem;
    EXPECT_EQ(ReadFileBytes(dir.File("built.pak")),
              ArchiveBytes({{path, Bytes({0, 10, 13, 255})}, {"copy", "xy"}, {"nothing", ""}}));
}

TEST(PakArchiveWriting, InvalidNamesAndBlocksAreRefusedNotTruncated)
{
    std::string problem;
    PakArchive archive;
    std::string error;
    EXPECT_TRUE(archive.AddEntry(std::string(127, 'n'), "a", 1, problem)) << problem;
    EXPECT_FALSE(archive.AddEntry(std::string(128, 'n'), "a", 1, error));
    EXPECT_NE(error.find("128 bytes"), std::string::npos) << error;
    EXPECT_FALSE(archive.AddEntry(std::string("a\0b", 3), "a", 1, problem));
    EXPECT_FALSE(archive.AddEntry("negative", "a", -1, problem));
    EXPECT_FALSE(archive.AddEntry("null block", nullptr, 4, problem));
    EXPECT_EQ(archive.EntryCount(), 1u);

    TempDir dir;
    const std::string longPath = dir.File(std::string(130, 'f'));
    WriteFileBytes(longPath, "data");
    EXPECT_FALSE(archive.AddFile(longPath, error));
    EXPECT_NE(error.find("cannot add"), std::string::npos) << error;
    EXPECT_EQ(archive.EntryCount(), 1u);
}

TEST(PakArchiveWriting, FileFailuresAreReported)
{
    std::string problem;
    TempDir dir;
    PakArchive archive;
    std::string error;

    EXPECT_FALSE(archive.AddFile(dir.File("missing"), error));
    EXPECT_EQ(error.rfind(dir.File("missing") + ": cannot open", 0), 0u) << error;
    EXPECT_FALSE(archive.AddFile(dir.Path().string(), error)) << "a folder is not a file";
    EXPECT_EQ(archive.EntryCount(), 0u);

    ASSERT_TRUE(archive.AddEntry("e", "abc", 3, problem)) << problem;
    const std::string noFolder = dir.File("no/such/folder.pak");
    EXPECT_FALSE(archive.Save(noFolder, error));
    EXPECT_EQ(error.rfind(noFolder + ": cannot create", 0), 0u) << error;
    // Every write to /dev/full fails: the loss must be noticed, not reported as success.
    EXPECT_FALSE(archive.Save("/dev/full", error));
    EXPECT_EQ(error.rfind("/dev/full: cannot write", 0), 0u) << error;
}

TEST(PakArchiveExtract, WritesEveryEntryByteForByte)
{
    std::string problem;
    std::vector<std::string> warnings;
    TempDir dir;
    PakArchive archive;
    const std::string lineEnds = Bytes({10, 13, 13, 10, 0, 26, 10});
    ASSERT_TRUE(archive.AddEntry("text", lineEnds.data(), static_cast<std::int32_t>(lineEnds.size()), problem)) << problem;
    ASSERT_TRUE(archive.AddEntry("sub/deeper/leaf", "L", 1, problem)) << problem;
    ASSERT_TRUE(archive.AddEntry("void", nullptr, 0, problem)) << problem;

    const std::string prefix = (dir.Path() / "out").string() + "/";
    std::vector<std::string> problems;
    ASSERT_TRUE(archive.ExtractAll(prefix, problems, warnings));
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(ReadFileBytes(prefix + "text"), lineEnds);
    EXPECT_EQ(ReadFileBytes(prefix + "sub/deeper/leaf"), "L");
    EXPECT_TRUE(std::filesystem::is_regular_file(prefix + "void"));
    EXPECT_EQ(std::filesystem::file_size(prefix + "void"), 0u);

    // The prefix is put directly before the name.
    ASSERT_TRUE(archive.ExtractAll(dir.File("x_"), problems, warnings));
    EXPECT_EQ(ReadFileBytes(dir.File("x_text")), lineEnds);
}

TEST(PakArchiveExtract, NamesLeavingTheFolderAreRefusedAndTheRestWritten)
{
    std::string problem;
    std::vector<std::string> warnings;
    TempDir dir;
    PakArchive archive;
    for (const char* name : {"../escape", "good", "/tmp/absolute", "a/../../b", "a/..", "..", "..name", "x/y..z"})
        ASSERT_TRUE(archive.AddEntry(name, "z", 1, problem)) << name;
    const std::string prefix = (dir.Path() / "out").string() + "/";
    std::vector<std::string> problems;
    EXPECT_FALSE(archive.ExtractAll(prefix, problems, warnings));
    ASSERT_EQ(problems.size(), 5u);
    EXPECT_NE(problems[0].find(prefix + "../escape: not extracted"), std::string::npos) << problems[0];
    EXPECT_NE(problems[1].find("absolute"), std::string::npos) << problems[1];
    EXPECT_FALSE(std::filesystem::exists(dir.File("escape")));
    EXPECT_EQ(ReadFileBytes(prefix + "good"), "z");
    EXPECT_EQ(ReadFileBytes(prefix + "..name"), "z") << "dots inside a component are harmless";
    EXPECT_EQ(ReadFileBytes(prefix + "x/y..z"), "z");
}

TEST(PakArchiveExtract, UnwritableTargetsAreReported)
{
    std::string problem;
    std::vector<std::string> warnings;
    TempDir dir;
    PakArchive archive;
    ASSERT_TRUE(archive.AddEntry("blocked/inner", "1", 1, problem)) << problem;
    ASSERT_TRUE(archive.AddEntry("fine", "2", 1, problem)) << problem;
    // A file where the folder should be.
    WriteFileBytes(dir.File("blocked"), "");
    std::vector<std::string> problems;
    EXPECT_FALSE(archive.ExtractAll(dir.Path().string() + "/", problems, warnings));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].rfind(dir.File("blocked/inner") + ": cannot create", 0), 0u) << problems[0];
    EXPECT_EQ(ReadFileBytes(dir.File("fine")), "2");

    // A device in the way is neither written nor replaced.
    std::vector<std::string> device;
    PakArchive one;
    ASSERT_TRUE(one.AddEntry("full", "abc", 3, problem)) << problem;
    EXPECT_FALSE(one.ExtractAll("/dev/", device, warnings));
    ASSERT_EQ(device.size(), 1u);
    EXPECT_EQ(device[0], "/dev/full: not extracted: it exists and is not a regular file");
    struct stat info {};
    ASSERT_EQ(stat("/dev/full", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
}

// Texture creation against the real Mesa implementation.
class PakArchiveTexture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(test::EnsureGlContext()); }

    static std::vector<std::uint8_t> TexturePixels(GLuint texture, int width, int height)
    {
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height * 4));
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }
};

std::vector<std::uint8_t> RgbaPattern()
{
    // 2 x 2, rows top to bottom, distinct alpha per texel.
    return {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 64, 10, 20, 30, 0};
}

TEST_F(PakArchiveTexture, CountsUsesAndRecreatesAfterTheLastRelease)
{
    std::string problem;
    PakArchive archive;
    const std::string png = test::EncodePng(2, 2, 6, RgbaPattern());
    ASSERT_TRUE(archive.AddEntry("img", png.data(), static_cast<std::int32_t>(png.size()), problem)) << problem;

    const GLuint first = archive.GetTexture("img");
    ASSERT_NE(first, 0u);
    EXPECT_EQ(archive.GetTexture("img"), first);
    EXPECT_EQ(archive.GetTexture("img"), first);
    EXPECT_EQ(archive.TextureUses("img"), 3);
    EXPECT_TRUE(glIsTexture(first));

    GLint env = 0, minFilter = 0, magFilter = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    EXPECT_EQ(env, GL_MODULATE);
    EXPECT_EQ(minFilter, GL_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);

    archive.ReleaseTexture(first);
    archive.ReleaseTexture(first);
    EXPECT_TRUE(glIsTexture(first)) << "still one use left";
    archive.ReleaseTexture(first);
    EXPECT_FALSE(glIsTexture(first));
    EXPECT_EQ(archive.TextureUses("img"), 0);
    EXPECT_NE(archive.GetEntry("img").bytes, nullptr) << "the entry stays";

    const GLuint fresh = archive.GetTexture("img");
    ASSERT_NE(fresh, 0u);
    EXPECT_TRUE(glIsTexture(fresh));
    EXPECT_EQ(TexturePixels(fresh, 2, 2), RgbaPattern()) << "the image is decoded again";
    archive.ReleaseTexture(fresh);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(PakArchiveTexture, ReleasingZeroOrAForeignNameChangesNothing)
{
    std::string problem;
    PakArchive archive;
    const std::string png = test::EncodePng(2, 2, 6, RgbaPattern());
    ASSERT_TRUE(archive.AddEntry("img", png.data(), static_cast<std::int32_t>(png.size()), problem)) << problem;
    const GLuint texture = archive.GetTexture("img");
    GLuint foreign = 0;
    glGenTextures(1, &foreign);
    glBindTexture(GL_TEXTURE_2D, foreign);

    archive.ReleaseTexture(0);
    archive.ReleaseTexture(foreign);
    EXPECT_EQ(archive.TextureUses("img"), 1);
    EXPECT_TRUE(glIsTexture(texture));
    EXPECT_TRUE(glIsTexture(foreign));
    archive.ReleaseTexture(texture);
    glDeleteTextures(1, &foreign);
}

TEST_F(PakArchiveTexture, RgbaImagesUploadAsTheyAreAndOthersAreConverted)
{
    std::string problem;
    PakArchive archive;
    const std::string rgba = test::EncodePng(2, 2, 6, RgbaPattern());
    // 3 x 2 RGB: 9 bytes per row, which the decoder pads to 12.
    const std::vector<std::uint8_t> rgbPixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    const std::string rgb = test::EncodePng(3, 2, 2, rgbPixels);
    ASSERT_TRUE(archive.AddEntry("rgba", rgba.data(), static_cast<std::int32_t>(rgba.size()), problem)) << problem;
    ASSERT_TRUE(archive.AddEntry("rgb", rgb.data(), static_cast<std::int32_t>(rgb.size()), problem)) << problem;

    const GLuint rgbaTexture = archive.GetTexture("rgba");
    ASSERT_NE(rgbaTexture, 0u);
    EXPECT_EQ(TexturePixels(rgbaTexture, 2, 2), RgbaPattern());

    const GLuint rgbTexture = archive.GetTexture("rgb");
    ASSERT_NE(rgbTexture, 0u);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);
    const std::vector<std::uint8_t> expected = {1,  2,  3,  255, 4,  5,  6,  255, 7,  8,  9,  255,
                                                10, 11, 12, 255, 13, 14, 15, 255, 16, 17, 18, 255};
    EXPECT_EQ(TexturePixels(rgbTexture, 3, 2), expected);
    archive.ReleaseTexture(rgbaTexture);
    archive.ReleaseTexture(rgbTexture);
}

TEST_F(PakArchiveTexture, UndecodableAndMissingEntries)
{
    std::string problem;
    TempDir dir;
    const std::string png = test::EncodePng(2, 2, 6, RgbaPattern());
    const std::string other = test::EncodePng(2, 2, 6, std::vector<std::uint8_t>(16, 7));
    WriteFileBytes(dir.File("t.pak"), ArchiveBytes({{"junk", "not an image"}, {"img", png}, {"img", other}}));
    const auto archive = PakArchive::Load(dir.File("t.pak"), problem);
    ASSERT_TRUE(archive);

    EXPECT_EQ(archive->GetTexture("junk"), 0u);
    EXPECT_EQ(archive->GetTexture("junk"), 0u);
    EXPECT_EQ(archive->TextureUses("junk"), 2) << "a failed decode is still counted";
    EXPECT_EQ(archive->GetTexture("absent"), 0u);
    EXPECT_EQ(archive->TextureUses("absent"), 0);

    const GLuint texture = archive->GetTexture("img");
    EXPECT_EQ(TexturePixels(texture, 2, 2), RgbaPattern()) << "the first of two same-named entries";
    archive->ReleaseTexture(texture);
}

}
}
