#include "assets/PngEncoder.h"

#include <png.h>

#include <csetjmp>

namespace tarnwood {

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

// libpng reports errors through longjmp; keeping the setjmp frame in a
// function without C++ objects of its own keeps that jump well defined.
bool Encode(png_structp png, png_infop info, const std::vector<std::uint8_t>& rgba, int width, int height,
            std::vector<png_bytep>& rows, std::vector<std::uint8_t>& out)
{
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_write_fn(png, &out, AppendBytes, NoFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    for (int y = 0; y < height; ++y) {
        rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(rgba.data()) + static_cast<std::size_t>(y) * width * 4;
    }
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    return true;
}

}

std::vector<std::uint8_t> EncodePng(const Canvas& canvas)
{
    const std::vector<std::uint8_t> rgba = canvas.ToRgba8();
    std::vector<std::uint8_t> out;
    std::vector<png_bytep> rows(static_cast<std::size_t>(canvas.Height()));
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        return {};
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return {};
    }
    const bool ok = Encode(png, info, rgba, canvas.Width(), canvas.Height(), rows, out);
    png_destroy_write_struct(&png, &info);
    if (!ok) {
        return {};
    }
    return out;
}

}
