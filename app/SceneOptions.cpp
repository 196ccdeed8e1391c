#include "app/SceneOptions.h"

#include "app/SettingAssignment.h"

#include <cerrno>
#include <cstdlib>

namespace tarnwood {

namespace {

// Splits "--name=value" into its name and value; a word without '=' is all name.
void SplitWord(const std::string& word, std::string& name, std::optional<std::string>& value)
{
    const std::string::size_type equals = word.find('=');
    if (word.rfind("--", 0) == 0 && equals != std::string::npos) {
        name = word.substr(0, equals);
        value = word.substr(equals + 1);
    } else {
        name = word;
        value.reset();
    }
}

}

std::optional<unsigned long> ParseWindowId(const std::string& text)
{
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return std::nullopt;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text.c_str(), &end, hex ? 16 : 10);
    if (errno != 0 || end == text.c_str() || *end != '\0' || value == 0 || value > 0xFFFFFFFFULL)
        return std::nullopt;
    return static_cast<unsigned long>(value);
}

bool ParseSceneOptions(const std::vector<std::string>& words, SceneOptions& options, std::string& problem)
{
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::string name;
        std::optional<std::string> attached;
        SplitWord(words[i], name, attached);
        // The value of an option: after '=' or the next word.
        auto value = [&](std::string& out) {
            if (attached) {
                out = *attached;
                return true;
            }
            if (i + 1 >= words.size()) {
                problem = name + " needs a value (see --help).";
                return false;
            }
            out = words[++i];
            return true;
        };
        auto noValue = [&]() {
            if (attached)
                problem = name + " takes no value (see --help).";
            return !attached;
        };

        if (name == "--window-id" || name == "-window-id") {
            std::string text;
            if (!value(text))
                return false;
            options.windowId = ParseWindowId(text);
            if (!options.windowId) {
                problem = "'" + text + "' is not a window id; give it in decimal or as 0x followed by hex digits.";
                return false;
            }
        } else if (name == "--root" || name == "-root") {
            if (!noValue())
                return false;
            options.root = true;
        } else if (name == "--fps") {
            if (!noValue())
                return false;
            options.assignments.push_back("showFrameRate=on");
        } else if (name == "--delay") {
            std::string text;
            if (!value(text))
                return false;
            char* end = nullptr;
            errno = 0;
            const long delay = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || errno != 0 || *end != '\0' || delay < 0 || delay > 10'000'000) {
                problem = "'" + text + "' is not a delay; give microseconds from 0 to 10000000.";
                return false;
            }
            options.delayMicroseconds = delay;
        } else if (name == "--set") {
            std::string assignment;
            if (!value(assignment))
                return false;
            Settings check;
            std::string refused;
            if (!ApplySettingAssignment(assignment, check, refused)) {
                problem = refused;
                return false;
            }
            options.assignments.push_back(assignment);
        } else if (name == "--no-multisample") {
            if (!noValue())
                return false;
            options.multisample = false;
        } else if (name == "--help") {
            options.help = true;
        } else if (name == "--version") {
            options.version = true;
        } else if (name.rfind("--", 0) == 0 && name.size() > 2) {
            problem = "unknown option '" + name + "' (see --help).";
            return false;
        }
    }
    return true;
}

Settings ApplySceneOptions(Settings fileSettings, const SceneOptions& options)
{
    for (const std::string& assignment : options.assignments) {
        std::string ignored;
        ApplySettingAssignment(assignment, fileSettings, ignored);
    }
    return fileSettings;
}

bool ChooseHostWindow(const SceneOptions& options, const char* environmentWindow, unsigned long (*rootWindow)(),
                      unsigned long& window, std::string& problem)
{
    window = 0;
    if (options.windowId) {
        window = *options.windowId;
        return true;
    }
    if (environmentWindow != nullptr && *environmentWindow != '\0') {
        const std::optional<unsigned long> id = ParseWindowId(environmentWindow);
        if (!id) {
            problem = std::string("XSCREENSAVER_WINDOW holds '") + environmentWindow + "', which is not a window id.";
            return false;
        }
        window = *id;
        return true;
    }
    if (options.root)
        window = rootWindow();
    return true;
}

void PrintSceneUsage(std::ostream& out)
{
    out << "Usage: Tarnwood [OPTION...]\n"
           "Shows the tree scene full screen until Escape, or in a screensaver host's window.\n"
           "\n"
           "  --window-id ID      draw into the existing X window ID (decimal or 0x hex)\n"
           "  --root              draw into $XSCREENSAVER_WINDOW, or else the root window\n"
           "  --fps               show the frame rate (as showFrameRate=on)\n"
           "  --delay MICROSECONDS  least time from one frame's start to the next (default 0)\n"
           "  --set NAME=VALUE    change a setting for this run only (names and values as in\n"
           "                      config --help); may be given more than once\n"
           "  --no-multisample    skip multisampling (faster on machines without a GPU)\n"
           "  --help              show this help\n"
           "  --version           show the version\n"
           "\n"
           "Host switches: /s runs the screensaver, /c the settings program, /p ID paints the\n"
           "preview into window ID. -window-id and -root are accepted too.\n"
           "With XSCREENSAVER_WINDOW set, the scene draws into that window. In a host's window\n"
           "keys and the mouse are left to the host; SIGTERM, SIGINT or SIGHUP end the scene.\n";
}

}
