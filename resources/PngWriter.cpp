#include "resources/PngWriter.h"

#include "resources/WholeFile.h"

#include <png.h>

#include <csetjmp>

namespace tarnwood {

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp)
{
}

// libpng reports errors through longjmp; keeping the setjmp frame in a
// function without C++ objects of its own keeps that jump well defined.
bool Encode(png_structp png, png_infop info, const PixelRows& pixels, std::vector<png_bytep>& rows,
            std::vector<std::uint8_t>& out)
{
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_write_fn(png, &out, AppendBytes, NoFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(pixels.width), static_cast<png_uint_32>(pixels.height), 8,
                 pixels.channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    const std::size_t stride = static_cast<std::size_t>(pixels.width) * static_cast<std::size_t>(pixels.channels);
    for (int y = 0; y < pixels.height; ++y) {
        const int from = pixels.bottomUp ? pixels.height - 1 - y : y;
        rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(pixels.bytes) + static_cast<std::size_t>(from) * stride;
    }
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    return true;
}

}

std::optional<std::vector<std::uint8_t>> EncodePng(const PixelRows& pixels, std::string& problem)
{
    // PNG sizes are at most 2^31 - 1; the limit here also keeps the row
    // arithmetic far from overflow.
    if (pixels.bytes == nullptr || pixels.width <= 0 || pixels.height <= 0 || pixels.width > 65535
        || pixels.height > 65535 || (pixels.channels != 3 && pixels.channels != 4)) {
        problem = "cannot encode a " + std::to_string(pixels.width) + "x" + std::to_string(pixels.height)
            + " picture of " + std::to_string(pixels.channels) + " channels as PNG";
        return std::nullopt;
    }
    std::vector<std::uint8_t> out;
    std::vector<png_bytep> rows(static_cast<std::size_t>(pixels.height));
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        problem = "libpng could not start";
        return std::nullopt;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        problem = "libpng could not start";
        return std::nullopt;
    }
    const bool ok = Encode(png, info, pixels, rows, out);
    png_destroy_write_struct(&png, &info);
    if (!ok) {
        problem = "libpng could not encode the picture";
        return std::nullopt;
    }
    return out;
}

bool WritePngFile(const std::string& path, const PixelRows& pixels, std::string& problem)
{
    const std::optional<std::vector<std::uint8_t>> png = EncodePng(pixels, problem);
    return png && WriteWholeFile(path, *png, problem);
}

}
