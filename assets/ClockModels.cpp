#include "assets/ArchiveContent.h"
#include "assets/OverlayStyle.h"
#include "content/ScenePlacement.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tarnwood {

namespace {

// The digital clock's images are 16 texels a unit; each digit is 4 x 8 units
// (y -1 to 7) around its slot on y = 0, which lies one unit above the
// screen's bottom edge, and its ink spans y 0.5 to 5.5.
constexpr double digitTop = 7.0;
constexpr double digitBottom = -1.0;

ModelSource ClockDigitModel(const std::string& digit)
{
    return Plate("digit" + digit + ".png", -kDigitHalfWidth, digitBottom, kDigitHalfWidth, digitTop);
}

Canvas ClockDigitImage(TextRenderer& font, const std::string& digit)
{
    // Ink centre at y = 3.0 units: 64 pixels from the top of the image.
    return DigitImage(font, digit, 64, 128, 32.0, 64.0, 54.0, 80.0, 2.0, 2);
}

// The blinking separator: two dots between the hours and the minutes.
ModelSource SeparatorModel()
{
    return Plate("dot.png", -1.0, digitBottom, 1.0, digitTop);
}

Canvas SeparatorImage()
{
    Canvas dots(32, 128);
    dots.FillDisc(16.0, 128.0 - (1.9 + 1.0) * 16.0, 6.5, Colour{1, 1, 1, 1});
    dots.FillDisc(16.0, 128.0 - (4.1 + 1.0) * 16.0, 6.5, Colour{1, 1, 1, 1});
    return Letter(Mask::AlphaOf(dots), inkColour, 2.0, 2);
}

// Half-day marks ("am", "pm") sit smaller on the digits' baseline (y = 0.5):
// the image spans y -0.5 to 3.5 units, so the baseline is 48 pixels down.
ModelSource HalfDayModel(const std::string& half)
{
    return Plate(half + ".png", -4.0, -0.5, 4.0, 3.5);
}

Canvas HalfDayImage(TextRenderer& font, const std::string& text)
{
    Mask ink(128, 64);
    const double size = 40.0;
    const InkBox box = font.Measure(text, size);
    font.Draw(ink, text, size, 64.0 - (box.left + box.right) * 0.5, 48.0);
    return Letter(ink, Mix(inkColour, accentColour, 0.35), 2.0, 2);
}

// The panels behind the digits, 0.6 units wider than the digits' plates up
// and down and half a unit in from the image's sides.
constexpr double plateBottom = -1.1;
constexpr double plateTop = 7.1;

ModelSource ClockPlateModel(const std::string& image, double right)
{
    return Plate(image, kClockPlateLeft, plateBottom, right, plateTop);
}

Canvas ClockPlateImage(double right, double radius)
{
    return PanelImage(256, 128, 0.5 * 256.0 / (right - kClockPlateLeft), radius);
}

// The analogue dial: a disc of radius 8.6 units around the node's origin on
// a plate of 2 * kDialHalfSize units, 512 texels square.
constexpr int dialTexels = 512;
constexpr double dialUnit = dialTexels / (2.0 * kDialHalfSize);  // texels per model unit
constexpr double dialCentre = dialTexels * 0.5;
constexpr double dialRadius = 8.6;

ModelSource DialModel()
{
    return Plate("dial.png", -kDialHalfSize, -kDialHalfSize, kDialHalfSize, kDialHalfSize);
}

// Minute ticks, longer and bolder at the hours.
Mask DialMarks()
{
    Canvas ticks(dialTexels, dialTexels);
    for (int m = 0; m < 60; ++m) {
        const double a = m * M_PI / 30.0;
        const bool hour = m % 5 == 0;
        const double r0 = (hour ? 7.2 : 7.7) * dialUnit;
        const double r1 = 8.2 * dialUnit;
        ticks.FillSegment(dialCentre + std::sin(a) * r0, dialCentre - std::cos(a) * r0, dialCentre + std::sin(a) * r1,
                          dialCentre - std::cos(a) * r1, hour ? 0.32 * dialUnit : 0.12 * dialUnit, Colour{1, 1, 1, 1});
    }
    return Mask::AlphaOf(ticks);
}

// The hours, all at one size, small enough that the two-digit numerals at
// the top (10, 11, 12) keep clear of each other and of their neighbours.
Mask DialNumerals(TextRenderer& font)
{
    Mask numerals(dialTexels, dialTexels);
    const double size = 1.7 * dialUnit;
    const double r = 5.9 * dialUnit;
    for (int h = 1; h <= 12; ++h) {
        const double a = h * M_PI / 6.0;
        font.DrawCentred(numerals, std::to_string(h), dialCentre + std::sin(a) * r, dialCentre - std::cos(a) * r,
                         3.0 * dialUnit, 2.0 * dialUnit, size);
    }
    return numerals;
}

// A hairline ring at the dial's edge.
Mask DialRim()
{
    Canvas disc(dialTexels, dialTexels);
    disc.FillDisc(dialCentre, dialCentre, dialRadius * dialUnit, Colour{1, 1, 1, 1});
    Canvas hole(dialTexels, dialTexels);
    hole.FillDisc(dialCentre, dialCentre, dialRadius * dialUnit - 2.0, Colour{1, 1, 1, 1});
    return Mask::AlphaOf(disc).Without(Mask::AlphaOf(hole));
}

Canvas DialImage(TextRenderer& font)
{
    Canvas dial(dialTexels, dialTexels, WithAlpha(panelColour, 0.0));
    dial.FillDisc(dialCentre, dialCentre, dialRadius * dialUnit, panelColour);
    DialRim().Paint(dial, panelEdge);
    DialMarks().Paint(dial, WithAlpha(inkColour, 0.9));
    const Mask numerals = DialNumerals(font);
    numerals.Blurred(2).Paint(dial, shadowColour);
    numerals.Paint(dial, inkColour);
    return dial;
}

// A hand points to 12 (+y) at rotation 0 and turns about the model origin.
// Its image covers x -0.625..0.625, y -2..8 units at 25.6 texels a unit, so
// the pivot lies 8 units below the top.
struct Hand {
    const char* name;
    const char* image;
    double length;
    double tail;
    double width;
    Colour colour;
};

constexpr int handWidth = 32;
constexpr int handHeight = 256;
constexpr double handUnit = handHeight / 10.0;

ModelSource HandModel(const Hand& hand)
{
    return Plate(hand.image, -handWidth * 0.5 / handUnit, -2.0, handWidth * 0.5 / handUnit, 8.0);
}

Canvas HandImage(const Hand& hand)
{
    const double px = handWidth * 0.5;
    const double py = 8.0 * handUnit;
    Canvas shape(handWidth, handHeight);
    shape.FillSegment(px, py + hand.tail * handUnit, px, py - hand.length * handUnit, hand.width * handUnit,
                      Colour{1, 1, 1, 1});
    shape.FillDisc(px, py, std::max(hand.width * 1.4, 0.32) * handUnit, Colour{1, 1, 1, 1});
    return Letter(Mask::AlphaOf(shape), hand.colour, 1.0, 2);
}

}

ArchiveContent BuildClockArchive()
{
    ArchiveContent content;
    content.fileName = "clock.pak";
    OverlayFonts fonts;

    for (int d = 0; d < 10; ++d) {
        const std::string digit(1, static_cast<char>('0' + d));
        content.AddModel(digit, ClockDigitModel(digit));
        content.AddImage("digit" + digit + ".png", ClockDigitImage(*fonts.bold, digit));
    }
    content.AddModel("dot", SeparatorModel());
    content.AddImage("dot.png", SeparatorImage());
    content.AddModel("am", HalfDayModel("am"));
    content.AddImage("am.png", HalfDayImage(*fonts.bold, "AM"));
    content.AddModel("pm", HalfDayModel("pm"));
    content.AddImage("pm.png", HalfDayImage(*fonts.bold, "PM"));
    content.AddModel("podlozka", ClockPlateModel("plate.png", kClockPlateRight));
    content.AddImage("plate.png", ClockPlateImage(kClockPlateRight, 22.0));
    content.AddModel("podlozka_am", ClockPlateModel("plate_am.png", kTwelveHourPlateRight));
    content.AddImage("plate_am.png", ClockPlateImage(kTwelveHourPlateRight, 18.0));

    content.AddModel("ciferblat", DialModel());
    content.AddImage("dial.png", DialImage(*fonts.bold));
    const Hand hands[3] = {
        {"sec", "hand_sec.png", 7.6, 1.8, 0.16, accentColour},
        {"min", "hand_min.png", 7.0, 1.0, 0.5, inkColour},
        {"chas", "hand_hour.png", 4.7, 0.9, 0.72, inkColour},
    };
    for (const Hand& hand : hands) {
        content.AddModel(hand.name, HandModel(hand));
        content.AddImage(hand.image, HandImage(hand));
    }
    return content;
}

}
