#include "HostTestFiles.h"

#include "TempDir.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace tarnwood::test {

void WriteScript(const std::string& path, const std::string& body)
{
    WriteFileBytes(path, "#!/bin/sh\n" + body);
    chmod(path.c_str(), 0755);
}

bool WaitForFile(const std::string& path, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!std::filesystem::exists(path)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

int ParentOf(int pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The command name in parentheses may hold blanks; the fields after it do not.
    const std::string::size_type close = text.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(close + 1));
    std::string state;
    int parent = -1;
    fields >> state >> parent;
    return parent;
}

int ChildrenOfThisProcess()
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        if (ParentOf(std::stoi(name)) == getpid())
            ++count;
    }
    return count;
}

}

namespace tarnwood::test {

namespace {

void PutLe(std::string& bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}

std::uint32_t PictureColour(int x, int y)
{
    const std::uint32_t red = static_cast<std::uint32_t>(x * 7 + y) & 0xFF;
    const std::uint32_t green = static_cast<std::uint32_t>(y * 5 + x * 3 + 40) & 0xFF;
    const std::uint32_t blue = static_cast<std::uint32_t>((x ^ (y * 3)) + 90) & 0xFF;
    return (red << 16) | (green << 8) | blue;
}

void WritePictureBmp(const std::string& path, int width, int height, int bitsPerPixel)
{
    const int bytesPerPixel = bitsPerPixel / 8;
    const int rowSize = (width * bytesPerPixel + 3) / 4 * 4;
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(rowSize * height);
    std::string bmp = "BM";
    PutLe(bmp, 14 + 40 + pixelBytes, 4);
    PutLe(bmp, 0, 4);
    PutLe(bmp, 14 + 40, 4);
    PutLe(bmp, 40, 4);
    PutLe(bmp, static_cast<std::uint32_t>(width), 4);
    PutLe(bmp, static_cast<std::uint32_t>(height), 4);
    PutLe(bmp, 1, 2);
    PutLe(bmp, static_cast<std::uint32_t>(bitsPerPixel), 2);
    PutLe(bmp, 0, 4);
    PutLe(bmp, pixelBytes, 4);
    PutLe(bmp, 2835, 4);
    PutLe(bmp, 2835, 4);
    PutLe(bmp, 0, 4);
    PutLe(bmp, 0, 4);
    for (int y = height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < width; ++x)
            PutLe(row, PictureColour(x, y), bytesPerPixel);
        row.resize(static_cast<std::size_t>(rowSize), '\0');
        bmp += row;
    }
    WriteFileBytes(path, bmp);
}

}
