#include "app/SceneMode.h"

#include "app/Display.h"
#include "app/MainLoop.h"
#include "app/Settings.h"
#include "content/TreeScene.h"
#include "platform/RegistryString.h"
#include "resources/ResourceManager.h"

#include <memory>

namespace tarnwood {

int RunSceneMode()
{
    const std::string settingsPath = SettingsFilePath();
    ResourceManager::Instance().SetBasePath(InstallDirectory().Text());
    auto settings = std::make_unique<Settings>(LoadSettings(settingsPath));
    auto display = std::make_unique<Display>(settings->ModeWidth(), settings->ModeHeight(), settings->ModeDepth());
    SceneRoots roots = BuildTreeScene(*settings, *display);
    RunMainLoop(roots, *settings);
    settings.reset();
    roots.worldRoot.reset();
    roots.overlayRoot.reset();
    display.reset();
    return 0;
}

}
