#pragma once

#include "resources/DecodedImageCache.h"

#include <GL/gl.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tarnwood {

// One entry held in memory: a block allocated for this entry alone, exactly
// `size` bytes long. A zero-size entry still has a (non-null) block.
struct PakEntry {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::uint32_t size = 0;
};

// A borrowed view of an entry's bytes; `bytes` is null when there is no entry.
struct PakEntryView {
    const std::uint8_t* bytes = nullptr;
    std::uint32_t size = 0;
};

// One archive file held whole in memory: named byte blocks in archive order,
// plus an OpenGL texture per image entry shared through a per-entry count.
//
// File layout (little-endian, nothing before or between):
//   int32 entry count (0 or less: no entries), then per entry
//   uint8 name length N (0..127), N name bytes (no NUL), uint32 size S, S bytes.
//
// The archive owns every entry's bytes; meshes and other readers keep raw
// pointers into them, so it must outlive them. Textures are deleted only by
// ReleaseTexture, never by destruction.
class PakArchive {
public:
    // Longest entry name the format can hold, in bytes.
    static constexpr std::size_t maxNameLength = 127;

    // An empty archive, for building one with AddEntry / AddFile and Save.
    PakArchive();
    ~PakArchive();
    PakArchive(const PakArchive&) = delete;
    PakArchive& operator=(const PakArchive&) = delete;

    // Reads the whole file at `path`. Returns null on failure with `problem`
    // set to a one-line message naming the path and what is wrong:
    // the file cannot be opened or read, or it is corrupt (it ends early, a
    // name length is out of range, or a count or size exceeds what the file
    // holds). Nothing is read or allocated beyond the file's end. Bytes after
    // the last entry are ignored.
    static std::unique_ptr<PakArchive> Load(const std::string& path, std::string& problem);

    // The first entry whose name equals `name` exactly, or (null, 0).
    PakEntryView GetEntry(const std::string& name) const;

    // The OpenGL texture of the first entry named `name`, creating it when
    // the entry has none yet. Counts one use of that entry's texture whenever
    // the entry exists, also when the image does not decode (then 0 is
    // returned). Returns 0 without counting when there is no such entry.
    // Needs a current OpenGL context.
    //
    // Only PNG entries decode, and only when their header's sides are at most
    // GL_MAX_TEXTURE_SIZE and the entry can hold the pixels it claims: other
    // bytes never reach a decoder. An entry that fails is remembered and not
    // decoded again. Recently decoded pixels are kept in a small bounded
    // cache, so a texture created again soon after its last release is
    // uploaded without decoding.
    GLuint GetTexture(const std::string& name);

    // Decodes ahead, without a GL context, every image entry whose sides are
    // at most `maxSide`, so that GetTexture later only uploads: it takes
    // these pixels when their sides fit GL_MAX_TEXTURE_SIZE and decodes as
    // usual otherwise. An image whose loader fails is remembered as failed,
    // as GetTexture would. Pixels never taken stay until the archive is
    // destroyed. May run on another thread while no other uses the archive.
    void DecodeImagesAhead(std::uint32_t maxSide);

    // Gives back one use of `texture`; at a count of 0 the GL texture is
    // deleted and the entry forgets it. 0 or an unknown name: nothing happens.
    // Needs a current OpenGL context.
    void ReleaseTexture(GLuint texture);

    // Writes the archive to `path`. Fails, touching no file, when a name is
    // longer than maxNameLength bytes. A regular file (new, or replaced; a
    // symbolic link to one keeps pointing at it) is written under a temporary
    // name in the same folder, forced to the disk and then renamed into
    // place, so on any failure (a full disk) the old file is left exactly as
    // it was and no temporary file remains; a replaced file keeps its
    // permission bits. A device or pipe is written in place. On failure
    // `problem` gets one line naming the file and what is wrong.
    bool Save(const std::string& path, std::string& problem) const;

    // Writes each entry, in archive order, to the file named `prefix`
    // followed directly by the entry name, byte for byte, creating the
    // folders that path needs. The folder part of `prefix` is taken as given;
    // below it no symbolic link is followed: a link where a folder or the
    // file should be refuses that entry, so nothing is ever written outside
    // the folder. An entry whose name is absolute or has a ".." component is
    // refused too. Each file is written under a temporary name and renamed
    // into place, so an entry that fails leaves no partial file (and an
    // existing file of that name unchanged). An entry naming the same file as
    // an earlier one is skipped with a line in `warnings`: the first entry of
    // a name is the one readers find. Entries that fail are skipped with one
    // line each in `problems`; the others are still written. Names in the
    // lines are escaped (EscapedName). Returns true when every entry was
    // written or skipped as a duplicate.
    bool ExtractAll(const std::string& prefix, std::vector<std::string>& problems, std::vector<std::string>& warnings) const;

    // Appends an entry named `path` exactly as given, holding the file's
    // bytes. Fails, appending nothing, when the file cannot be opened or read,
    // is larger than 4 GiB - 1, or the name is not a valid entry name, with
    // `problem` set to one line naming the file.
    bool AddFile(const std::string& path, std::string& problem);

    // Appends an entry holding a copy of `length` bytes at `block` (the
    // caller keeps its block). Fails, appending nothing, for a negative length
    // or a name that the format cannot hold (longer than maxNameLength bytes,
    // or containing a NUL byte), with `problem` set to one line.
    bool AddEntry(const std::string& name, const void* block, std::int32_t length, std::string& problem);

    // Read-only inspection, by index in archive order.
    std::size_t EntryCount() const { return names.size(); }
    const std::string& EntryName(std::size_t index) const { return names[index]; }
    PakEntryView EntryAt(std::size_t index) const;
    // Outstanding GetTexture uses of the first entry named `name` (0 if none).
    int TextureUses(const std::string& name) const;
    // How many times an image decoder has run for this archive.
    std::size_t DecoderRuns() const { return decoderRuns; }

    // False, with `problem` set to why, when `name` cannot be an entry name.
    static bool CheckName(const std::string& name, std::string& problem);

private:
    int FindIndex(const std::string& name) const;
    void Append(std::string name, PakEntry entry);

    // Parallel lists: index i of each belongs to entry i.
    std::vector<GLuint> textures;
    std::vector<std::int32_t> textureCounts;
    std::vector<PakEntry> entries;
    std::vector<std::string> names;

    DecodedImageCache decoded;
    // Pixels from DecodeImagesAhead, by entry index, until GetTexture takes them.
    std::vector<std::shared_ptr<const DecodedImage>> decodedAhead;
    std::size_t decoderRuns = 0;
};

}
