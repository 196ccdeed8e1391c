#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwood {

// Writes `bytes` to `path`, creating or truncating the file. Returns false,
// with `problem` naming the path and the reason, when it cannot be opened or
// written; a regular file left half-written is removed then (a device or
// pipe named by `path` never is).
bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& problem);

}
