#include "app/Entry.h"

#include "app/HostModes.h"
#include "app/RunMode.h"

namespace tarnwood {

int TarnwoodMain(const std::string& commandLine)
{
    const CommandLine parsed = ParseCommandLine(commandLine);
    switch (parsed.mode) {
    case RunMode::Screensaver:
        return RunScreensaverMode();
    case RunMode::Configuration:
        return RunConfigurationMode();
    case RunMode::Preview:
        return RunPreview(parsed.previewHandle);
    case RunMode::Scene:
        break;
    }
    return 0;
}

}
