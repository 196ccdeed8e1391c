#include "resources/ImageDecoder.h"

#include "resources/ImageHeader.h"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <cstring>
#include <limits>

namespace tarnwood {

namespace {

struct SurfaceFreer {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfaceHandle = std::unique_ptr<SDL_Surface, SurfaceFreer>;

struct StreamCloser {
    void operator()(SDL_RWops* stream) const { SDL_RWclose(stream); }
};
using StreamHandle = std::unique_ptr<SDL_RWops, StreamCloser>;

#if SDL_BYTEORDER == SDL_LIL_ENDIAN
constexpr Uint32 redMask = 0x000000FF, greenMask = 0x0000FF00, blueMask = 0x00FF0000, alphaMask = 0xFF000000;
#else
constexpr Uint32 redMask = 0xFF000000, greenMask = 0x00FF0000, blueMask = 0x0000FF00, alphaMask = 0x000000FF;
#endif

// True when the pixels are 4 bytes each in the order red, green, blue,
// alpha, with rows back to back: the layout glTexImage2D is given.
bool HasUploadLayout(const SDL_Surface* surface)
{
    const SDL_PixelFormat* format = surface->format;
    return format->BitsPerPixel == 32 && format->BytesPerPixel == 4 && surface->pitch == surface->w * 4
        && format->Rmask == redMask && format->Gmask == greenMask && format->Bmask == blueMask
        && format->Amask == alphaMask;
}

// The decoded image in upload layout: the surface itself when it already is,
// otherwise a converted copy (null if the conversion fails).
SurfaceHandle ToUploadLayout(SurfaceHandle decoded)
{
    if (HasUploadLayout(decoded.get()))
        return decoded;
    SurfaceHandle pattern(SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, redMask, greenMask, blueMask, alphaMask));
    if (!pattern)
        return nullptr;
    SurfaceHandle converted(SDL_ConvertSurface(decoded.get(), pattern->format, SDL_SWSURFACE));
    if (!converted || !HasUploadLayout(converted.get()))
        return nullptr;
    return converted;
}

}

std::shared_ptr<const DecodedImage> DecodeImageEntry(const std::uint8_t* bytes, std::size_t size, std::uint32_t maxSide,
                                                     std::size_t* decoderRuns)
{
    const std::optional<PngHeader> header = ReadPngHeader(bytes, size);
    if (!header || !PngFitsLimits(*header, size, maxSide) || !PngChunksFit(bytes, size)
        || size > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return nullptr;
    StreamHandle stream(SDL_RWFromConstMem(bytes, static_cast<int>(size)));
    if (!stream)
        return nullptr;
    if (decoderRuns)
        ++*decoderRuns;
    SurfaceHandle decoded(IMG_LoadPNG_RW(stream.get()));
    if (!decoded || decoded->w != static_cast<int>(header->width) || decoded->h != static_cast<int>(header->height))
        return nullptr;
    SurfaceHandle upload = ToUploadLayout(std::move(decoded));
    if (!upload)
        return nullptr;
    if (SDL_MUSTLOCK(upload.get()) && SDL_LockSurface(upload.get()) < 0)
        return nullptr;
    auto image = std::make_shared<DecodedImage>();
    image->width = upload->w;
    image->height = upload->h;
    const std::size_t byteCount = static_cast<std::size_t>(upload->w) * static_cast<std::size_t>(upload->h) * 4;
    image->rgba.resize(byteCount);
    std::memcpy(image->rgba.data(), upload->pixels, byteCount);
    if (SDL_MUSTLOCK(upload.get()))
        SDL_UnlockSurface(upload.get());
    return image;
}

}
