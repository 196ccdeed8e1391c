#include "app/Entry.h"

#include "app/RunMode.h"
#include "app/SceneMode.h"
#include "platform/RegistryString.h"

#include <cstdlib>
#include <ctime>

namespace tarnwood {

namespace {

// The process-wide objects are made in a fixed order before any mode runs and
// are destroyed in the reverse order at exit; every later rand() draws from
// the sequence seeded here, so each run starts differently.
void StartProcessObjects()
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    InstallDirectory();
}

}

int TarnwoodMain(const std::string& commandLine)
{
    StartProcessObjects();
    const CommandLine parsed = ParseCommandLine(commandLine);
    switch (parsed.mode) {
    case RunMode::Screensaver:
        return 0;
    case RunMode::Configuration:
        return 0;
    case RunMode::Preview:
        return 0;
    case RunMode::Scene:
        break;
    }
    return RunSceneMode();
}

}
