#pragma once

#include "assets/Canvas.h"
#include "assets/TextRenderer.h"
#include "resources/ModelWriter.h"

#include <memory>
#include <string>

namespace tarnwood {

// The look shared by the overlays (clock, calendar, frame rate). Overlay
// models lie in their node's x-y plane facing the viewer (+z), with +y up on
// screen. They are drawn unlit, without depth test and blended.

inline const Colour inkColour = Rgb(255, 248, 236);
inline const Colour shadowColour = Rgb(6, 8, 20, 0.7);
inline const Colour accentColour = Rgb(255, 176, 96);
inline const Colour panelColour = Rgb(14, 18, 40, 0.52);
inline const Colour panelEdge = Rgb(255, 236, 210, 0.22);

// The two faces the lettering uses.
struct OverlayFonts {
    std::unique_ptr<TextRenderer> bold = std::make_unique<TextRenderer>(FontPath("DejaVuSans-Bold.ttf"));
    std::unique_ptr<TextRenderer> regular = std::make_unique<TextRenderer>(FontPath("DejaVuSans.ttf"));
};

// A model of one unlit, blended rectangle from (x0, y0) to (x1, y1) in model
// units showing the image entry `texture`, the image's top row along y1.
ModelSource Plate(const std::string& texture, double x0, double y0, double x1, double y1);

// Lettering of coverage `ink` in `colour` with a soft halo (`haloRadius`
// pixels of dilation, blurred by `haloBlur`) so it reads over any part of
// the picture.
Canvas Letter(const Mask& ink, const Colour& colour, double haloRadius, int haloBlur, const Colour& halo = shadowColour);

// A digit image of w x h pixels with the ink centred at (cx, cy) pixels and
// fitted into inkW x inkH pixels. The size is derived from "0" so that every
// digit of a set shares one height and baseline.
Canvas DigitImage(TextRenderer& font, const std::string& digit, int w, int h, double cx, double cy, double inkW,
                  double inkH, double halo, int blur, const Colour& colour = inkColour);

// A rounded translucent panel filling most of a w x h image, `margin` pixels
// in from each side, with a faint rim.
Canvas PanelImage(int w, int h, double margin, double radius);

}
