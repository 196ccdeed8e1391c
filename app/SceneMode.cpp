#include "app/SceneMode.h"

#include "app/Display.h"
#include "app/MainLoop.h"
#include "app/Settings.h"

#include <memory>

namespace tarnwood {

int RunSceneMode()
{
    const std::string settingsPath = SettingsFilePath();
    auto settings = std::make_unique<Settings>(LoadSettings(settingsPath));
    auto display = std::make_unique<Display>(settings->ModeWidth(), settings->ModeHeight(), settings->ModeDepth());
    RunMainLoop(*settings);
    settings.reset();
    display.reset();
    return 0;
}

}
