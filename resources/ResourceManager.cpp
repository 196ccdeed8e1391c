#include "resources/ResourceManager.h"

#include <cstdio>
#include <cstdlib>

namespace tarnwood {

ResourceManager& ResourceManager::Instance()
{
    static ResourceManager instance;
    return instance;
}

namespace {

// Images decoded ahead are at most this many texels a side (every GL
// implementation of this century takes that); larger ones are decoded when
// their texture is made, against the implementation's own limit.
constexpr std::uint32_t readAheadMaxSide = 2048;

}

ResourceManager::ResourceManager() = default;

ResourceManager::~ResourceManager()
{
    FinishReadingAhead();
}

void ResourceManager::ReadAhead(const std::vector<std::string>& names)
{
    FinishReadingAhead();
    std::vector<std::string> paths;
    for (const std::string& name : names)
        paths.push_back(PathFor(name));
    readAheadNames = names;
    readAhead.clear();
    readAhead.resize(names.size());
    readingAhead = std::thread([this, paths] {
        for (std::size_t i = 0; i < paths.size(); ++i) {
            std::string problem;
            readAhead[i] = PakArchive::Load(paths[i], problem);
            if (readAhead[i])
                readAhead[i]->DecodeImagesAhead(readAheadMaxSide);
        }
    });
}

void ResourceManager::FinishReadingAhead()
{
    if (readingAhead.joinable())
        readingAhead.join();
}

void ResourceManager::SetBasePath(const std::string& path)
{
    basePath = path;
}

std::string ResourceManager::PathFor(const std::string& archive) const
{
    if (!basePath.empty() && basePath.front() == '0')
        return archive;
    return basePath + archive;
}

int ResourceManager::FindIndex(const std::string& archive) const
{
    for (std::size_t i = 0; i < archiveNames.size(); ++i) {
        if (archiveNames[i] == archive)
            return static_cast<int>(i);
    }
    return -1;
}

PakArchive* ResourceManager::OpenArchive(const std::string& name)
{
    // Archives are only ever decoded by one thread at a time.
    FinishReadingAhead();
    const int index = FindIndex(name);
    if (index >= 0) {
        ++referenceCounts[static_cast<std::size_t>(index)];
        return archives[static_cast<std::size_t>(index)].get();
    }
    std::unique_ptr<PakArchive> archive;
    for (std::size_t i = 0; i < readAheadNames.size(); ++i) {
        if (readAheadNames[i] == name && readAhead[i]) {
            archive = std::move(readAhead[i]);
            break;
        }
    }
    std::string error;
    if (!archive)
        archive = PakArchive::Load(PathFor(name), error);
    if (!archive) {
        // The scene cannot run without its content.
        std::fprintf(stderr, "%s\n", error.c_str());
        std::fflush(stderr);
        std::exit(1);
    }
    archives.push_back(std::move(archive));
    archiveNames.push_back(name);
    referenceCounts.push_back(1);
    return archives.back().get();
}

PakEntryView ResourceManager::GetEntry(const std::string& archive, const std::string& entry)
{
    return OpenArchive(archive)->GetEntry(entry);
}

GLuint ResourceManager::GetTexture(const std::string& archive, const std::string& entry)
{
    return OpenArchive(archive)->GetTexture(entry);
}

void ResourceManager::Drop(std::size_t index)
{
    if (--referenceCounts[index] > 0)
        return;
    archives.erase(archives.begin() + static_cast<std::ptrdiff_t>(index));
    archiveNames.erase(archiveNames.begin() + static_cast<std::ptrdiff_t>(index));
    referenceCounts.erase(referenceCounts.begin() + static_cast<std::ptrdiff_t>(index));
}

void ResourceManager::ReleaseTexture(const std::string& archive, GLuint texture)
{
    const int index = FindIndex(archive);
    if (index < 0)
        return;
    archives[static_cast<std::size_t>(index)]->ReleaseTexture(texture);
    Drop(static_cast<std::size_t>(index));
}

void ResourceManager::ReleaseArchive(const std::string& archive)
{
    const int index = FindIndex(archive);
    if (index >= 0)
        Drop(static_cast<std::size_t>(index));
}

int ResourceManager::ReferenceCount(const std::string& archive) const
{
    const int index = FindIndex(archive);
    return index < 0 ? 0 : referenceCounts[static_cast<std::size_t>(index)];
}

PakArchive* ResourceManager::FindArchive(const std::string& archive) const
{
    const int index = FindIndex(archive);
    return index < 0 ? nullptr : archives[static_cast<std::size_t>(index)].get();
}

}
