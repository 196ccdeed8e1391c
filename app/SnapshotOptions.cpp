#include "app/SnapshotOptions.h"

#include "app/NumberArgument.h"
#include "app/PreviewPicture.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tarnwood {

const char* const kSnapshotUsage =
    "usage: tarnwood-snapshot [--out FILE.png] [--preview FILE.bmp] [--window] [--settings FILE]\n"
    "                         [--time \"YYYY-MM-DD HH:MM:SS\"] [--ms N] [--seed N] [--size WxH]\n"
    "                         [--turn DEGREES] [--bob UNITS] [--world]\n"
    "Renders the scene for N simulated milliseconds at 60 frames per second (default 5000)\n"
    "and writes the last frame as a PNG (--out) and/or shrunk to the 152x112 preview\n"
    "picture (--preview; rendered at 608x448 unless --size says otherwise).\n"
    "--turn holds the tree at that angle, --bob at that height (-10 to 10); --world\n"
    "leaves out the clock, the calendar and the frame rate.\n"
    "--window keeps a window open instead, running in real time: R reloads the\n"
    "archives of the install directory (after a new bake), S saves the frame to the\n"
    "--out file, Escape or closing the window ends it.\n"
    "Needs a display (still pictures also render with SDL_VIDEODRIVER=offscreen);\n"
    "uses the archives of its install directory.\n";

namespace {

bool ParseDecimal(const std::string& text, double low, double high, double& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(v) || v < low || v > high)
        return false;
    value = v;
    return true;
}

bool ParseTime(const std::string& text, std::tm& out)
{
    std::tm t{};
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%n", &t.tm_year, &t.tm_mon, &t.tm_mday, &t.tm_hour, &t.tm_min,
                    &t.tm_sec, &consumed)
            != 6
        || static_cast<std::size_t>(consumed) != text.size())
        return false;
    if (t.tm_mon < 1 || t.tm_mon > 12 || t.tm_mday < 1 || t.tm_mday > 31 || t.tm_hour > 23 || t.tm_min > 59
        || t.tm_sec > 59 || t.tm_year < 1900)
        return false;
    t.tm_year -= 1900;
    t.tm_mon -= 1;
    t.tm_isdst = -1;
    out = t;
    return true;
}

bool ParseSize(const std::string& text, int& width, int& height)
{
    long w = 0;
    long h = 0;
    const std::size_t x = text.find('x');
    if (x == std::string::npos || !ParseNumber(text.substr(0, x), 16, 8192, w)
        || !ParseNumber(text.substr(x + 1), 16, 8192, h))
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

}

std::optional<SnapshotOptions> ParseSnapshotOptions(const std::vector<std::string>& args, std::string& problem)
{
    SnapshotOptions options;
    bool sizeGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--window") {
            options.window = true;
            continue;
        }
        if (name == "--world") {
            options.worldOnly = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            problem = name.rfind("--", 0) == 0 ? "missing value after " + name : "unknown option " + name;
            return std::nullopt;
        }
        const std::string& value = args[++i];
        long number = 0;
        double decimal = 0.0;
        if (name == "--out") {
            options.out = value;
        } else if (name == "--preview") {
            options.preview = value;
        } else if (name == "--settings") {
            options.settingsPath = value;
        } else if (name == "--time") {
            if (!ParseTime(value, options.time)) {
                problem = "bad --time \"" + value + "\" (expected \"YYYY-MM-DD HH:MM:SS\")";
                return std::nullopt;
            }
            options.haveTime = true;
        } else if (name == "--ms") {
            if (!ParseNumber(value, 0, 24L * 3600 * 1000, number)) {
                problem = "bad --ms " + value;
                return std::nullopt;
            }
            options.ms = number;
        } else if (name == "--seed") {
            if (!ParseNumber(value, 0, 0xFFFFFFFFL, number)) {
                problem = "bad --seed " + value;
                return std::nullopt;
            }
            options.seed = static_cast<unsigned>(number);
        } else if (name == "--size") {
            if (!ParseSize(value, options.width, options.height)) {
                problem = "bad --size " + value + " (expected WxH)";
                return std::nullopt;
            }
            sizeGiven = true;
        } else if (name == "--turn") {
            if (!ParseDecimal(value, -3600.0, 3600.0, decimal)) {
                problem = "bad --turn " + value + " (degrees)";
                return std::nullopt;
            }
            options.pose.turnDegrees = decimal;
        } else if (name == "--bob") {
            if (!ParseDecimal(value, -10.0, 10.0, decimal)) {
                problem = "bad --bob " + value + " (from -10 to 10)";
                return std::nullopt;
            }
            options.pose.bobUnits = decimal;
        } else {
            problem = "unknown option " + name;
            return std::nullopt;
        }
    }
    if (options.out.empty() && options.preview.empty() && !options.window) {
        problem = "nothing to do: give --out, --preview or --window";
        return std::nullopt;
    }
    if (!options.preview.empty() && !sizeGiven) {
        options.width = kPreviewPictureWidth * 4;
        options.height = kPreviewPictureHeight * 4;
    }
    return options;
}

}
