#pragma once

#include "content/OverlaySettings.h"

#include <cstdint>
#include <istream>
#include <string>

namespace tarnwood {

// One row of the fixed table of display modes: pixels and bits per pixel.
// Row 0 holds zeros, which stand for the desktop's current mode.
struct VideoMode {
    std::int32_t width;
    std::int32_t height;
    std::int32_t depth;
};

inline constexpr int kVideoModeCount = 10;
extern const VideoMode kVideoModes[kVideoModeCount];

// The user's choices, read once at start-up from the settings file that the
// configuration program writes. Every flag is a byte: 0 off, anything else on.
struct Settings {
    std::uint8_t showFrameRate = 0;
    std::uint8_t showClock = 1;
    std::uint8_t analogClock = 0;
    std::uint8_t clock24Hour = 0;
    std::uint8_t largeClock = 1;
    std::uint8_t showCalendar = 1;
    std::uint8_t calendarRus = 0;
    std::uint8_t exitOnMouseMove = 0;
    std::int32_t displayMode = 0;

    // Every field at its default.
    Settings() = default;

    // Reads layout 1 from a binary stream (little-endian, no padding): marker
    // int32 1, two length-prefixed reserved texts, exitOnMouseMove, a reserved
    // int32, displayMode, then the seven flags. Any other marker keeps every
    // default. A stream that ends early, or a text length that is negative or
    // reaches past the end, keeps the defaults of every field not yet read;
    // nothing is read or allocated beyond the stream's end.
    explicit Settings(std::istream& in);

    // Width, height and depth of the selected display mode; a displayMode
    // outside the table selects row 0, the desktop mode.
    int ModeWidth() const { return Mode().width; }
    int ModeHeight() const { return Mode().height; }
    int ModeDepth() const { return Mode().depth; }

    // The flags the scene builder reads, each on when its byte is not 0.
    OverlaySettings Overlays() const;

    bool operator==(const Settings&) const = default;

private:
    const VideoMode& Mode() const;
};

// Name of the settings file inside an application-data folder.
inline constexpr const char* kSettingsFileName = "velquist_Tarnwood_cfg";

// The settings file in the machine-wide application-data folder, which
// applies to every user who has no file of their own.
std::string MachineSettingsFilePath();

// The current user's own settings file in their application-data folder;
// empty when the user has no home folder at all.
std::string UserSettingsFilePath();

// Which of the two files is in effect: `userPath` when a file exists there
// (even one that cannot be read, which then gives the defaults, as any
// unreadable settings file does), else `machinePath`.
std::string EffectiveSettingsFile(const std::string& userPath, const std::string& machinePath);

// The settings file the scene reads: the user's own file when it exists,
// else the machine-wide one (which may be missing too: then the defaults).
std::string SettingsFilePath();

// Reads the settings file, or gives the defaults when it cannot be opened.
Settings LoadSettings(const std::string& path);

}
