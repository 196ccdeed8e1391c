#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarnwood::fuzz {

// A private folder made once per process under $TMPDIR (or /tmp), ending
// without a separator. The harnesses write every file they need inside it.
const std::string& ScratchFolder();

// Writes `size` bytes to `path`, replacing the file.
void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size);

// Removes everything inside `folder`, keeping the folder itself.
void EmptyFolder(const std::string& folder);

// Opens (once per process) a small OpenGL context through SDL; without an X
// display SDL's offscreen driver is used. Aborts when none can be made, since
// the harnesses that need it would test nothing.
void EnsureGlContext();

// The input split at NUL bytes into words (an empty input gives no words).
std::vector<std::string> SplitWords(const std::uint8_t* data, std::size_t size);

}
