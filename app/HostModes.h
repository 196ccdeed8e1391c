#pragma once

namespace tarnwood {

// The run modes started by the desktop's screensaver host. Each returns the
// process exit code.

// Puts SDL_VIDEO_ALLOW_SCREENSAVER=1 into the environment, starts the scene
// player of the install directory and waits until it has ended. Returns 0,
// also when the player could not be started.
int RunScreensaverMode();

// Starts the configuration program of the install directory without waiting
// for it. Returns 0, also when it could not be started.
int RunConfigurationMode();

// Shows the preview picture in the host's preview pane, the X window whose
// id is `paneHandle`, until the pane is destroyed or the connection to the X
// server ends. Returns 0 in every case, at once when there is no display or
// no such window.
int RunPreview(int paneHandle);

}
