#include "resources/WholeFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace tarnwood {

bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& problem)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        problem = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (written && closed)
        return true;
    problem = "cannot write " + path + ": " + std::strerror(written ? errno : writeError);
    std::error_code ignored;
    if (std::filesystem::is_regular_file(path, ignored))
        std::filesystem::remove(path, ignored);
    return false;
}

}
