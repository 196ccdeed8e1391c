#include "app/PreviewPixels.h"

#include <SDL/SDL.h>
#include <algorithm>
#include <memory>

namespace tarnwood {

namespace {

struct SurfaceFree {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};

}

std::vector<std::uint32_t> PreviewPixels(int paneWidth, int paneHeight, const std::string& picturePath)
{
    if (paneWidth <= 0 || paneHeight <= 0)
        return {};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(paneWidth) * static_cast<std::size_t>(paneHeight), 0);
    if (paneWidth != kPreviewPictureWidth)
        return pixels;

    std::unique_ptr<SDL_Surface, SurfaceFree> picture(SDL_LoadBMP(picturePath.c_str()));
    if (!picture || !picture->format || picture->format->BytesPerPixel != 3 || !picture->pixels
        || picture->w <= 0 || picture->h <= 0 || picture->pitch < picture->w * 3)
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
