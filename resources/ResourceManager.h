#pragma once

#include "resources/PakArchive.h"

#include <GL/gl.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace tarnwood {

// The process-wide owner of loaded archives, shared by exact, case-sensitive
// archive name with reference counts. Every OpenArchive / GetEntry is paired
// with one ReleaseArchive of the same name, every GetTexture with one
// ReleaseTexture of the same name and the texture it returned (also 0). An
// archive is destroyed, freeing all its entry bytes, when its count returns
// to 0; opening it after that reads the file anew.
class ResourceManager {
public:
    static ResourceManager& Instance();

    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

    // The prefix put directly before archive names to form file paths (so a
    // folder ends with a separator). A text whose first character is '0'
    // means none: names are then used as paths on their own. Starts as "0".
    void SetBasePath(const std::string& path);
    const std::string& BasePath() const { return basePath; }

    // Starts reading the archives `names` and decoding their images on a
    // thread of its own, for a caller about to do something slow that needs
    // no archive: opening the display, which takes a software GL driver most
    // of a second. The first OpenArchive afterwards, of any name, waits for
    // the thread; an archive read ahead is then taken over when its name is
    // first opened, as if read there (no reference is counted before). One
    // that could not be read is read again there and fails as usual. Needs
    // no GL context; a later call first waits for the earlier thread.
    void ReadAhead(const std::vector<std::string>& names);

    // Counts one reference on archive `name`, loading it on first use. An
    // archive that cannot be opened or is corrupt ends the process with exit
    // status 1 after one line on stderr naming the path it tried.
    PakArchive* OpenArchive(const std::string& name);

    // OpenArchive(archive), then the entry's bytes, or (null, 0) when the
    // archive has no such entry; the reference is counted either way.
    PakEntryView GetEntry(const std::string& archive, const std::string& entry);

    // OpenArchive(archive), then PakArchive::GetTexture(entry): one archive
    // reference always, one texture use when the entry exists. Returns 0 for
    // a missing entry or an image that does not decode. Needs a current
    // OpenGL context.
    GLuint GetTexture(const std::string& archive, const std::string& entry);

    // Gives back one texture use of `texture` (ignored when 0) and one
    // reference on `archive`. An archive that is not loaded: nothing happens.
    void ReleaseTexture(const std::string& archive, GLuint texture);

    // Gives back one reference on `archive`; nothing happens when not loaded.
    void ReleaseArchive(const std::string& archive);

    // Read-only inspection.
    std::size_t ArchiveCount() const { return archives.size(); }
    // References held on `archive`, 0 when it is not loaded.
    int ReferenceCount(const std::string& archive) const;
    // The loaded archive of that name without counting a reference, or null.
    PakArchive* FindArchive(const std::string& archive) const;
    // The file path OpenArchive would read for `archive`.
    std::string PathFor(const std::string& archive) const;

private:
    ResourceManager();
    ~ResourceManager();

    int FindIndex(const std::string& archive) const;
    void Drop(std::size_t index);

    void FinishReadingAhead();

    std::string basePath = "0";
    std::thread readingAhead;
    // Archives read ahead and not yet opened, with their names.
    std::vector<std::unique_ptr<PakArchive>> readAhead;
    std::vector<std::string> readAheadNames;
    // Parallel lists: index i of each belongs to the same archive.
    std::vector<std::unique_ptr<PakArchive>> archives;
    std::vector<std::string> archiveNames;
    std::vector<std::int32_t> referenceCounts;
};

}
