#include "app/Entry.h"

#include "app/HostModes.h"
#include "app/RunMode.h"
#include "app/SceneMode.h"
#include "platform/RegistryString.h"
#include "proctex/ProceduralTextureManager.h"
#include "resources/ResourceManager.h"
#include "resources/TransparentList.h"

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace tarnwood {

// The process-wide objects are made in a fixed order before any mode runs and
// are destroyed in the reverse order at exit; every later rand() draws from
// the sequence seeded here, so each run starts differently.
void StartProcessObjects()
{
    ResourceManager::Instance();
    ProceduralTextureManager::Instance();
    TransparentList::Instance();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    InstallDirectory();
}

int TarnwoodMain(int argc, const char* const* argv)
{
    StartProcessObjects();
    const CommandLine parsed = ParseCommandLine(JoinArguments(argc, argv));
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
    return RunSceneMode(std::vector<std::string>(argv + 1, argv + argc));
}

}
