#include "assets/OverlayStyle.h"

#include "assets/Materials.h"
#include "assets/MeshBuilder.h"

#include <algorithm>

namespace tarnwood {

ModelSource Plate(const std::string& texture, double x0, double y0, double x1, double y1)
{
    ModelMeshSource mesh = NewMesh(texture, UnlitMaterial(true));
    MeshBuilder(mesh).Quad({x0, y0, 0.0}, {x1 - x0, 0.0, 0.0}, {0.0, y1 - y0, 0.0}, 0.0, 1.0, 1.0, 0.0);
    ModelSource model;
    model.push_back(std::move(mesh));
    return model;
}

Canvas Letter(const Mask& ink, const Colour& colour, double haloRadius, int haloBlur, const Colour& halo)
{
    Canvas canvas(ink.Width(), ink.Height(), WithAlpha(halo, 0.0));
    if (haloRadius > 0.0 || haloBlur > 0) {
        ink.Dilated(haloRadius).Blurred(haloBlur).Paint(canvas, halo);
    }
    ink.Paint(canvas, colour);
    return canvas;
}

Canvas DigitImage(TextRenderer& font, const std::string& digit, int w, int h, double cx, double cy, double inkW,
                  double inkH, double halo, int blur, const Colour& colour)
{
    double size = 200.0;
    const InkBox zero = font.Measure("0", size);
    size *= std::min(inkW / zero.Width(), inkH / zero.Height());
    const InkBox ref = font.Measure("0", size);
    const InkBox box = font.Measure(digit, size);
    Mask ink(w, h);
    const double baseline = cy - (ref.top + ref.bottom) * 0.5;
    font.Draw(ink, digit, size, cx - (box.left + box.right) * 0.5, baseline);
    return Letter(ink, colour, halo, blur);
}

Canvas PanelImage(int w, int h, double margin, double radius)
{
    Canvas canvas(w, h, WithAlpha(panelColour, 0.0));
    canvas.FillRoundedRect(margin, margin, w - margin, h - margin, radius, panelColour);
    // The rim: the panel's shape less a slightly smaller one.
    Canvas outer(w, h);
    outer.FillRoundedRect(margin, margin, w - margin, h - margin, radius, Colour{1, 1, 1, 1});
    Canvas inner(w, h);
    inner.FillRoundedRect(margin + 1.5, margin + 1.5, w - margin - 1.5, h - margin - 1.5, radius - 1.5, Colour{1, 1, 1, 1});
    Mask::AlphaOf(outer).Without(Mask::AlphaOf(inner)).Paint(canvas, panelEdge);
    return canvas;
}

}
