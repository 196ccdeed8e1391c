#include "app/Snapshot.h"

#include "app/Display.h"
#include "app/Entry.h"
#include "app/MainLoop.h"
#include "app/Settings.h"
#include "content/TreeScene.h"
#include "platform/RegistryString.h"
#include "resources/ResourceManager.h"
#include "scene/WallClock.h"

#include <GL/gl.h>
#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ctime>
#include <fstream>
#include <memory>

namespace tarnwood {

namespace {

const char* const kUsage =
    "usage: tarnwood-snapshot --out FILE.png [--settings FILE] [--time \"YYYY-MM-DD HH:MM:SS\"]\n"
    "                         [--ms N] [--seed N] [--size WxH]\n"
    "Renders the scene for N simulated milliseconds at 60 frames per second (default 5000)\n"
    "and writes the last frame. Needs an X display; uses the archives of its install directory.\n";

struct Options {
    std::string out;
    std::string settingsPath;
    bool haveTime = false;
    std::tm time{};
    long ms = 5000;
    unsigned seed = 1;
    int width = 1024;
    int height = 768;
};

bool ParseNumber(const std::string& text, long low, long high, long& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high)
        return false;
    value = v;
    return true;
}

bool ParseTime(const std::string& text, std::tm& out)
{
    std::tm t{};
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%n", &t.tm_year, &t.tm_mon, &t.tm_mday, &t.tm_hour,
                    &t.tm_min, &t.tm_sec, &consumed) != 6 ||
        static_cast<std::size_t>(consumed) != text.size())
        return false;
    if (t.tm_mon < 1 || t.tm_mon > 12 || t.tm_mday < 1 || t.tm_mday > 31 || t.tm_hour > 23 || t.tm_min > 59 ||
        t.tm_sec > 59 || t.tm_year < 1900)
        return false;
    t.tm_year -= 1900;
    t.tm_mon -= 1;
    t.tm_isdst = -1;
    out = t;
    return true;
}

// Returns an empty string on success, otherwise what is wrong.
std::string ParseOptions(const std::vector<std::string>& args, Options& options)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (i + 1 >= args.size())
            return "missing value after " + name;
        const std::string& value = args[++i];
        long number = 0;
        if (name == "--out") {
            options.out = value;
        } else if (name == "--settings") {
            options.settingsPath = value;
        } else if (name == "--time") {
            if (!ParseTime(value, options.time))
                return "bad --time \"" + value + "\" (expected \"YYYY-MM-DD HH:MM:SS\")";
            options.haveTime = true;
        } else if (name == "--ms") {
            if (!ParseNumber(value, 0, 24L * 3600 * 1000, number))
                return "bad --ms " + value;
            options.ms = number;
        } else if (name == "--seed") {
            if (!ParseNumber(value, 0, 0xFFFFFFFFL, number))
                return "bad --seed " + value;
            options.seed = static_cast<unsigned>(number);
        } else if (name == "--size") {
            long w = 0;
            long h = 0;
            const std::size_t x = value.find('x');
            if (x == std::string::npos || !ParseNumber(value.substr(0, x), 16, 8192, w) ||
                !ParseNumber(value.substr(x + 1), 16, 8192, h))
                return "bad --size " + value + " (expected WxH)";
            options.width = static_cast<int>(w);
            options.height = static_cast<int>(h);
        } else {
            return "unknown option " + name;
        }
    }
    if (options.out.empty())
        return "--out is required";
    return {};
}

}

namespace {

// libpng reports errors by jumping back here, so this holds no object with a destructor.
bool EncodePng(FILE* file, int width, int height, const std::vector<unsigned char>& rgbBottomUp)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    for (int y = height - 1; y >= 0; --y)
        png_write_row(png, rgbBottomUp.data() + static_cast<std::size_t>(y) * stride);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}

bool WritePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgbBottomUp)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool encoded = EncodePng(file, width, height, rgbBottomUp);
    const bool closed = std::fclose(file) == 0;
    if (encoded && closed)
        return true;
    // Only a half-written regular file is ours to remove; never a device.
    std::error_code ignored;
    if (std::filesystem::is_regular_file(path, ignored))
        std::filesystem::remove(path, ignored);
    return false;
}

int RunSnapshot(const std::vector<std::string>& args)
{
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    Options options;
    const std::string problem = ParseOptions(args, options);
    if (!problem.empty()) {
        std::fprintf(stderr, "tarnwood-snapshot: %s\n%s", problem.c_str(), kUsage);
        return 2;
    }
    Settings settings;
    if (!options.settingsPath.empty()) {
        std::ifstream in(options.settingsPath, std::ios::binary);
        if (!in.is_open()) {
            std::fprintf(stderr, "tarnwood-snapshot: cannot open settings file %s\n", options.settingsPath.c_str());
            return 1;
        }
        settings = Settings(in);
    }

    // Render straight into a window of the requested size: the default
    // scaling path draws into a multisampled framebuffer of SDL's own, which
    // glReadPixels cannot read.
    setenv("SDL12COMPAT_OPENGL_SCALING", "0", 0);
    StartProcessObjects();
    ResourceManager::Instance().SetBasePath(InstallDirectory().Text());
    std::srand(options.seed);
    if (options.haveTime)
        WallClock::Instance().FixLocal(options.time, true);
    else
        WallClock::Instance().Fix(std::time(nullptr), true);

    auto display = std::make_unique<Display>(options.width, options.height, 32);
    SceneRoots roots = BuildTreeScene(settings.Overlays(), display->Edges());
    const long frames = options.ms * 60 / 1000;
    for (long i = 1; i <= frames || i == 1; ++i)
        RenderFrame(roots, static_cast<std::uint32_t>((i * 1000 + 30) / 60));

    std::vector<unsigned char> pixels(static_cast<std::size_t>(options.width) * options.height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, options.width, options.height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    roots.worldRoot.reset();
    roots.overlayRoot.reset();
    display.reset();
    if (!WritePng(options.out, options.width, options.height, pixels)) {
        std::fprintf(stderr, "tarnwood-snapshot: cannot write %s\n", options.out.c_str());
        return 1;
    }
    return 0;
}

}
