#include "app/HostModes.h"

#include "app/PreviewWindow.h"
#include "platform/LaunchProgram.h"

#include <cstdlib>

namespace tarnwood {

int RunScreensaverMode()
{
    // SDL keeps the desktop's own screensaver off while a window is open;
    // the scene player inherits this and lets it run.
    setenv("SDL_VIDEO_ALLOW_SCREENSAVER", "1", 1);
    LaunchProgram("Tarnwood.exe", true);
    return 0;
}

int RunConfigurationMode()
{
    LaunchProgram("config.exe", false);
    return 0;
}

int RunPreview(int paneHandle)
{
    // Window ids are unsigned 29-bit values; the host passes them in decimal.
    RunPreviewWindow(static_cast<unsigned long>(static_cast<unsigned int>(paneHandle)));
    return 0;
}

}
