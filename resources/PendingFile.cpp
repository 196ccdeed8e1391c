#include "resources/PendingFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>

namespace tarnwood {

namespace {

constexpr std::size_t bufferLimit = 1u << 16;
constexpr int nameAttempts = 100;

std::string TemporaryName()
{
    static std::mt19937 generator(std::random_device{}() ^ static_cast<unsigned>(getpid()));
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(generator()));
    return std::string(".tarnwood-") + suffix + ".tmp";
}

}

PendingFile::~PendingFile()
{
    Discard();
}

void PendingFile::Discard()
{
    if (committed || temporaryName.empty())
        return;
    const int saved = errno;
    if (file.Valid())
        file.Close();
    unlinkat(folder, temporaryName.c_str(), 0);
    temporaryName.clear();
    errno = saved;
}

bool PendingFile::Create(int folderFd, const std::string& name)
{
    folder = folderFd;
    finalName = name;
    for (int attempt = 0; attempt < nameAttempts; ++attempt) {
        std::string candidate = TemporaryName();
        const int fd = openat(folder, candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            file = UniqueFd(fd);
            temporaryName = std::move(candidate);
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool WriteAll(int fd, const void* bytes, std::size_t count)
{
    const auto* from = static_cast<const std::uint8_t*>(bytes);
    while (count > 0) {
        const ssize_t written = write(fd, from, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        from += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

bool PendingFile::Flush()
{
    if (!WriteAll(file.Get(), buffer.data(), buffer.size()))
        return false;
    buffer.clear();
    return true;
}

bool PendingFile::Write(const void* bytes, std::size_t count)
{
    if (!file.Valid()) {
        errno = EBADF;
        return false;
    }
    const auto* from = static_cast<const unsigned char*>(bytes);
    while (count > 0) {
        const std::size_t room = bufferLimit - buffer.size();
        const std::size_t take = count < room ? count : room;
        buffer.insert(buffer.end(), from, from + take);
        from += take;
        count -= take;
        if (buffer.size() == bufferLimit && !Flush())
            return false;
    }
    return true;
}

bool PendingFile::SetMode(mode_t mode)
{
    if (!file.Valid()) {
        errno = EBADF;
        return false;
    }
    return fchmod(file.Get(), mode & 07777) == 0;
}

bool PendingFile::Commit(bool sync)
{
    if (!file.Valid()) {
        errno = EBADF;
        return false;
    }
    if (!Flush() || (sync && fsync(file.Get()) != 0) || !file.Close()) {
        Discard();
        return false;
    }
    if (renameat(folder, temporaryName.c_str(), folder, finalName.c_str()) != 0) {
        Discard();
        return false;
    }
    committed = true;
    return true;
}

}
