#pragma once

#include <string>
#include <vector>

namespace tarnwood {

// The scene mode: reads the settings (with the command line's --set and
// --fps on top), opens the display (full screen, or the host's window that
// the options or XSCREENSAVER_WINDOW name), builds the scene and runs the
// main loop until it has ended, then tears down in order (settings, roots,
// display). `words` are the command-line words after the program name.
// Returns 0; 0 also after --help and --version, which print and run nothing;
// 2 after a bad option, with one line on stderr; a display that cannot be
// opened ends the process with exit code 1 instead.
int RunSceneMode(const std::vector<std::string>& words = {});

}
