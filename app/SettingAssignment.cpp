#include "app/SettingAssignment.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>

namespace tarnwood {

namespace {

struct FlagName {
    const char* name;
    std::uint8_t Settings::*field;
};

constexpr FlagName kFlagNames[] = {
    {"showFrameRate", &Settings::showFrameRate}, {"showClock", &Settings::showClock},
    {"analogClock", &Settings::analogClock},     {"clock24Hour", &Settings::clock24Hour},
    {"largeClock", &Settings::largeClock},       {"showCalendar", &Settings::showCalendar},
    {"calendarRus", &Settings::calendarRus},     {"exitOnMouseMove", &Settings::exitOnMouseMove},
};

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::optional<std::uint8_t> ParseFlag(const std::string& value)
{
    const std::string lower = Lower(value);
    if (lower == "on" || lower == "1")
        return 1;
    if (lower == "off" || lower == "0")
        return 0;
    return std::nullopt;
}

// A row of the mode table: its index (one digit), "desktop", or a size such
// as 1024x768 that the table holds.
std::optional<std::int32_t> ParseDisplayMode(const std::string& value)
{
    const std::string lower = Lower(value);
    if (lower == "desktop")
        return 0;
    if (lower.size() == 1 && lower[0] >= '0' && lower[0] < '0' + kVideoModeCount)
        return lower[0] - '0';
    for (int index = 1; index < kVideoModeCount; ++index) {
        const VideoMode& mode = kVideoModes[index];
        if (lower == std::to_string(mode.width) + "x" + std::to_string(mode.height))
            return index;
    }
    return std::nullopt;
}

}

bool ApplySettingAssignment(const std::string& assignment, Settings& settings, std::string& problem)
{
    const std::string::size_type equals = assignment.find('=');
    if (equals == std::string::npos) {
        problem = "'" + assignment + "' is not of the form NAME=VALUE.";
        return false;
    }
    const std::string name = assignment.substr(0, equals);
    const std::string value = assignment.substr(equals + 1);
    if (name == "displayMode") {
        const std::optional<std::int32_t> mode = ParseDisplayMode(value);
        if (!mode) {
            problem = "'" + value + "' is not a display mode; use 0 to " + std::to_string(kVideoModeCount - 1)
                + ", desktop, or a size from the table (see config --help).";
            return false;
        }
        settings.displayMode = *mode;
        return true;
    }
    for (const FlagName& flag : kFlagNames) {
        if (name != flag.name)
            continue;
        const std::optional<std::uint8_t> on = ParseFlag(value);
        if (!on) {
            problem = "'" + value + "' is not a value for " + name + "; use on or off.";
            return false;
        }
        settings.*flag.field = *on;
        return true;
    }
    problem = "there is no setting called '" + name + "' (names are case-sensitive; see config --help).";
    return false;
}

}
