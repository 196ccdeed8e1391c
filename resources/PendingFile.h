#pragma once

#include "resources/UniqueFd.h"

#include <cstddef>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tarnwood {

// Writes all `count` bytes to `fd`, retrying short writes and EINTR. Returns
// false with errno set on failure (ENOSPC when the device takes no more).
bool WriteAll(int fd, const void* bytes, std::size_t count);

// A file written under a hidden temporary name in its folder, which takes its
// real name only once every byte has reached it (Commit). Until then, and
// whenever a step fails, a file already holding the real name is left exactly
// as it was; the temporary file is removed when the object goes without a
// successful Commit. Every failing call returns false with errno set.
class PendingFile {
public:
    PendingFile() = default;
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Creates the empty temporary file in the folder open as `folderFd`,
    // which the caller keeps open until Commit or destruction; `finalName` is
    // a single name inside that folder. The file gets mode 0666 less the
    // umask. A symbolic link is never followed or created.
    bool Create(int folderFd, const std::string& finalName);
    // Appends bytes (buffered).
    bool Write(const void* bytes, std::size_t count);
    // Permission bits for the finished file, such as those of the file it replaces.
    bool SetMode(mode_t mode);
    // Writes the buffer out, optionally forces the data to the disk, closes
    // the file and renames it over the final name (replacing a file or a
    // symbolic link of that name, never writing through one).
    bool Commit(bool sync);

private:
    bool Flush();
    void Discard();

    int folder = -1;
    std::string finalName;
    std::string temporaryName;
    UniqueFd file;
    std::vector<unsigned char> buffer;
    bool committed = false;
};

}
