#pragma once

#include "assets/Canvas.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

namespace tarnwood {

// The ink extent of a text in pixels relative to its pen start on the
// baseline (y grows downwards, so `top` is usually negative).
struct InkBox {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;
    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
};

// Renders UTF-8 text with one TrueType font through FreeType into coverage
// masks. A renderer whose font file could not be opened renders nothing and
// reports IsOpen() false.
class TextRenderer {
public:
    explicit TextRenderer(const std::string& fontPath);
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    bool IsOpen() const { return face != nullptr; }

    // Ink extent of `text` at `pixelSize` (the em size in pixels).
    InkBox Measure(const std::string& text, double pixelSize);

    // Adds the coverage of `text` to `mask` with the pen starting at (x, y) on
    // the baseline; glyph parts outside the mask are clipped.
    void Draw(Mask& mask, const std::string& text, double pixelSize, double x, double y, double tracking = 0.0);

    // Draws `text` as large as fits into a box of maxWidth x maxHeight pixels
    // centred at (cx, cy), capped at `maxPixelSize`; returns the size used.
    // The ink (not the line box) is centred, so digits and letters sit in the
    // optical middle of their slot.
    double DrawCentred(Mask& mask, const std::string& text, double cx, double cy, double maxWidth, double maxHeight,
                       double maxPixelSize);

    // Like DrawCentred but at a given size, centring horizontally on the ink
    // and vertically on the given reference ink height (so that a row of
    // labels shares one baseline).
    void DrawAtSize(Mask& mask, const std::string& text, double pixelSize, double cx, double baselineY);

private:
    void SetSize(double pixelSize);

    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

// The DejaVu fonts that Debian installs with fonts-dejavu-core.
std::string FontPath(const std::string& fileName);

}
