#include "assets/TextRenderer.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tarnwood {

namespace {

std::vector<char32_t> DecodeUtf8(const std::string& text)
{
    std::vector<char32_t> out;
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t cp = 0;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            extra = 3;
        } else {
            ++i;
            continue;
        }
        if (i + extra >= text.size()) {
            break;
        }
        for (int k = 1; k <= extra; ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        out.push_back(cp);
        i += 1 + extra;
    }
    return out;
}

}

std::string FontPath(const std::string& fileName)
{
    return "/usr/share/fonts/truetype/dejavu/" + fileName;
}

TextRenderer::TextRenderer(const std::string& fontPath)
{
    if (FT_Init_FreeType(&library) != 0) {
        library = nullptr;
        return;
    }
    if (FT_New_Face(library, fontPath.c_str(), 0, &face) != 0) {
        face = nullptr;
    }
}

TextRenderer::~TextRenderer()
{
    if (face != nullptr) {
        FT_Done_Face(face);
    }
    if (library != nullptr) {
        FT_Done_FreeType(library);
    }
}

void TextRenderer::SetSize(double pixelSize)
{
    // 26.6 fixed point; fractional sizes keep the fitting smooth.
    FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(pixelSize * 64.0)), 72, 72);
}

InkBox TextRenderer::Measure(const std::string& text, double pixelSize)
{
    InkBox box;
    if (face == nullptr) {
        return box;
    }
    SetSize(pixelSize);
    bool any = false;
    double pen = 0.0;
    for (char32_t cp : DecodeUtf8(text)) {
        if (FT_Load_Char(face, cp, FT_LOAD_DEFAULT | FT_LOAD_NO_HINTING) != 0) {
            continue;
        }
        const FT_Glyph_Metrics& m = face->glyph->metrics;
        if (m.width > 0 && m.height > 0) {
            const double l = pen + m.horiBearingX / 64.0;
            const double t = -m.horiBearingY / 64.0;
            const double r = l + m.width / 64.0;
            const double b = t + m.height / 64.0;
            if (!any) {
                box = InkBox{l, t, r, b};
                any = true;
            } else {
                box.left = std::min(box.left, l);
                box.top = std::min(box.top, t);
                box.right = std::max(box.right, r);
                box.bottom = std::max(box.bottom, b);
            }
        }
        pen += face->glyph->advance.x / 64.0;
    }
    return box;
}

void TextRenderer::Draw(Mask& mask, const std::string& text, double pixelSize, double x, double y, double tracking)
{
    if (face == nullptr) {
        return;
    }
    SetSize(pixelSize);
    double pen = x;
    for (char32_t cp : DecodeUtf8(text)) {
        // Render each glyph at its fractional pen position so spacing stays
        // exact at small sizes.
        const double fx = pen - std::floor(pen);
        const double fy = y - std::floor(y);
        FT_Vector delta{static_cast<FT_Pos>(std::lround(fx * 64.0)), static_cast<FT_Pos>(-std::lround(fy * 64.0))};
        FT_Set_Transform(face, nullptr, &delta);
        if (FT_Load_Char(face, cp, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0) {
            continue;
        }
        const FT_GlyphSlot g = face->glyph;
        const FT_Bitmap& bm = g->bitmap;
        const int ox = static_cast<int>(std::floor(pen)) + g->bitmap_left;
        const int oy = static_cast<int>(std::floor(y)) - g->bitmap_top;
        for (unsigned row = 0; row < bm.rows; ++row) {
            for (unsigned col = 0; col < bm.width; ++col) {
                const int px = ox + static_cast<int>(col);
                const int py = oy + static_cast<int>(row);
                if (px < 0 || py < 0 || px >= mask.Width() || py >= mask.Height()) {
                    continue;
                }
                const double v = bm.buffer[row * static_cast<unsigned>(bm.pitch) + col] / 255.0;
                mask.At(px, py) = std::min(1.0, mask.At(px, py) + v);
            }
        }
        pen += g->advance.x / 64.0 + tracking;
    }
    FT_Set_Transform(face, nullptr, nullptr);
}

double TextRenderer::DrawCentred(Mask& mask, const std::string& text, double cx, double cy, double maxWidth,
                                 double maxHeight, double maxPixelSize)
{
    double size = maxPixelSize;
    InkBox box = Measure(text, size);
    if (box.Width() > maxWidth && box.Width() > 0.0) {
        size *= maxWidth / box.Width();
    }
    box = Measure(text, size);
    if (box.Height() > maxHeight && box.Height() > 0.0) {
        size *= maxHeight / box.Height();
    }
    box = Measure(text, size);
    Draw(mask, text, size, cx - (box.left + box.right) * 0.5, cy - (box.top + box.bottom) * 0.5);
    return size;
}

void TextRenderer::DrawAtSize(Mask& mask, const std::string& text, double pixelSize, double cx, double baselineY)
{
    const InkBox box = Measure(text, pixelSize);
    Draw(mask, text, pixelSize, cx - (box.left + box.right) * 0.5, baselineY);
}

}
