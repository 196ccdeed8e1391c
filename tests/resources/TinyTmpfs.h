#pragma once

#include <string>

namespace tarnwood::test {

// A tmpfs of `kibibytes` KiB mounted on a new folder `path` (which must not
// exist yet), so that writes beyond that size fail with ENOSPC as on a full
// disk. Mounting needs privileges: check Mounted() and skip without them.
// Unmounted (lazily) on destruction.
class TinyTmpfs {
public:
    TinyTmpfs(const std::string& path, int kibibytes);
    ~TinyTmpfs();
    TinyTmpfs(const TinyTmpfs&) = delete;
    TinyTmpfs& operator=(const TinyTmpfs&) = delete;

    bool Mounted() const { return mounted; }
    // Why mounting failed, when it did.
    const std::string& Problem() const { return problem; }

private:
    std::string path;
    bool mounted = false;
    std::string problem;
};

}
