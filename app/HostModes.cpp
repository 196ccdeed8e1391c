#include "app/HostModes.h"

#include "app/PreviewWindow.h"
#include "app/RunModeSignals.h"
#include "platform/LaunchProgram.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tarnwood {

namespace {

// Nothing is shown when a launch fails, so the one line on stderr is the only
// trace of it; the host still gets exit code 0.
void ReportFailedLaunch(const std::string& fileName, int error)
{
    std::fprintf(stderr, "Tarnwood: could not start %s: %s\n", LaunchProgramPath(fileName).c_str(),
                 std::strerror(error != 0 ? error : ENOENT));
}

}

int RunScreensaverMode()
{
    // SDL keeps the desktop's own screensaver off while a window is open;
    // the scene player inherits this and lets it run.
    setenv("SDL_VIDEO_ALLOW_SCREENSAVER", "1", 1);
    // A host that stops the screensaver stops this process; the player is
    // told too, and this process waits until it has gone, leaving no orphan.
    CatchStopSignals();
    if (StopSignalReceived())
        return 0;
    int error = 0;
    if (!LaunchProgram("Tarnwood.exe", true, &error, [](pid_t player) { ForwardStopSignalsTo(player); }))
        ReportFailedLaunch("Tarnwood.exe", error);
    ForwardStopSignalsTo(0);
    return 0;
}

int RunConfigurationMode()
{
    int error = 0;
    if (!LaunchProgram("config.exe", false, &error))
        ReportFailedLaunch("config.exe", error);
    return 0;
}

int RunPreview(int paneHandle)
{
    // Window ids are unsigned 29-bit values; the host passes them in decimal.
    RunPreviewWindow(static_cast<unsigned long>(static_cast<unsigned int>(paneHandle)));
    return 0;
}

}
