#pragma once

#include <filesystem>
#include <string>

namespace tarnwood::test {

// A fresh directory under the system's temporary folder, removed with all its
// contents when the object goes out of scope.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path; }
    // Full path of a file inside the directory.
    std::string File(const std::string& name) const { return (path / name).string(); }

private:
    std::filesystem::path path;
};

// Whole-file helpers for tests; Read returns an empty string for a missing file.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

}
