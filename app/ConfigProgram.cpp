#include "app/ConfigProgram.h"

#include "app/SettingAssignment.h"
#include "app/Settings.h"
#include "app/SettingsWriter.h"

#include <fstream>

namespace tarnwood {

namespace {

struct FlagField {
    const char* name;
    std::uint8_t Settings::*field;
    const char* meaning;
};

constexpr FlagField kFlagFields[] = {
    {"showFrameRate", &Settings::showFrameRate, "show the frame rate in the top-left corner"},
    {"showClock", &Settings::showClock, "show the clock in the bottom-right corner"},
    {"analogClock", &Settings::analogClock, "clock with dial and hands instead of digits"},
    {"clock24Hour", &Settings::clock24Hour, "digital clock in 24-hour form instead of 12-hour"},
    {"largeClock", &Settings::largeClock, "draw the clock larger"},
    {"showCalendar", &Settings::showCalendar, "show the calendar page in the top-right corner"},
    {"calendarRus", &Settings::calendarRus, "calendar with weeks starting on Monday"},
    {"exitOnMouseMove", &Settings::exitOnMouseMove, "moving the mouse ends the screensaver"},
};

constexpr const char* kDisplayModeName = "displayMode";
constexpr int kModeCount = kVideoModeCount;

std::string DisplayModeText(std::int32_t index)
{
    if (index == 0)
        return "0 (desktop)";
    if (index > 0 && index < kModeCount)
        return std::to_string(index) + " (" + std::to_string(kVideoModes[index].width) + "x"
            + std::to_string(kVideoModes[index].height) + ")";
    return std::to_string(index) + " (not in the table: the desktop mode is used)";
}

void ShowSettings(const Settings& settings, std::ostream& out)
{
    for (const FlagField& flag : kFlagFields)
        out << "  " << flag.name << std::string(17 - std::string(flag.name).size(), ' ')
            << (settings.*flag.field ? "on" : "off") << "\n";
    out << "  " << kDisplayModeName << std::string(17 - std::string(kDisplayModeName).size(), ' ')
        << DisplayModeText(settings.displayMode) << "\n";
}

void ShowUsage(std::ostream& out)
{
    out << "Usage:\n"
           "  config                              show the settings\n"
           "  config --set NAME=VALUE [...]       change settings, keep the others\n"
           "  config --reset                      go back to the defaults\n"
           "  config --help                       show this help\n"
           "\n"
           "Settings (on or off):\n";
    for (const FlagField& flag : kFlagFields)
        out << "  " << flag.name << std::string(17 - std::string(flag.name).size(), ' ') << flag.meaning << "\n";
    out << "  " << kDisplayModeName << std::string(17 - std::string(kDisplayModeName).size(), ' ')
        << "screen size: 0 or desktop for the desktop's own mode, or one of\n";
    for (int index = 1; index < kModeCount; ++index)
        out << "                     " << index << " or " << kVideoModes[index].width << "x"
            << kVideoModes[index].height << "\n";
    out << "\nExample: config --set showClock=on analogClock=on displayMode=1024x768\n";
}

// The settings as the file holds them now; the defaults when there is none.
Settings ReadCurrent(const std::string& settingsPath, bool& fileFound)
{
    std::ifstream in(settingsPath, std::ios::binary);
    fileFound = in.is_open();
    if (!fileFound)
        return Settings();
    return Settings(in);
}

// Applies one NAME=VALUE; false with a message on `err` when it is refused.
bool ApplyAssignment(const std::string& assignment, Settings& settings, std::ostream& err)
{
    std::string problem;
    if (ApplySettingAssignment(assignment, settings, problem))
        return true;
    err << "config: " << problem << "\n";
    return false;
}

int Save(const std::string& settingsPath, const Settings& settings, std::ostream& out, std::ostream& err)
{
    std::string problem;
    if (!WriteSettingsFile(settingsPath, settings, problem)) {
        const std::string::size_type slash = settingsPath.rfind('/');
        const std::string folder = slash == std::string::npos ? std::string(".") : settingsPath.substr(0, slash);
        err << "config: cannot write the settings file " << settingsPath << ": " << problem << ".\n"
            << "The settings are shared by every user of this machine and kept in the folder " << folder
            << " (the first folder of $XDG_CONFIG_DIRS, /etc/xdg by default).\n"
            << "Run config as an administrator (for example with sudo), or create that folder and make it writable for you.\n"
            << "Nothing was changed.\n";
        return 1;
    }
    out << "Saved " << settingsPath << ":\n";
    ShowSettings(settings, out);
    return 0;
}

}

int RunConfigProgram(const std::vector<std::string>& arguments, const std::string& settingsPath,
                     std::ostream& out, std::ostream& err)
{
    if (arguments.empty()) {
        bool fileFound = false;
        const Settings settings = ReadCurrent(settingsPath, fileFound);
        out << "Tarnwood settings (" << settingsPath << (fileFound ? "" : ", not written yet: the defaults")
            << "):\n";
        ShowSettings(settings, out);
        out << "\nChange them with: config --set NAME=VALUE [...]   (config --help lists names and values)\n";
        return 0;
    }
    const std::string& option = arguments[0];
    if (option == "--help" || option == "-h") {
        ShowUsage(out);
        return 0;
    }
    if (option == "--reset") {
        if (arguments.size() > 1) {
            err << "config: --reset takes no values. Run config --help for the usage.\n";
            return 2;
        }
        return Save(settingsPath, Settings(), out, err);
    }
    if (option == "--set") {
        if (arguments.size() < 2) {
            err << "config: --set needs at least one NAME=VALUE. Run config --help for the usage.\n";
            return 2;
        }
        bool fileFound = false;
        Settings settings = ReadCurrent(settingsPath, fileFound);
        for (std::size_t i = 1; i < arguments.size(); ++i) {
            if (!ApplyAssignment(arguments[i], settings, err)) {
                err << "Nothing was changed.\n";
                return 2;
            }
        }
        return Save(settingsPath, settings, out, err);
    }
    err << "config: unknown option '" << option << "'. Run config --help for the usage.\n";
    return 2;
}

}
