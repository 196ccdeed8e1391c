#include "assets/ArchiveContent.h"
#include "assets/Materials.h"
#include "assets/MeshBuilder.h"
#include "assets/TextRenderer.h"

#include <cmath>
#include <memory>
#include <string>

namespace tarnwood {

namespace {

// Overlay models lie in their node's x-y plane facing the viewer (+z), with
// +y up on screen. They are drawn unlit, without depth test and blended.

const Colour inkColour = Rgb(255, 248, 236);
const Colour shadowColour = Rgb(6, 8, 20, 0.7);
const Colour accentColour = Rgb(255, 176, 96);
const Colour panelColour = Rgb(14, 18, 40, 0.52);
const Colour panelEdge = Rgb(255, 236, 210, 0.22);

// A textured rectangle from (x0, y0) to (x1, y1) in model units, the image's
// top row along y1.
ModelSource Plate(const std::string& texture, double x0, double y0, double x1, double y1)
{
    ModelMeshSource mesh;
    mesh.texture = texture;
    mesh.material = UnlitMaterial(true);
    MeshBuilder(mesh).Quad({x0, y0, 0.0}, {x1 - x0, 0.0, 0.0}, {0.0, y1 - y0, 0.0}, 0.0, 1.0, 1.0, 0.0);
    ModelSource model;
    model.push_back(std::move(mesh));
    return model;
}

// Lettering with a soft dark halo so it reads over any part of the picture.
Canvas Letter(const Mask& ink, const Colour& colour, double haloRadius, int haloBlur,
              const Colour& halo = shadowColour)
{
    Canvas canvas(ink.Width(), ink.Height(), WithAlpha(halo, 0.0));
    if (haloRadius > 0.0 || haloBlur > 0) {
        ink.Dilated(haloRadius).Blurred(haloBlur).Paint(canvas, halo);
    }
    ink.Paint(canvas, colour);
    return canvas;
}

struct Fonts {
    std::unique_ptr<TextRenderer> bold = std::make_unique<TextRenderer>(FontPath("DejaVuSans-Bold.ttf"));
    std::unique_ptr<TextRenderer> regular = std::make_unique<TextRenderer>(FontPath("DejaVuSans.ttf"));
};

// A digit image of w x h pixels with the ink centred at (cx, cy) pixels and
// fitted into inkW x inkH pixels. The size is derived from "0" so that every
// digit of a set shares one height and baseline.
Canvas DigitImage(TextRenderer& font, const std::string& digit, int w, int h, double cx, double cy, double inkW,
                  double inkH, double halo, int blur, const Colour& colour = inkColour)
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

// A rounded translucent panel filling most of a w x h image, `margin` pixels
// in from each side, with a faint rim.
Canvas PanelImage(int w, int h, double margin, double radius)
{
    Canvas canvas(w, h, WithAlpha(panelColour, 0.0));
    canvas.FillRoundedRect(margin, margin, w - margin, h - margin, radius, panelColour);
    Canvas rim(w, h, WithAlpha(panelEdge, 0.0));
    // The rim: the panel shape minus a slightly smaller one.
    Mask outer(w, h);
    Mask inner(w, h);
    {
        Canvas a(w, h);
        a.FillRoundedRect(margin, margin, w - margin, h - margin, radius, Colour{1, 1, 1, 1});
        Canvas b(w, h);
        b.FillRoundedRect(margin + 1.5, margin + 1.5, w - margin - 1.5, h - margin - 1.5, radius - 1.5,
                          Colour{1, 1, 1, 1});
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                outer.At(x, y) = std::max(0.0, a.At(x, y).a - b.At(x, y).a);
            }
        }
    }
    outer.Paint(canvas, panelEdge);
    return canvas;
}

}

ArchiveContent BuildUtilsArchive()
{
    ArchiveContent content;
    content.fileName = "utils.pak";
    Fonts fonts;
    // Digits stand 1.4 units apart at eye depth 100 (about 9 pixels a unit
    // at 768 lines): each image is 2 x 4 units at 16 texels a unit, the ink
    // 2 units high, centred on the node's origin.
    for (int d = 0; d < 10; ++d) {
        const std::string name(1, static_cast<char>('0' + d));
        content.AddModel(name, Plate("digit" + name + ".png", -1.0, -2.0, 1.0, 2.0));
        content.AddImage("digit" + name + ".png", DigitImage(*fonts.bold, name, 32, 64, 16.0, 32.0, 20.0, 32.0, 1.5, 1));
    }
    // The label follows the digits (the units digit is at x = 3.3), on their
    // baseline: "60 fps".
    {
        Mask ink(64, 64);
        fonts.regular->Draw(ink, "fps", 34.0, 4.0, 48.0);
        content.AddModel("fps", Plate("fps.png", 4.2, -2.0, 8.2, 2.0));
        content.AddImage("fps.png", Letter(ink, Mix(inkColour, Rgb(200, 200, 210), 0.3), 1.5, 1));
    }
    return content;
}

ArchiveContent BuildClockArchive()
{
    ArchiveContent content;
    content.fileName = "clock.pak";
    Fonts fonts;

    // Digital clock. Slots sit about 3.95 units apart on y = 0, which lies one
    // unit above the screen's bottom edge; the ink spans y 0.5 to 5.5. Each
    // digit image is 4 x 8 units (y -1 to 7) at 16 texels a unit.
    for (int d = 0; d < 10; ++d) {
        const std::string name(1, static_cast<char>('0' + d));
        content.AddModel(name, Plate("digit" + name + ".png", -2.0, -1.0, 2.0, 7.0));
        // Ink centre at y = 3.0 units: 64 pixels from the top of the image.
        content.AddImage("digit" + name + ".png",
                         DigitImage(*fonts.bold, name, 64, 128, 32.0, 64.0, 54.0, 80.0, 2.0, 2));
    }
    {
        Canvas dot(32, 128, WithAlpha(inkColour, 0.0));
        Mask ink(32, 128);
        Canvas tmp(32, 128);
        tmp.FillDisc(16.0, 128.0 - (1.9 + 1.0) * 16.0, 6.5, Colour{1, 1, 1, 1});
        tmp.FillDisc(16.0, 128.0 - (4.1 + 1.0) * 16.0, 6.5, Colour{1, 1, 1, 1});
        for (int y = 0; y < 128; ++y) {
            for (int x = 0; x < 32; ++x) {
                ink.At(x, y) = tmp.At(x, y).a;
            }
        }
        content.AddModel("dot", Plate("dot.png", -1.0, -1.0, 1.0, 7.0));
        content.AddImage("dot.png", Letter(ink, inkColour, 2.0, 2));
    }
    // Half-day marks, on the digits' baseline (y = 0.5), smaller.
    for (const char* half : {"am", "pm"}) {
        Mask ink(128, 64);
        const std::string text = half[0] == 'a' ? "AM" : "PM";
        const double size = 40.0;
        const InkBox box = fonts.bold->Measure(text, size);
        // Image spans y -0.5 to 3.5 units: baseline at 0.5 units is 48 px down.
        fonts.bold->Draw(ink, text, size, 64.0 - (box.left + box.right) * 0.5, 48.0);
        content.AddModel(half, Plate(std::string(half) + ".png", -4.0, -0.5, 4.0, 3.5));
        content.AddImage(std::string(half) + ".png", Letter(ink, Mix(inkColour, accentColour, 0.35), 2.0, 2));
    }
    // Plates behind the digits: 24-hour from x -9 to 9, 12-hour out to 14.5
    // to take the half-day mark. Both from y -0.6 to 6.6.
    content.AddModel("podlozka", Plate("plate.png", -9.5, -1.1, 9.5, 7.1));
    content.AddImage("plate.png", PanelImage(256, 128, 0.5 * 256.0 / 19.0, 22.0));
    content.AddModel("podlozka_am", Plate("plate_am.png", -9.5, -1.1, 15.0, 7.1));
    content.AddImage("plate_am.png", PanelImage(256, 128, 0.5 * 256.0 / 24.5, 18.0));

    // Analog clock: dial of radius 8.6 around the node's origin, hands that
    // point to 12 (+y) at rotation 0 and turn about the origin.
    {
        const int size = 512;
        const double unit = size / 18.0;  // texels per model unit
        const double c = size * 0.5;
        Canvas dial(size, size, WithAlpha(panelColour, 0.0));
        dial.FillDisc(c, c, 8.6 * unit, panelColour);
        Mask marks(size, size);
        Canvas tmp(size, size);
        for (int m = 0; m < 60; ++m) {
            const double a = m * M_PI / 30.0;
            const bool hour = m % 5 == 0;
            const double r0 = (hour ? 7.2 : 7.7) * unit;
            const double r1 = 8.2 * unit;
            tmp.FillSegment(c + std::sin(a) * r0, c - std::cos(a) * r0, c + std::sin(a) * r1, c - std::cos(a) * r1,
                            hour ? 0.32 * unit : 0.12 * unit, Colour{1, 1, 1, 1});
        }
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                marks.At(x, y) = tmp.At(x, y).a;
            }
        }
        Mask numerals(size, size);
        for (int h = 1; h <= 12; ++h) {
            const double a = h * M_PI / 6.0;
            const double r = 5.75 * unit;
            fonts.bold->DrawCentred(numerals, std::to_string(h), c + std::sin(a) * r, c - std::cos(a) * r,
                                    2.4 * unit, 1.45 * unit, 2.2 * unit);
        }
        // The rim.
        Canvas ring(size, size);
        ring.FillDisc(c, c, 8.6 * unit, Colour{1, 1, 1, 1});
        Canvas hole(size, size);
        hole.FillDisc(c, c, 8.6 * unit - 2.0, Colour{1, 1, 1, 1});
        Mask rim(size, size);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                rim.At(x, y) = std::max(0.0, ring.At(x, y).a - hole.At(x, y).a);
            }
        }
        rim.Paint(dial, panelEdge);
        marks.Paint(dial, WithAlpha(inkColour, 0.9));
        numerals.Blurred(2).Paint(dial, shadowColour);
        numerals.Paint(dial, inkColour);
        content.AddModel("ciferblat", Plate("dial.png", -9.0, -9.0, 9.0, 9.0));
        content.AddImage("dial.png", dial);
    }
    struct Hand {
        const char* name;
        const char* image;
        double length;
        double tail;
        double width;
        Colour colour;
    };
    const Hand hands[3] = {
        {"sec", "hand_sec.png", 7.6, 1.8, 0.16, accentColour},
        {"min", "hand_min.png", 7.0, 1.0, 0.5, inkColour},
        {"chas", "hand_hour.png", 4.7, 0.9, 0.72, inkColour},
    };
    for (const Hand& hand : hands) {
        // Each hand image covers x -0.75..0.75, y -2..8 units at 25.6 texels a
        // unit; the pivot (model origin) is 8 units below the top.
        const int w = 32;
        const int h = 256;
        const double unit = h / 10.0;
        const double px = w * 0.5;
        const double py = 8.0 * unit;
        Canvas shape(w, h);
        shape.FillSegment(px, py + hand.tail * unit, px, py - hand.length * unit, hand.width * unit,
                          Colour{1, 1, 1, 1});
        shape.FillDisc(px, py, std::max(hand.width * 1.4, 0.32) * unit, Colour{1, 1, 1, 1});
        Mask ink(w, h);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                ink.At(x, y) = shape.At(x, y).a;
            }
        }
        content.AddModel(hand.name, Plate(hand.image, -w * 0.5 / unit, -2.0, w * 0.5 / unit, 8.0));
        content.AddImage(hand.image, Letter(ink, hand.colour, 1.0, 2));
    }
    return content;
}

namespace {

// The calendar page in its node's units: columns at x = -40 .. 8, rows at
// y = 0 .. -40, weekday header at y = 8, month name at y = 16, background
// centred at (-16, -12).
constexpr double pageLeft = -46.0;
constexpr double pageRight = 14.0;
constexpr double pageBottom = -46.0;
constexpr double pageTop = 22.0;

Canvas CalendarBackground(bool mondayFirst)
{
    const int w = 256;
    const int h = 256;
    const double sx = w / (pageRight - pageLeft);
    const double sy = h / (pageTop - pageBottom);
    auto px = [&](double x) { return (x - pageLeft) * sx; };
    auto py = [&](double y) { return (pageTop - y) * sy; };
    Canvas canvas = PanelImage(w, h, 2.0, 14.0);
    // Weekend columns, softly warmed from the header down.
    const int weekend[2] = {mondayFirst ? 5 : 0, 6};
    for (int col : weekend) {
        const double cx = -40.0 + 8.0 * col;
        canvas.FillRoundedRect(px(cx - 3.8), py(11.0), px(cx + 3.8), py(-44.0), 8.0, Rgb(255, 150, 90, 0.10));
    }
    // A hairline between the header and the days.
    canvas.FillSegment(px(-43.0), py(4.6), px(11.0), py(4.6), 1.0, Rgb(255, 236, 210, 0.35));
    return canvas;
}

Canvas WeekdayHeader(TextRenderer& font, bool mondayFirst)
{
    // 56 x 7 units (x -28..28 around the header node) on 256 x 32 texels.
    const int w = 256;
    const int h = 32;
    const double unit = w / 56.0;
    const char* english[7] = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};
    const char* russian[7] = {"Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"};
    Canvas canvas(w, h, WithAlpha(inkColour, 0.0));
    // One size and baseline for the whole row, from the tallest label.
    const double size = 3.6 * unit;
    for (int i = 0; i < 7; ++i) {
        const std::string text = mondayFirst ? russian[i] : english[i];
        const bool weekendDay = mondayFirst ? i >= 5 : (i == 0 || i == 6);
        Mask ink(w, h);
        font.DrawAtSize(ink, text, size, w * 0.5 + (i - 3) * 8.0 * unit, h * 0.5 + 1.3 * unit);
        Canvas part = Letter(ink, weekendDay ? accentColour : Mix(inkColour, Rgb(190, 200, 230), 0.35), 1.0, 1);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const Colour& p = part.At(x, y);
                if (p.a > 0.0) {
                    canvas.Blend(x, y, p);
                }
            }
        }
    }
    return canvas;
}

}

ArchiveContent BuildCalendarArchive()
{
    ArchiveContent content;
    content.fileName = "calendar.pak";
    Fonts fonts;
    content.AddModel("fon", Plate("fon.png", pageLeft + 16.0, pageBottom + 12.0, pageRight + 16.0, pageTop + 12.0));
    content.AddImage("fon.png", CalendarBackground(false));
    content.AddModel("fon_rus", Plate("fon_rus.png", pageLeft + 16.0, pageBottom + 12.0, pageRight + 16.0,
                                      pageTop + 12.0));
    content.AddImage("fon_rus.png", CalendarBackground(true));

    content.AddModel("day", Plate("day.png", -28.0, -3.5, 28.0, 3.5));
    content.AddImage("day.png", WeekdayHeader(*fonts.bold, false));
    content.AddModel("day_rus", Plate("day_rus.png", -28.0, -3.5, 28.0, 3.5));
    content.AddImage("day_rus.png", WeekdayHeader(*fonts.bold, true));

    static const char* const months[12] = {"January", "February", "March",     "April",   "May",      "June",
                                           "July",    "August",   "September", "October", "November", "December"};
    for (int m = 0; m < 12; ++m) {
        const int w = 256;
        const int h = 32;
        const double unit = w / 56.0;
        Mask ink(w, h);
        // Shared cap height for every month; centred on the node.
        const double size = 5.2 * unit;
        const InkBox caps = fonts.bold->Measure("M", size);
        fonts.bold->DrawAtSize(ink, months[m], size, w * 0.5, h * 0.5 - (caps.top + caps.bottom) * 0.5);
        const std::string name = "m" + std::to_string(m + 1);
        content.AddModel(name, Plate(name + ".png", -28.0, -3.5, 28.0, 3.5));
        content.AddImage(name + ".png", Letter(ink, inkColour, 1.2, 1));
    }

    // Day numbers: 6.4 units square at 5 texels a unit, centred on the cell.
    for (int d = 1; d <= 31; ++d) {
        const std::string name = std::to_string(d);
        const int w = 32;
        const double unit = w / 6.4;
        Mask ink(w, w);
        double size = 200.0;
        const InkBox ref = fonts.bold->Measure("0", size);
        size *= 3.3 * unit / ref.Height();
        const InkBox digits = fonts.bold->Measure("0", size);
        const InkBox box = fonts.bold->Measure(name, size);
        fonts.bold->Draw(ink, name, size, w * 0.5 - (box.left + box.right) * 0.5,
                         w * 0.5 - (digits.top + digits.bottom) * 0.5);
        content.AddModel(name, Plate("n" + name + ".png", -3.2, -3.2, 3.2, 3.2));
        content.AddImage("n" + name + ".png", Letter(ink, inkColour, 0.8, 1));
    }
    {
        Canvas dot(16, 16, WithAlpha(inkColour, 0.0));
        dot.FillDisc(8.0, 8.0, 1.6, WithAlpha(inkColour, 0.28));
        content.AddModel("null", Plate("null.png", -1.0, -1.0, 1.0, 1.0));
        content.AddImage("null.png", dot);
    }
    {
        Canvas sel(64, 64, WithAlpha(accentColour, 0.0));
        const double unit = 64.0 / 8.0;
        sel.FillRoundedRect(0.6 * unit, 0.6 * unit, 7.4 * unit, 7.4 * unit, 1.6 * unit, WithAlpha(accentColour, 0.8));
        content.AddModel("sel", Plate("sel.png", -4.0, -4.0, 4.0, 4.0));
        content.AddImage("sel.png", sel);
    }
    return content;
}

}
