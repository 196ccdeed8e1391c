#pragma once

#include "app/ScenePose.h"

#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace tarnwood {

// The command line of the snapshot program.
struct SnapshotOptions {
    // The PNG to write; in the window, where S saves the frame. Empty: none.
    std::string out;
    // The preview picture (BMP) to write. Empty: none.
    std::string preview;
    // Keep a window open, running in real time, instead of one still frame.
    bool window = false;
    std::string settingsPath;
    // Leave out the clock, the calendar and the frame rate.
    bool worldOnly = false;
    bool haveTime = false;
    std::tm time{};
    // Simulated milliseconds before the still frame.
    long ms = 5000;
    unsigned seed = 1;
    int width = 1024;
    int height = 768;
    ScenePose pose;
};

// The usage text, ending in a newline.
extern const char* const kSnapshotUsage;

// Parses the arguments after the program name (not --help). Nullopt, with
// `problem` set to one line, for an unknown option, a missing or bad value,
// or when nothing is asked for (no --out, --preview or --window).
std::optional<SnapshotOptions> ParseSnapshotOptions(const std::vector<std::string>& args, std::string& problem);

}
