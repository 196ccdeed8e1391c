#pragma once

#include "app/Settings.h"

#include <string>

namespace tarnwood {

// The settings file's bytes for `settings` in layout 1: marker 1, two empty
// reserved texts, exitOnMouseMove, reserved number 0, displayMode and the
// seven display flags, little-endian; 28 bytes.
std::string EncodeSettings(const Settings& settings);

// Why a change to a settings file failed: the system's error number and the
// step that failed, in words that complete "could not ..." (for example
// "create a temporary file in /etc/xdg").
struct WriteFailure {
    int error = 0;
    std::string step;
};

// Replaces the file at `path` with EncodeSettings(settings), creating its
// folder first when missing. The bytes go to a temporary file in the same
// folder, which is renamed over `path` only once it is complete and flushed,
// so readers see the old file or the new one, never a part. The file is
// readable by every user. On failure returns false, leaves any existing file
// untouched, removes the temporary file and fills `failure`.
bool WriteSettingsFile(const std::string& path, const Settings& settings, WriteFailure& failure);

// Removes the file at `path`; a file that is already missing is no failure.
bool RemoveSettingsFile(const std::string& path, WriteFailure& failure);

// An exclusive lock on the folder that holds a settings file, so that one
// program's read-modify-write of the file is never interleaved with
// another's: without it, two changes made at the same moment would both
// read the old file, and the later rename would drop the earlier change.
// The lock is taken on the folder itself, so no lock file is left behind;
// it is released when the object goes (or when the process ends).
class SettingsFolderLock {
public:
    SettingsFolderLock() = default;
    ~SettingsFolderLock();
    SettingsFolderLock(const SettingsFolderLock&) = delete;
    SettingsFolderLock& operator=(const SettingsFolderLock&) = delete;

    // Creates the folder of `path` when it is missing and waits up to
    // `timeoutMs` milliseconds for the lock. On failure returns false and
    // fills `failure` (EWOULDBLOCK when another program held the lock all
    // that time).
    bool Acquire(const std::string& path, int timeoutMs, WriteFailure& failure);

private:
    int fd = -1;
};

// The folder part of a file path: everything before the last '/', "/" for
// a file in the root, "." for a bare name.
std::string FolderOf(const std::string& path);

}
