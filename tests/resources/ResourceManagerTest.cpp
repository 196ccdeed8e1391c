#include "resources/ResourceManager.h"

#include "ResourceTestArchive.h"
#include "TestImages.h"
#include "support/GlTestContext.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace tarnwood {
namespace {

using test::AddBytes;

std::string EntryText(const PakEntryView& view)
{
    return view.bytes ? std::string(reinterpret_cast<const char*>(view.bytes), view.size) : std::string();
}

std::unique_ptr<PakArchive> OneEntry(const std::string& name, const std::string& bytes)
{
    auto archive = std::make_unique<PakArchive>();
    AddBytes(*archive, name, bytes);
    return archive;
}

// Runs in the working directory of a fresh folder, restoring the old one.
class WorkingFolder {
public:
    WorkingFolder() : previous(std::filesystem::current_path()) { std::filesystem::current_path(dir.Path()); }
    ~WorkingFolder() { std::filesystem::current_path(previous); }
    std::string File(const std::string& name) const { return dir.File(name); }

private:
    test::TempDir dir;
    std::filesystem::path previous;
};

TEST(ResourceManager, BasePathIsPutBeforeNamesUnlessItStartsWithZero)
{
    std::string problem;
    ResourceManager& manager = ResourceManager::Instance();
    EXPECT_EQ(manager.BasePath(), "0") << "the initial base path means none";

    WorkingFolder cwd;
    test::TempDir install;
    const std::string name = "base_rule.pak";
    ASSERT_TRUE(OneEntry("where", "working folder")->Save(cwd.File(name), problem)) << problem;
    ASSERT_TRUE(OneEntry("where", "install folder")->Save(install.File(name), problem)) << problem;

    struct Case {
        std::string basePath;
        std::string expectedPath;
        const char* where;
    };
    const std::string installPrefix = install.Path().string() + "/";
    const std::vector<Case> cases = {
        {"0", name, "working folder"},
        {"0/not/a/folder/", name, "working folder"},
        {installPrefix, installPrefix + name, "install folder"},
    };
    for (const Case& c : cases) {
        manager.SetBasePath(c.basePath);
        EXPECT_EQ(manager.PathFor(name), c.expectedPath) << c.basePath;
        EXPECT_EQ(EntryText(manager.GetEntry(name, "where")), c.where) << c.basePath;
        manager.ReleaseArchive(name);
        EXPECT_EQ(manager.ReferenceCount(name), 0);
    }
    manager.SetBasePath("0");
}

TEST(ResourceManager, SharesByExactNameAndUnloadsAtZero)
{
    ResourceManager& manager = ResourceManager::Instance();
    test::ResourceTestFolder folder;
    folder.Write("shared.pak", *OneEntry("e", "lower"));
    folder.Write("Shared.pak", *OneEntry("e", "upper"));
    const std::size_t before = manager.ArchiveCount();

    PakArchive* first = manager.OpenArchive("shared.pak");
    PakArchive* again = manager.OpenArchive("shared.pak");
    EXPECT_EQ(first, again);
    EXPECT_EQ(manager.ReferenceCount("shared.pak"), 2);
    PakArchive* upper = manager.OpenArchive("Shared.pak");
    EXPECT_NE(upper, first) << "names differing in case are different archives";
    EXPECT_EQ(EntryText(upper->GetEntry("e")), "upper");
    EXPECT_EQ(manager.ArchiveCount(), before + 2);

    manager.ReleaseArchive("shared.pak");
    EXPECT_EQ(manager.FindArchive("shared.pak"), first);
    manager.ReleaseArchive("shared.pak");
    EXPECT_EQ(manager.FindArchive("shared.pak"), nullptr);
    EXPECT_EQ(manager.ReferenceCount("shared.pak"), 0);
    manager.ReleaseArchive("shared.pak");
    manager.ReleaseArchive("never.pak");
    EXPECT_EQ(manager.ReferenceCount("Shared.pak"), 1) << "extra releases of other names touch nothing";

    // Reopening after the unload reads the file anew.
    folder.Write("shared.pak", *OneEntry("e", "rewritten"));
    EXPECT_EQ(EntryText(manager.GetEntry("shared.pak", "e")), "rewritten");
    manager.ReleaseArchive("shared.pak");
    manager.ReleaseArchive("Shared.pak");
    EXPECT_EQ(manager.ArchiveCount(), before);
}

TEST(ResourceManager, ReleasingOneArchiveKeepsTheOthersTogether)
{
    ResourceManager& manager = ResourceManager::Instance();
    test::ResourceTestFolder folder;
    for (const char* name : {"a.pak", "b.pak", "c.pak"})
        folder.Write(name, *OneEntry("id", name));
    manager.OpenArchive("a.pak");
    manager.OpenArchive("b.pak");
    manager.OpenArchive("c.pak");
    manager.OpenArchive("c.pak");
    manager.OpenArchive("c.pak");

    manager.ReleaseArchive("b.pak");
    EXPECT_EQ(manager.ReferenceCount("a.pak"), 1);
    EXPECT_EQ(manager.ReferenceCount("b.pak"), 0);
    EXPECT_EQ(manager.ReferenceCount("c.pak"), 3);
    EXPECT_EQ(EntryText(manager.FindArchive("a.pak")->GetEntry("id")), "a.pak");
    EXPECT_EQ(EntryText(manager.FindArchive("c.pak")->GetEntry("id")), "c.pak");

    manager.ReleaseArchive("a.pak");
    for (int i = 0; i < 3; ++i)
        manager.ReleaseArchive("c.pak");
    EXPECT_EQ(manager.FindArchive("c.pak"), nullptr);
}

TEST(ResourceManager, TextureReferencesCarryArchiveReferences)
{
    ASSERT_TRUE(test::EnsureGlContext());
    ResourceManager& manager = ResourceManager::Instance();
    test::ResourceTestFolder folder;
    folder.Write("tex.pak", *OneEntry("img", test::SmallPng()));

    const GLuint missing = manager.GetTexture("tex.pak", "absent");
    EXPECT_EQ(missing, 0u);
    EXPECT_EQ(manager.ReferenceCount("tex.pak"), 1) << "taken even for a missing entry";
    const GLuint image = manager.GetTexture("tex.pak", "img");
    EXPECT_EQ(manager.GetTexture("tex.pak", "img"), image);
    EXPECT_EQ(manager.ReferenceCount("tex.pak"), 3);
    EXPECT_EQ(manager.FindArchive("tex.pak")->TextureUses("img"), 2);

    manager.ReleaseTexture("tex.pak", missing);
    manager.ReleaseTexture("tex.pak", image);
    EXPECT_EQ(manager.ReferenceCount("tex.pak"), 1);
    EXPECT_EQ(manager.FindArchive("tex.pak")->TextureUses("img"), 1);
    EXPECT_TRUE(glIsTexture(image));
    manager.ReleaseTexture("other.pak", image);
    EXPECT_TRUE(glIsTexture(image)) << "a name that is not loaded does nothing";
    manager.ReleaseTexture("tex.pak", image);
    EXPECT_EQ(manager.ReferenceCount("tex.pak"), 0);
    EXPECT_FALSE(glIsTexture(image));
}

// Reading ahead takes no reference and changes no count; the first open
// takes the archive over with its images decoded, once each, so a texture
// is only uploaded. A failure found ahead is remembered; an image too large
// to decode ahead is decoded when its texture is made.
TEST(ResourceManager, ArchivesReadAheadAreTakenOverWithTheirImagesDecoded)
{
    ASSERT_TRUE(test::EnsureGlContext());
    ResourceManager& manager = ResourceManager::Instance();
    test::ResourceTestFolder folder;
    std::string badCrc = test::SmallPng();
    badCrc[badCrc.size() - 20] ^= 0x5A;
    PakArchive content;
    AddBytes(content, "img", test::SmallPng());
    AddBytes(content, "bad crc", badCrc);
    AddBytes(content, "wide", test::EncodePng(4096, 1, 6, std::vector<std::uint8_t>(4096 * 4, 200)));
    AddBytes(content, "model", "not an image");
    folder.Write("ahead.pak", content);

    manager.ReadAhead({"ahead.pak", "absent.pak"});
    EXPECT_EQ(manager.FindArchive("ahead.pak"), nullptr) << "not open until opened";
    EXPECT_EQ(manager.ReferenceCount("ahead.pak"), 0);
    const GLuint image = manager.GetTexture("ahead.pak", "img");
    PakArchive* archive = manager.FindArchive("ahead.pak");
    ASSERT_NE(archive, nullptr);
    EXPECT_NE(image, 0u);
    EXPECT_EQ(archive->DecoderRuns(), 2u) << "img and bad crc, ahead; wide is over the limit for that";
    testing::internal::CaptureStderr();
    EXPECT_EQ(manager.GetTexture("ahead.pak", "bad crc"), 0u);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(archive->DecoderRuns(), 2u) << "its failure was remembered";
    const GLuint wide = manager.GetTexture("ahead.pak", "wide");
    EXPECT_NE(wide, 0u);
    EXPECT_EQ(archive->DecoderRuns(), 3u);
    GLint width = 0;
    glBindTexture(GL_TEXTURE_2D, wide);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 4096);
    EXPECT_EQ(manager.ReferenceCount("ahead.pak"), 3);

    for (GLuint texture : {image, GLuint{0}, wide})
        manager.ReleaseTexture("ahead.pak", texture);
    EXPECT_EQ(manager.FindArchive("ahead.pak"), nullptr);
    const GLuint again = manager.GetTexture("ahead.pak", "img");
    EXPECT_EQ(manager.FindArchive("ahead.pak")->DecoderRuns(), 1u) << "read anew once released, decoded at use";
    manager.ReleaseTexture("ahead.pak", again);
}

class ResourceManagerDeath : public ::testing::Test {
protected:
    // A fresh process for each death: the child must not share this one's display connection.
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(ResourceManagerDeath, MissingArchiveEndsTheProcessNamingThePath)
{
    // A fixed path: the child process runs the test again from the start.
    ResourceManager::Instance().SetBasePath("/nonexistent-tarnwood-folder/");
    const std::string path = "/nonexistent-tarnwood-folder/absent.pak";
    EXPECT_EXIT(ResourceManager::Instance().OpenArchive("absent.pak"), ::testing::ExitedWithCode(1),
                path + ": cannot open archive: No such file or directory\n");
    ResourceManager::Instance().SetBasePath("0");
}

TEST_F(ResourceManagerDeath, CorruptArchiveEndsTheProcessNamingThePath)
{
    test::TempDir dir;
    ResourceManager::Instance().SetBasePath(dir.Path().string() + "/");
    const std::string path = dir.File("cut.pak");
    test::WriteFileBytes(path, std::string("\x02\x00\x00\x00\x01z\x05\x00\x00\x00xy", 12));
    EXPECT_EXIT(ResourceManager::Instance().GetEntry("cut.pak", "z"), ::testing::ExitedWithCode(1),
                "^[^\n]*/cut\\.pak: corrupt archive: [^\n]*\n$");
    ResourceManager::Instance().SetBasePath("0");
}

}
}
