#include "app/PreviewPixels.h"

#include "resources/ImageHeader.h"

#include <SDL/SDL.h>
#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>
#include <sys/stat.h>

namespace tarnwood {

namespace {

struct SurfaceFree {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Largest header (file header and V5 info header) read before the checks.
constexpr std::size_t bmpHeaderBytes = 14 + 124;
// A 24-bit picture needs no colour table; a few kilobytes of optional
// tables between the headers and the pixels are tolerated, no more.
constexpr std::uint32_t maxPixelOffset = 64 * 1024;

// The bytes of the picture at `path` when its header describes an
// uncompressed 24-bit BMP of at most maxWidth x maxHeight pixels that the
// file holds whole; empty otherwise. Only the header and those pixels are
// read, so a header claiming an absurd size costs nothing.
std::vector<std::uint8_t> ReadShownPicture(const std::string& path, int maxWidth, int maxHeight)
{
    std::unique_ptr<std::FILE, FileClose> file(std::fopen(path.c_str(), "rb"));
    struct stat info {};
    if (!file || fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    const auto fileSize = static_cast<std::uint64_t>(info.st_size);
    std::vector<std::uint8_t> bytes(bmpHeaderBytes);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
    const std::optional<BmpHeader> header = ReadBmpHeader(bytes.data(), bytes.size());
    if (!header || header->bitsPerPixel != 24 || header->compression != 0 || header->pixelOffset > maxPixelOffset)
        return {};
    const std::int64_t rows = header->height < 0 ? -std::int64_t{header->height} : header->height;
    if (header->width < 1 || header->width > maxWidth || rows < 1 || rows > maxHeight)
        return {};
    const std::uint64_t needed = header->pixelOffset
        + BmpRowBytes(static_cast<std::uint32_t>(header->width), header->bitsPerPixel) * static_cast<std::uint64_t>(rows);
    if (header->pixelOffset < 14 + 40 || needed > fileSize || needed < bytes.size())
        return {};
    const std::size_t already = bytes.size();
    bytes.resize(static_cast<std::size_t>(needed));
    if (std::fread(bytes.data() + already, 1, bytes.size() - already, file.get()) != bytes.size() - already)
        return {};
    return bytes;
}

}

std::vector<std::uint32_t> PreviewPixels(int paneWidth, int paneHeight, const std::string& picturePath)
{
    if (paneWidth <= 0 || paneHeight <= 0)
        return {};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(paneWidth) * static_cast<std::size_t>(paneHeight), 0);
    if (paneWidth != kPreviewPictureWidth)
        return pixels;

    const std::vector<std::uint8_t> file = ReadShownPicture(picturePath, paneWidth, paneHeight);
    if (file.empty() || file.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return pixels;
    // SDL_LoadBMP_RW with freesrc = 1 closes the memory stream, also on failure.
    SDL_RWops* stream = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
    std::unique_ptr<SDL_Surface, SurfaceFree> picture(stream ? SDL_LoadBMP_RW(stream, 1) : nullptr);
    if (!picture || !picture->format || picture->format->BytesPerPixel != 3 || !picture->pixels || picture->w <= 0
        || picture->h <= 0 || picture->pitch < picture->w * 3)
        return pixels;

    if (SDL_MUSTLOCK(picture.get()) && SDL_LockSurface(picture.get()) != 0)
        return pixels;
    // Rows are addressed through the pitch: the loader pads each row to a
    // multiple of four bytes. The bytes of a pixel are blue, green, red.
    const int width = std::min(picture->w, paneWidth);
    const int height = std::min(picture->h, paneHeight);
    const auto* bytes = static_cast<const std::uint8_t*>(picture->pixels);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = bytes + static_cast<std::size_t>(y) * static_cast<std::size_t>(picture->pitch);
        std::uint32_t* out = pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(paneWidth);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = row + x * 3;
            out[x] = (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | std::uint32_t{p[0]};
        }
    }
    if (SDL_MUSTLOCK(picture.get()))
        SDL_UnlockSurface(picture.get());
    return pixels;
}

}
