#include "resources/PakArchive.h"

#include "resources/EscapedName.h"
#include "resources/ImageDecoder.h"
#include "resources/LittleEndian.h"
#include "resources/PendingFile.h"
#include "resources/UniqueFd.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwood {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// A name for messages: long names are cut so the message stays one line.
std::string Shortened(const std::string& name)
{
    return name.size() > 60 ? name.substr(0, 60) + "..." : name;
}

std::string ErrnoText(int code)
{
    return std::strerror(code);
}

GLuint UploadTexture(const DecodedImage& image)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, image.rgba.data());
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return name;
}

// The largest texture side the current GL implementation accepts.
std::uint32_t MaxTextureSide()
{
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side > 0 ? static_cast<std::uint32_t>(side) : 0;
}

// Sequential reader that knows how many bytes the file still holds, so that
// every count and size can be checked before anything is read or allocated.
class ArchiveReader {
public:
    ArchiveReader(std::FILE* file, std::uint64_t size) : file(file), remaining(size) {}

    std::uint64_t Remaining() const { return remaining; }

    bool Read(void* destination, std::size_t count)
    {
        if (count > remaining)
            return false;
        if (count != 0 && std::fread(destination, 1, count, file) != count)
            return false;
        remaining -= count;
        return true;
    }

private:
    std::FILE* file;
    std::uint64_t remaining;
};

// Smallest size an entry can take in the file: name length and data size.
constexpr std::uint64_t minEntryBytes = 5;
// Upper bound of the stdio buffer; smaller archives are fetched in one read.
constexpr std::uint64_t maxReadBuffer = 1u << 20;

}

PakArchive::PakArchive() = default;
PakArchive::~PakArchive() = default;

std::unique_ptr<PakArchive> PakArchive::Load(const std::string& path, std::string& problem)
{
    // Declared before the file so that it outlives the stream using it.
    std::unique_ptr<char[]> readBuffer;
    const std::string shownPath = EscapedName(path);
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        problem = shownPath + ": cannot open archive: " + ErrnoText(errno);
        return nullptr;
    }
    struct stat info {};
    if (fstat(fileno(file.get()), &info) != 0) {
        problem = shownPath + ": cannot open archive: " + ErrnoText(errno);
        return nullptr;
    }
    if (!S_ISREG(info.st_mode)) {
        problem = shownPath + ": cannot open archive: not a regular file";
        return nullptr;
    }
    const auto fileSize = static_cast<std::uint64_t>(info.st_size);
    const std::size_t bufferSize = static_cast<std::size_t>(std::clamp<std::uint64_t>(fileSize, BUFSIZ, maxReadBuffer));
    readBuffer = std::make_unique_for_overwrite<char[]>(bufferSize);
    std::setvbuf(file.get(), readBuffer.get(), _IOFBF, bufferSize);

    const auto corrupt = [&](const std::string& what) {
        problem = shownPath + ": corrupt archive: " + what;
        return nullptr;
    };
    const auto readFailed = [&]() {
        if (std::ferror(file.get()))
            problem = shownPath + ": cannot read archive: " + ErrnoText(errno);
        else
            problem = shownPath + ": corrupt archive: the file changed while it was read";
        return nullptr;
    };

    ArchiveReader reader(file.get(), fileSize);
    std::uint8_t word[4];
    if (reader.Remaining() < sizeof word)
        return corrupt("the file ends before the entry count");
    if (!reader.Read(word, sizeof word))
        return readFailed();
    const std::int32_t count = ReadI32LE(word);

    auto archive = std::make_unique<PakArchive>();
    if (count <= 0)
        return archive;
    if (static_cast<std::uint64_t>(count) > reader.Remaining() / minEntryBytes)
        return corrupt("the entry count " + std::to_string(count) + " is more than the file can hold");
    archive->textures.reserve(count);
    archive->textureCounts.reserve(count);
    archive->entries.reserve(count);
    archive->names.reserve(count);

    for (std::int32_t i = 0; i < count; ++i) {
        const auto where = [i] { return "entry " + std::to_string(i); };
        std::uint8_t nameLength = 0;
        if (reader.Remaining() < minEntryBytes)
            return corrupt("the file ends inside " + where());
        if (!reader.Read(&nameLength, 1))
            return readFailed();
        if (nameLength > maxNameLength)
            return corrupt(where() + " has the invalid name length " + std::to_string(nameLength));
        if (reader.Remaining() < nameLength + sizeof word)
            return corrupt("the file ends inside " + where());
        std::string name(nameLength, '\0');
        if (!reader.Read(name.data(), nameLength) || !reader.Read(word, sizeof word))
            return readFailed();
        if (name.find('\0') != std::string::npos)
            return corrupt(where() + " has a NUL byte in its name");
        const std::uint32_t size = ReadU32LE(word);
        if (size > reader.Remaining())
            return corrupt(where() + " (\"" + EscapedName(name) + "\") holds " + std::to_string(size)
                           + " bytes but only " + std::to_string(reader.Remaining()) + " remain in the file");
        PakEntry entry;
        entry.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(size);
        entry.size = size;
        if (!reader.Read(entry.bytes.get(), size))
            return readFailed();
        archive->Append(std::move(name), std::move(entry));
    }
    return archive;
}

void PakArchive::Append(std::string name, PakEntry entry)
{
    textures.push_back(0);
    textureCounts.push_back(0);
    entries.push_back(std::move(entry));
    names.push_back(std::move(name));
}

int PakArchive::FindIndex(const std::string& name) const
{
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name)
            return static_cast<int>(i);
    }
    return -1;
}

PakEntryView PakArchive::EntryAt(std::size_t index) const
{
    return {entries[index].bytes.get(), entries[index].size};
}

PakEntryView PakArchive::GetEntry(const std::string& name) const
{
    const int index = FindIndex(name);
    if (index < 0)
        return {};
    return EntryAt(static_cast<std::size_t>(index));
}

int PakArchive::TextureUses(const std::string& name) const
{
    const int index = FindIndex(name);
    return index < 0 ? 0 : textureCounts[static_cast<std::size_t>(index)];
}

GLuint PakArchive::GetTexture(const std::string& name)
{
    const int found = FindIndex(name);
    if (found < 0)
        return 0;
    const auto index = static_cast<std::size_t>(found);
    if (textures[index] == 0 && !decoded.HasFailed(index)) {
        std::shared_ptr<const DecodedImage> image = decoded.Find(index);
        if (!image && index < decodedAhead.size() && decodedAhead[index]) {
            image = std::move(decodedAhead[index]);
            const std::uint32_t maxSide = MaxTextureSide();
            if (static_cast<std::uint32_t>(image->width) > maxSide || static_cast<std::uint32_t>(image->height) > maxSide)
                image.reset();
            else
                decoded.Keep(index, image);
        }
        if (!image) {
            const PakEntry& entry = entries[index];
            image = DecodeImageEntry(entry.bytes.get(), entry.size, MaxTextureSide(), &decoderRuns);
            if (image)
                decoded.Keep(index, image);
            else
                decoded.MarkFailed(index);
        }
        if (image)
            textures[index] = UploadTexture(*image);
    }
    ++textureCounts[index];
    return textures[index];
}

void PakArchive::DecodeImagesAhead(std::uint32_t maxSide)
{
    decodedAhead.assign(entries.size(), nullptr);
    for (std::size_t index = 0; index < entries.size(); ++index) {
        // Only the first entry of a name is ever looked up.
        if (FindIndex(names[index]) != static_cast<int>(index) || decoded.HasFailed(index))
            continue;
        const std::size_t runsBefore = decoderRuns;
        decodedAhead[index] = DecodeImageEntry(entries[index].bytes.get(), entries[index].size, maxSide, &decoderRuns);
        if (!decodedAhead[index] && decoderRuns != runsBefore)
            decoded.MarkFailed(index);
    }
}

void PakArchive::ReleaseTexture(GLuint texture)
{
    if (texture == 0)
        return;
    for (std::size_t i = 0; i < textures.size(); ++i) {
        if (textures[i] != texture)
            continue;
        if (--textureCounts[i] == 0) {
            glDeleteTextures(1, &texture);
            textures[i] = 0;
        }
    }
}

bool PakArchive::CheckName(const std::string& name, std::string& problem)
{
    if (name.size() > maxNameLength) {
        problem = "the name is " + std::to_string(name.size()) + " bytes long; an entry name holds at most "
            + std::to_string(maxNameLength);
        return false;
    }
    if (name.find('\0') != std::string::npos) {
        problem = "an entry name cannot hold a NUL byte";
        return false;
    }
    return true;
}

namespace {

// Writes the archive's bytes in file order through `write`, which takes
// (bytes, count) and returns false on failure.
template <typename WriteFn>
bool WriteArchive(const std::vector<std::string>& names, const std::vector<PakEntry>& entries, WriteFn write)
{
    std::uint8_t word[4];
    WriteU32LE(word, static_cast<std::uint32_t>(names.size()));
    if (!write(word, sizeof word))
        return false;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto nameLength = static_cast<std::uint8_t>(names[i].size());
        WriteU32LE(word, entries[i].size);
        if (!write(&nameLength, 1) || !write(names[i].data(), nameLength) || !write(word, sizeof word)
            || !write(entries[i].bytes.get(), entries[i].size))
            return false;
    }
    return true;
}

}

bool PakArchive::Save(const std::string& path, std::string& problem) const
{
    const std::string shownPath = EscapedName(path);
    for (const std::string& name : names) {
        std::string nameProblem;
        if (!CheckName(name, nameProblem)) {
            problem = shownPath + ": cannot save entry \"" + EscapedName(Shortened(name)) + "\": " + nameProblem;
            return false;
        }
    }
    const auto fail = [&](const std::string& what) {
        problem = shownPath + ": " + what + ": " + ErrnoText(errno);
        return false;
    };

    struct stat existing {};
    const bool exists = stat(path.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        // A device or pipe (say, standard output) is written in place: there
        // is nothing on a disk to keep, and renaming over it would replace it.
        UniqueFd device(open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
        if (!device.Valid())
            return fail("cannot create");
        if (!WriteArchive(names, entries, [&](const void* b, std::size_t n) { return WriteAll(device.Get(), b, n); }))
            return fail("cannot write");
        if (!device.Close())
            return fail("cannot write");
        return true;
    }

    // A regular file is replaced whole: the new archive is written beside it
    // under a temporary name and renamed over it, so a failure (a full disk)
    // leaves the old archive as it was. A symbolic link to an archive keeps
    // pointing at the replaced file.
    std::string target = path;
    struct stat link {};
    if (exists && lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr), &std::free);
        if (!resolved)
            return fail("cannot create");
        target = resolved.get();
    }
    const std::filesystem::path targetPath(target);
    const std::string folderName = targetPath.has_parent_path() ? targetPath.parent_path().string() : ".";
    const std::string fileName = targetPath.filename().string();
    UniqueFd folder(open(folderName.empty() ? "/" : folderName.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.Valid())
        return fail("cannot create");
    if (fileName.empty() || fileName == "." || fileName == "..") {
        errno = EISDIR;
        return fail("cannot create");
    }
    PendingFile file;
    if (!file.Create(folder.Get(), fileName))
        return fail("cannot create");
    if (exists && !file.SetMode(existing.st_mode))
        return fail("cannot create");
    if (!WriteArchive(names, entries, [&](const void* b, std::size_t n) { return file.Write(b, n); }))
        return fail("cannot write");
    if (!file.Commit(true))
        return fail("cannot write");
    return true;
}

namespace {

// False, with `problem` set, when extracting `name` below a folder would
// write outside it.
bool StaysInside(const std::string& name, std::string& problem)
{
    if (!name.empty() && name.front() == '/') {
        problem = "the entry name is an absolute path";
        return false;
    }
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string::npos)
            end = name.size();
        if (name.compare(start, end - start, "..") == 0) {
            problem = "the entry name has a \"..\" component";
            return false;
        }
        start = end + 1;
    }
    return true;
}

// The components of a relative path, without empty and "." ones.
std::vector<std::string> PathComponents(const std::string& relative)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find('/', start);
        if (end == std::string::npos)
            end = relative.size();
        std::string part = relative.substr(start, end - start);
        if (!part.empty() && part != ".")
            parts.push_back(std::move(part));
        start = end + 1;
    }
    return parts;
}

// Opens (creating it when missing) the folder `name` inside `parent`,
// refusing a symbolic link there. Returns the open folder, or an invalid one
// with `problem` set.
UniqueFd OpenSubfolder(int parent, const std::string& name, std::string& problem)
{
    if (mkdirat(parent, name.c_str(), 0777) != 0 && errno != EEXIST) {
        problem = std::strerror(errno);
        return UniqueFd();
    }
    struct stat info {};
    if (fstatat(parent, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode)) {
        problem = "it is a symbolic link, which is not followed";
        return UniqueFd();
    }
    // O_NOFOLLOW also closes the gap between the check and the open.
    UniqueFd folder(openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.Valid())
        problem = errno == ELOOP ? "it is a symbolic link, which is not followed" : std::strerror(errno);
    return folder;
}

}

bool PakArchive::ExtractAll(const std::string& prefix, std::vector<std::string>& problems,
                            std::vector<std::string>& warnings) const
{
    bool allWritten = true;
    const auto report = [&](const std::string& target, const std::string& line) {
        allWritten = false;
        problems.push_back(EscapedName(target) + ": " + line);
    };

    // The prefix is a folder (given by the caller, links followed) and the
    // start of a name in it; below that folder nothing is followed.
    const std::size_t slash = prefix.rfind('/');
    const std::string base = slash == std::string::npos ? "." : prefix.substr(0, slash + 1);
    const std::string namePrefix = slash == std::string::npos ? prefix : prefix.substr(slash + 1);
    std::error_code ignored;
    std::filesystem::create_directories(base, ignored);
    UniqueFd baseFolder(open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!baseFolder.Valid()) {
        const std::string reason = ErrnoText(errno);
        for (const std::string& name : names)
            report(prefix + name, "cannot create: " + reason);
        return allWritten;
    }

    std::set<std::vector<std::string>> extracted;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string target = prefix + names[i];
        const std::string relative = namePrefix + names[i];
        std::string problem;
        if (!StaysInside(names[i], problem) || !StaysInside(relative, problem)) {
            report(target, "not extracted: " + problem);
            continue;
        }
        const std::vector<std::string> parts = PathComponents(relative);
        if (parts.empty()) {
            report(target, "not extracted: the entry name names no file");
            continue;
        }
        if (!extracted.insert(parts).second) {
            // Readers find the first entry of a name; the later one is unreachable.
            warnings.push_back(EscapedName(target) + ": not extracted: an earlier entry has the same name");
            continue;
        }

        UniqueFd walked;
        int folder = baseFolder.Get();
        std::string reached;
        bool opened = true;
        for (std::size_t k = 0; k + 1 < parts.size(); ++k) {
            reached += (reached.empty() ? "" : "/") + parts[k];
            UniqueFd next = OpenSubfolder(folder, parts[k], problem);
            if (!next.Valid()) {
                report(target, "cannot create folder " + EscapedName(base + reached) + ": " + problem);
                opened = false;
                break;
            }
            walked = std::move(next);
            folder = walked.Get();
        }
        if (!opened)
            continue;

        const std::string& leaf = parts.back();
        struct stat info {};
        if (fstatat(folder, leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
            if (S_ISLNK(info.st_mode)) {
                report(target, "not extracted: a symbolic link is in the way and is not followed");
                continue;
            }
            if (!S_ISREG(info.st_mode)) {
                report(target,
                       S_ISDIR(info.st_mode) ? "cannot create: it is a folder"
                                             : "not extracted: it exists and is not a regular file");
                continue;
            }
        }
        // Written whole under a temporary name first: a failed write leaves
        // no partial file, and a file of that name keeps its old contents.
        PendingFile file;
        if (!file.Create(folder, leaf)) {
            report(target, "cannot create: " + ErrnoText(errno));
            continue;
        }
        if (!file.Write(entries[i].bytes.get(), entries[i].size) || !file.Commit(false))
            report(target, "cannot write: " + ErrnoText(errno));
    }
    return allWritten;
}

bool PakArchive::AddFile(const std::string& path, std::string& problem)
{
    const std::string shownPath = EscapedName(path);
    std::string nameProblem;
    if (!CheckName(path, nameProblem)) {
        problem = EscapedName(Shortened(path)) + ": cannot add: " + nameProblem;
        return false;
    }
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        problem = shownPath + ": cannot open: " + ErrnoText(errno);
        return false;
    }
    struct stat info {};
    if (fstat(fileno(file.get()), &info) != 0) {
        problem = shownPath + ": cannot open: " + ErrnoText(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        problem = shownPath + ": cannot add: not a regular file";
        return false;
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size > std::numeric_limits<std::uint32_t>::max()) {
        problem = shownPath + ": cannot add: larger than an entry can hold";
        return false;
    }
    PakEntry entry;
    entry.size = static_cast<std::uint32_t>(size);
    entry.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(entry.size);
    if (std::fread(entry.bytes.get(), 1, entry.size, file.get()) != entry.size) {
        problem = shownPath + ": cannot read: "
            + (std::ferror(file.get()) ? ErrnoText(errno) : std::string("the file changed while it was read"));
        return false;
    }
    Append(path, std::move(entry));
    return true;
}

bool PakArchive::AddEntry(const std::string& name, const void* block, std::int32_t length, std::string& problem)
{
    std::string nameProblem;
    if (!CheckName(name, nameProblem)) {
        problem = "cannot add entry: " + nameProblem;
        return false;
    }
    if (length < 0 || (length > 0 && block == nullptr)) {
        problem = "cannot add entry \"" + EscapedName(name) + "\": invalid block";
        return false;
    }
    PakEntry entry;
    entry.size = static_cast<std::uint32_t>(length);
    entry.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(entry.size);
    if (length > 0)
        std::memcpy(entry.bytes.get(), block, entry.size);
    Append(name, std::move(entry));
    return true;
}

}
