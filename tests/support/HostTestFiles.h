#pragma once

#include <string>

namespace tarnwood::test {

// Writes an executable /bin/sh script with the given body.
void WriteScript(const std::string& path, const std::string& body);

// Waits up to timeoutMs for a file to exist.
bool WaitForFile(const std::string& path, int timeoutMs);

// The number of children of this process that have not been reaped.
int ChildrenOfThisProcess();

// The parent process id of `pid` as /proc tells it; -1 when it is gone.
int ParentOf(int pid);

}

#include <cstdint>

namespace tarnwood::test {

// The colour 0x00RRGGBB that the test pictures hold at (x, y): every channel
// differs, and no two neighbours or mirrored positions share a colour.
std::uint32_t PictureColour(int x, int y);

// Writes a BMP of width x height filled with PictureColour, stored bottom-up
// as BMP files are, with `bitsPerPixel` 24 or 32 (rows padded to 4 bytes).
void WritePictureBmp(const std::string& path, int width, int height, int bitsPerPixel = 24);

}
