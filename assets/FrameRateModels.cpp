#include "assets/ArchiveContent.h"
#include "assets/OverlayStyle.h"
#include "content/ScenePlacement.h"

#include <string>

namespace tarnwood {

namespace {

// Digits stand 1.4 units apart at eye depth 100 (about 9 pixels a unit at
// 768 lines): each image is 2 x 4 units at 16 texels a unit, the ink 2 units
// high, centred on the node's origin.
ModelSource FrameRateDigitModel(const std::string& digit)
{
    return Plate("digit" + digit + ".png", -1.0, -2.0, 1.0, 2.0);
}

Canvas FrameRateDigitImage(TextRenderer& font, const std::string& digit)
{
    return DigitImage(font, digit, 32, 64, 16.0, 32.0, 20.0, 32.0, 1.5, 1);
}

// The label follows the units digit on the digits' baseline: "60 fps".
ModelSource LabelModel()
{
    return Plate("fps.png", kFrameRateLabelLeft, -2.0, kFrameRateLabelLeft + 4.0, 2.0);
}

Canvas LabelImage(TextRenderer& font)
{
    Mask ink(64, 64);
    font.Draw(ink, "fps", 34.0, 4.0, 48.0);
    return Letter(ink, Mix(inkColour, Rgb(200, 200, 210), 0.3), 1.5, 1);
}

}

ArchiveContent BuildUtilsArchive()
{
    ArchiveContent content;
    content.fileName = "utils.pak";
    OverlayFonts fonts;
    for (int d = 0; d < 10; ++d) {
        const std::string digit(1, static_cast<char>('0' + d));
        content.AddModel(digit, FrameRateDigitModel(digit));
        content.AddImage("digit" + digit + ".png", FrameRateDigitImage(*fonts.bold, digit));
    }
    content.AddModel("fps", LabelModel());
    content.AddImage("fps.png", LabelImage(*fonts.regular));
    return content;
}

}
