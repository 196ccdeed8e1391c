#include "resources/PakArchive.h"

#include "resources/ImageDecoder.h"
#include "resources/LittleEndian.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <sys/stat.h>

namespace tarnwood {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

void SetError(std::string* error, std::string text)
{
    if (error)
        *error = std::move(text);
}

// A name for messages: long names are cut so the message stays one line.
std::string Shortened(const std::string& name)
{
    return name.size() > 60 ? name.substr(0, 60) + "..." : name;
}

std::string ErrnoText(int code)
{
    return std::strerror(code);
}

// Closes a file opened for writing and reports whether everything written
// reached it; a failed fclose means buffered bytes were lost.
bool CloseWritten(FileHandle& file)
{
    return std::fclose(file.release()) == 0;
}

GLuint UploadTexture(const DecodedImage& image)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 image.rgba.data());
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

std::unique_ptr<PakArchive> PakArchive::Load(const std::string& path, std::string* error)
{
    // Declared before the file so that it outlives the stream using it.
    std::unique_ptr<char[]> readBuffer;
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        SetError(error, path + ": cannot open archive: " + ErrnoText(errno));
        return nullptr;
    }
    struct stat info {};
    if (fstat(fileno(file.get()), &info) != 0) {
        SetError(error, path + ": cannot open archive: " + ErrnoText(errno));
        return nullptr;
    }
    if (!S_ISREG(info.st_mode)) {
        SetError(error, path + ": cannot open archive: not a regular file");
        return nullptr;
    }
    const auto fileSize = static_cast<std::uint64_t>(info.st_size);
    const std::size_t bufferSize = static_cast<std::size_t>(std::clamp<std::uint64_t>(fileSize, BUFSIZ, maxReadBuffer));
    readBuffer = std::make_unique_for_overwrite<char[]>(bufferSize);
    std::setvbuf(file.get(), readBuffer.get(), _IOFBF, bufferSize);

    const auto corrupt = [&](const std::string& problem) {
        SetError(error, path + ": corrupt archive: " + problem);
        return nullptr;
    };
    const auto readFailed = [&]() {
        if (std::ferror(file.get()))
            SetError(error, path + ": cannot read archive: " + ErrnoText(errno));
        else
            SetError(error, path + ": corrupt archive: the file changed while it was read");
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
            return corrupt(where() + " (\"" + name + "\") holds " + std::to_string(size) + " bytes but only "
                           + std::to_string(reader.Remaining()) + " remain in the file");
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

std::string PakArchive::NameProblem(const std::string& name)
{
    if (name.size() > maxNameLength)
        return "the name is " + std::to_string(name.size()) + " bytes long; an entry name holds at most "
            + std::to_string(maxNameLength);
    if (name.find('\0') != std::string::npos)
        return "an entry name cannot hold a NUL byte";
    return {};
}

bool PakArchive::Save(const std::string& path, std::string* error) const
{
    for (const std::string& name : names) {
        const std::string problem = NameProblem(name);
        if (!problem.empty()) {
            SetError(error, path + ": cannot save entry \"" + Shortened(name) + "\": " + problem);
            return false;
        }
    }
    FileHandle file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        SetError(error, path + ": cannot create: " + ErrnoText(errno));
        return false;
    }
    std::uint8_t word[4];
    WriteU32LE(word, static_cast<std::uint32_t>(names.size()));
    bool written = std::fwrite(word, 1, sizeof word, file.get()) == sizeof word;
    for (std::size_t i = 0; written && i < names.size(); ++i) {
        const auto nameLength = static_cast<std::uint8_t>(names[i].size());
        WriteU32LE(word, entries[i].size);
        written = std::fwrite(&nameLength, 1, 1, file.get()) == 1
            && std::fwrite(names[i].data(), 1, nameLength, file.get()) == nameLength
            && std::fwrite(word, 1, sizeof word, file.get()) == sizeof word
            && std::fwrite(entries[i].bytes.get(), 1, entries[i].size, file.get()) == entries[i].size;
    }
    const int writeErrno = errno;
    if (!written) {
        SetError(error, path + ": cannot write: " + ErrnoText(writeErrno));
        return false;
    }
    if (!CloseWritten(file)) {
        SetError(error, path + ": cannot write: " + ErrnoText(errno));
        return false;
    }
    return true;
}

namespace {

// Why extracting `name` below a folder would write outside it, or empty.
std::string EscapeProblem(const std::string& name)
{
    if (!name.empty() && name.front() == '/')
        return "the entry name is an absolute path";
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string::npos)
            end = name.size();
        if (name.compare(start, end - start, "..") == 0)
            return "the entry name has a \"..\" component";
        start = end + 1;
    }
    return {};
}

}

bool PakArchive::ExtractAll(const std::string& prefix, std::vector<std::string>* problems) const
{
    bool allWritten = true;
    const auto report = [&](const std::string& line) {
        allWritten = false;
        if (problems)
            problems->push_back(line);
    };
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string target = prefix + names[i];
        const std::string escape = EscapeProblem(names[i]);
        if (!escape.empty()) {
            report(target + ": not extracted: " + escape);
            continue;
        }
        const std::filesystem::path folder = std::filesystem::path(target).parent_path();
        std::error_code failure;
        if (!folder.empty())
            std::filesystem::create_directories(folder, failure);
        if (failure) {
            report(target + ": cannot create folder " + folder.string() + ": " + failure.message());
            continue;
        }
        FileHandle file(std::fopen(target.c_str(), "wb"));
        if (!file) {
            report(target + ": cannot create: " + ErrnoText(errno));
            continue;
        }
        const bool written = std::fwrite(entries[i].bytes.get(), 1, entries[i].size, file.get()) == entries[i].size;
        const int writeErrno = errno;
        if (!written) {
            report(target + ": cannot write: " + ErrnoText(writeErrno));
            continue;
        }
        if (!CloseWritten(file))
            report(target + ": cannot write: " + ErrnoText(errno));
    }
    return allWritten;
}

bool PakArchive::AddFile(const std::string& path, std::string* error)
{
    const std::string problem = NameProblem(path);
    if (!problem.empty()) {
        SetError(error, Shortened(path) + ": cannot add: " + problem);
        return false;
    }
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        SetError(error, path + ": cannot open: " + ErrnoText(errno));
        return false;
    }
    struct stat info {};
    if (fstat(fileno(file.get()), &info) != 0) {
        SetError(error, path + ": cannot open: " + ErrnoText(errno));
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        SetError(error, path + ": cannot add: not a regular file");
        return false;
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size > std::numeric_limits<std::uint32_t>::max()) {
        SetError(error, path + ": cannot add: larger than an entry can hold");
        return false;
    }
    PakEntry entry;
    entry.size = static_cast<std::uint32_t>(size);
    entry.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(entry.size);
    if (std::fread(entry.bytes.get(), 1, entry.size, file.get()) != entry.size) {
        SetError(error, path + ": cannot read: "
                     + (std::ferror(file.get()) ? ErrnoText(errno) : std::string("the file changed while it was read")));
        return false;
    }
    Append(path, std::move(entry));
    return true;
}

bool PakArchive::AddEntry(const std::string& name, const void* block, std::int32_t length, std::string* error)
{
    const std::string problem = NameProblem(name);
    if (!problem.empty()) {
        SetError(error, "cannot add entry: " + problem);
        return false;
    }
    if (length < 0 || (length > 0 && block == nullptr)) {
        SetError(error, "cannot add entry \"" + name + "\": invalid block");
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
