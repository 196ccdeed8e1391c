#include "app/Entry.h"

#include "app/RunMode.h"

namespace tarnwood {

int TarnwoodMain(const std::string& commandLine)
{
    const CommandLine parsed = ParseCommandLine(commandLine);
    switch (parsed.mode) {
    case RunMode::Screensaver:
    case RunMode::Configuration:
    case RunMode::Preview:
        return 0;
    case RunMode::Scene:
        break;
    }
    return 0;
}

}
