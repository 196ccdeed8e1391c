#pragma once

#include "app/Settings.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tarnwood {

// The program's version, printed by --version.
inline constexpr const char* kTarnwoodVersion = TARNWOOD_VERSION;

// What a scene run was asked for on its command line, for screensaver hosts
// (which pass --root, --window-id, --fps, --delay) and for users.
struct SceneOptions {
    // An explicit --window-id / -window-id.
    std::optional<unsigned long> windowId;
    // --root / -root: XSCREENSAVER_WINDOW when set, else the root window.
    bool root = false;
    // Least time from the start of one frame to the start of the next.
    long delayMicroseconds = 0;
    // NAME=VALUE assignments from --set and --fps, in command-line order.
    std::vector<std::string> assignments;
    // --no-multisample: open the plain context at once.
    bool multisample = true;
    bool help = false;
    bool version = false;
};

// Reads the scene options from the command-line words (after the program
// name). Words that do not begin with "--" and are not one of the
// single-dash host forms are left alone, as the run-mode rules give them
// meaning. Options that take a value accept it as the next word or after
// '=' ("--delay=30000"). On an unknown "--" option, a missing or bad value,
// or a refused --set assignment returns false and sets `problem` to one line
// without a program prefix.
bool ParseSceneOptions(const std::vector<std::string>& words, SceneOptions& options, std::string& problem);

// A window id as hosts write it: decimal or 0x hexadecimal, non-zero, and
// within the 32 bits an X resource id has.
std::optional<unsigned long> ParseWindowId(const std::string& text);

// The settings of this run: `fileSettings` with the options' assignments
// applied in order. Nothing is written. The assignments were checked by
// ParseSceneOptions; one that is refused anyway is skipped.
Settings ApplySceneOptions(Settings fileSettings, const SceneOptions& options);

// The X window the scene is to draw into, or 0 for its own full-screen
// surface: --window-id, else (with --root or with nothing) the window in
// XSCREENSAVER_WINDOW, else with --root the display's root window
// (`rootWindow`, asked for only then). `environmentWindow` is the text of
// XSCREENSAVER_WINDOW, or null when unset. Returns false with `problem` set
// when the environment holds something that is not a window id.
bool ChooseHostWindow(const SceneOptions& options, const char* environmentWindow, unsigned long (*rootWindow)(),
                      unsigned long& window, std::string& problem);

// The text of --help.
void PrintSceneUsage(std::ostream& out);

}
