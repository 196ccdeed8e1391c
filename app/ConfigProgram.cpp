#include "app/ConfigProgram.h"

#include "app/SettingAssignment.h"
#include "app/Settings.h"
#include "app/SettingsWriter.h"

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
           "  config                              the settings dialog (with an X display), else --list\n"
           "  config --list                       show the settings in effect and the file that holds them\n"
           "  config --dialog                     the settings dialog\n"
           "  config --set NAME=VALUE [...]       change your own settings, keep the others\n"
           "  config --reset                      remove your own settings: the machine-wide ones apply again\n"
           "  config --system --set|--reset|...   the same for the machine-wide settings of every user\n"
           "                                      (administrators; --reset writes the defaults)\n"
           "  config --help                       show this help\n"
           "\n"
           "Your own settings file wins when it exists; else the machine-wide one applies; else the defaults.\n"
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

void ShowListing(const SettingsLocations& locations, SettingsScope scope, std::ostream& out)
{
    const std::string path = scope == SettingsScope::User ? locations.Effective() : locations.machine;
    bool found = false;
    const Settings settings = ReadSettingsFile(path, found);
    if (scope == SettingsScope::Machine)
        out << "Machine-wide Tarnwood settings, for every user without settings of their own ("
            << (found ? path : path + ", not written yet: the defaults") << "):\n";
    else if (path == locations.user)
        out << "Tarnwood settings in effect: your own (" << path << "):\n";
    else if (found)
        out << "Tarnwood settings in effect: the machine-wide ones (" << path << "); you have none of your own ("
            << locations.user << "):\n";
    else
        out << "Tarnwood settings in effect: the defaults; there is no settings file yet (yours would be "
            << locations.user << ", the machine-wide one " << path << "):\n";
    ShowSettings(settings, out);
    out << "\nChange them with: config" << (scope == SettingsScope::Machine ? " --system" : "")
        << " --set NAME=VALUE [...]   (config --help lists names and values)\n";
}

int ReportFailure(const std::string& path, SettingsScope scope, const WriteFailure& failure, std::ostream& err)
{
    err << "config: " << DescribeWriteFailure(path, scope, failure);
    return 1;
}

}

int RunConfigProgram(const std::vector<std::string>& arguments, const SettingsLocations& locations, std::ostream& out,
                     std::ostream& err, SettingsDialog dialog)
{
    SettingsScope scope = SettingsScope::User;
    std::vector<std::string> words;
    for (const std::string& argument : arguments) {
        if (argument == "--system")
            scope = SettingsScope::Machine;
        else
            words.push_back(argument);
    }
    const std::string command = words.empty() ? std::string() : words[0];
    const std::string& target = TargetFile(locations, scope);

    if (command.empty() && dialog != nullptr) {
        const int code = dialog(locations, scope == SettingsScope::Machine, err);
        if (code != kNoDialog)
            return code;
    }
    if (command.empty() || command == "--list") {
        if (words.size() > 1) {
            err << "config: --list takes no values. Run config --help for the usage.\n";
            return 2;
        }
        ShowListing(locations, scope, out);
        return 0;
    }
    if (command == "--help" || command == "-h") {
        ShowUsage(out);
        return 0;
    }
    if (command == "--dialog") {
        if (words.size() > 1) {
            err << "config: --dialog takes no values. Run config --help for the usage.\n";
            return 2;
        }
        if (dialog == nullptr) {
            err << "config: this config was built without its settings dialog (it needs GTK 3); "
                   "use config --set instead.\n";
            return 1;
        }
        const int code = dialog(locations, scope == SettingsScope::Machine, err);
        if (code == kNoDialog) {
            err << "config: cannot open the settings dialog: there is no X display (is DISPLAY set?); "
                   "use config --set instead.\n";
            return 1;
        }
        return code;
    }
    if (command == "--reset") {
        if (words.size() > 1) {
            err << "config: --reset takes no values. Run config --help for the usage.\n";
            return 2;
        }
        WriteFailure failure;
        if (!ResetSettings(locations, scope, failure))
            return ReportFailure(target, scope, failure, err);
        if (scope == SettingsScope::User)
            out << "Removed your own settings (" << target << ").\n";
        else
            out << "Saved the defaults in " << target << ".\n";
        ShowListing(locations, scope, out);
        return 0;
    }
    if (command == "--set") {
        if (words.size() < 2) {
            err << "config: --set needs at least one NAME=VALUE. Run config --help for the usage.\n";
            return 2;
        }
        // Every assignment is checked before anything is written.
        Settings probe;
        for (std::size_t i = 1; i < words.size(); ++i) {
            std::string problem;
            if (!ApplySettingAssignment(words[i], probe, problem)) {
                err << "config: " << problem << "\nNothing was changed.\n";
                return 2;
            }
        }
        const auto change = [&words](Settings& settings) {
            std::string ignored;
            for (std::size_t i = 1; i < words.size(); ++i)
                ApplySettingAssignment(words[i], settings, ignored);
        };
        Settings written;
        WriteFailure failure;
        if (!ChangeSettings(locations, scope, change, written, failure))
            return ReportFailure(target, scope, failure, err);
        out << "Saved " << target << ":\n";
        ShowSettings(written, out);
        if (scope == SettingsScope::Machine && locations.Effective() == locations.user)
            out << "Your own settings (" << locations.user << ") still apply to you.\n";
        return 0;
    }
    err << "config: unknown option '" << command << "'. Run config --help for the usage.\n";
    return 2;
}

}
