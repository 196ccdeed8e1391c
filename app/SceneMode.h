#pragma once

namespace tarnwood {

// The scene mode: reads the settings, opens the display, builds the scene and
// runs the main loop until it has ended, then tears down in order (settings,
// roots, display). Returns 0; a display that cannot be opened ends the
// process with exit code 1 instead.
int RunSceneMode();

}
