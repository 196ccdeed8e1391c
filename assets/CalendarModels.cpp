#include "assets/ArchiveContent.h"
#include "assets/OverlayStyle.h"
#include "content/ScenePlacement.h"

#include <string>

namespace tarnwood {

namespace {

// The page in the calendar node's units: the day cells' columns at x = -40
// .. 8 and rows at y = 0 .. -40, the weekday header at y = 8 and the month
// name at y = 16 (content/ScenePlacement.h); the background covers this.
constexpr double pageLeft = -46.0;
constexpr double pageRight = 14.0;
constexpr double pageBottom = -46.0;
constexpr double pageTop = 22.0;

double ColumnX(int column)
{
    return kCalendarFirstCellX + kCalendarCellPitch * column;
}

// The background's model lies in its own node, which stands at
// (kCalendarColumnX, kCalendarBackgroundY) on the page.
ModelSource BackgroundModel(const std::string& image)
{
    return Plate(image, pageLeft - kCalendarColumnX, pageBottom - kCalendarBackgroundY, pageRight - kCalendarColumnX,
                 pageTop - kCalendarBackgroundY);
}

Canvas BackgroundImage(bool mondayFirst)
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
    for (int column : weekend) {
        const double cx = ColumnX(column);
        canvas.FillRoundedRect(px(cx - 3.8), py(11.0), px(cx + 3.8), py(-44.0), 8.0, Rgb(255, 150, 90, 0.10));
    }
    // A hairline between the header and the days.
    canvas.FillSegment(px(-43.0), py(4.6), px(11.0), py(4.6), 1.0, Rgb(255, 236, 210, 0.35));
    return canvas;
}

// A row of the page's width (seven columns, 56 x 7 units) centred on its
// node, on 256 x 32 texels: the weekday header and the month name.
constexpr int rowWidth = 256;
constexpr int rowHeight = 32;
constexpr double rowHalfWidth = 3.5 * kCalendarCellPitch;
constexpr double rowUnit = rowWidth / (2.0 * rowHalfWidth);  // texels per unit

ModelSource RowModel(const std::string& image)
{
    return Plate(image, -rowHalfWidth, -3.5, rowHalfWidth, 3.5);
}

// The weekday names, one over each day column, the weekend in the accent
// colour. Both variants share the month names, so both name the days in the
// months' language.
Canvas WeekdayHeaderImage(TextRenderer& font, bool mondayFirst)
{
    const char* const sundayFirstNames[7] = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};
    const char* const mondayFirstNames[7] = {"Mo", "Tu", "We", "Th", "Fr", "Sa", "Su"};
    Canvas canvas(rowWidth, rowHeight, WithAlpha(inkColour, 0.0));
    // One size and baseline for the whole row.
    const double size = 3.6 * rowUnit;
    for (int i = 0; i < 7; ++i) {
        const std::string text = mondayFirst ? mondayFirstNames[i] : sundayFirstNames[i];
        const bool weekendDay = mondayFirst ? i >= 5 : (i == 0 || i == 6);
        Mask ink(rowWidth, rowHeight);
        font.DrawAtSize(ink, text, size, rowWidth * 0.5 + (i - 3) * kCalendarCellPitch * rowUnit,
                        rowHeight * 0.5 + 1.3 * rowUnit);
        const Canvas name = Letter(ink, weekendDay ? accentColour : Mix(inkColour, Rgb(190, 200, 230), 0.35), 1.0, 1);
        for (int y = 0; y < rowHeight; ++y) {
            for (int x = 0; x < rowWidth; ++x) {
                const Colour& p = name.At(x, y);
                if (p.a > 0.0) {
                    canvas.Blend(x, y, p);
                }
            }
        }
    }
    return canvas;
}

// The month's name, centred on its node at a cap height shared by every month.
Canvas MonthImage(TextRenderer& font, const std::string& month)
{
    Mask ink(rowWidth, rowHeight);
    const double size = 5.2 * rowUnit;
    const InkBox caps = font.Measure("M", size);
    font.DrawAtSize(ink, month, size, rowWidth * 0.5, rowHeight * 0.5 - (caps.top + caps.bottom) * 0.5);
    return Letter(ink, inkColour, 1.2, 1);
}

// A day number, 6.4 units square at 5 texels a unit, centred on its cell.
ModelSource DayModel(const std::string& day)
{
    return Plate("n" + day + ".png", -3.2, -3.2, 3.2, 3.2);
}

Canvas DayImage(TextRenderer& font, const std::string& day)
{
    const int w = 32;
    const double unit = w / 6.4;
    Mask ink(w, w);
    double size = 200.0;
    const InkBox ref = font.Measure("0", size);
    size *= 3.3 * unit / ref.Height();
    const InkBox digits = font.Measure("0", size);
    const InkBox box = font.Measure(day, size);
    font.Draw(ink, day, size, w * 0.5 - (box.left + box.right) * 0.5, w * 0.5 - (digits.top + digits.bottom) * 0.5);
    return Letter(ink, inkColour, 0.8, 1);
}

// A faint dot in the cells outside the month.
ModelSource EmptyCellModel()
{
    return Plate("null.png", -1.0, -1.0, 1.0, 1.0);
}

Canvas EmptyCellImage()
{
    Canvas dot(16, 16, WithAlpha(inkColour, 0.0));
    dot.FillDisc(8.0, 8.0, 1.6, WithAlpha(inkColour, 0.28));
    return dot;
}

// The marker behind today's number: a rounded square filling most of a cell.
ModelSource TodayModel()
{
    return Plate("sel.png", -4.0, -4.0, 4.0, 4.0);
}

Canvas TodayImage()
{
    Canvas sel(64, 64, WithAlpha(accentColour, 0.0));
    const double unit = 64.0 / 8.0;
    sel.FillRoundedRect(0.6 * unit, 0.6 * unit, 7.4 * unit, 7.4 * unit, 1.6 * unit, WithAlpha(accentColour, 0.8));
    return sel;
}

}

ArchiveContent BuildCalendarArchive()
{
    ArchiveContent content;
    content.fileName = "calendar.pak";
    OverlayFonts fonts;
    content.AddModel("fon", BackgroundModel("fon.png"));
    content.AddImage("fon.png", BackgroundImage(false));
    content.AddModel("fon_rus", BackgroundModel("fon_rus.png"));
    content.AddImage("fon_rus.png", BackgroundImage(true));

    content.AddModel("day", RowModel("day.png"));
    content.AddImage("day.png", WeekdayHeaderImage(*fonts.bold, false));
    content.AddModel("day_rus", RowModel("day_rus.png"));
    content.AddImage("day_rus.png", WeekdayHeaderImage(*fonts.bold, true));

    static const char* const months[12] = {"January", "February", "March",     "April",   "May",      "June",
                                           "July",    "August",   "September", "October", "November", "December"};
    for (int m = 0; m < 12; ++m) {
        const std::string name = "m" + std::to_string(m + 1);
        content.AddModel(name, RowModel(name + ".png"));
        content.AddImage(name + ".png", MonthImage(*fonts.bold, months[m]));
    }
    for (int d = 1; d <= 31; ++d) {
        const std::string day = std::to_string(d);
        content.AddModel(day, DayModel(day));
        content.AddImage("n" + day + ".png", DayImage(*fonts.bold, day));
    }
    content.AddModel("null", EmptyCellModel());
    content.AddImage("null.png", EmptyCellImage());
    content.AddModel("sel", TodayModel());
    content.AddImage("sel.png", TodayImage());
    return content;
}

}
