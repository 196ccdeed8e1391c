#include "app/SceneMode.h"

#include "app/Display.h"
#include "app/DisplayHostWindow.h"
#include "app/MainLoop.h"
#include "app/RunModeSignals.h"
#include "app/SceneOptions.h"
#include "app/Settings.h"
#include "content/TreeScene.h"
#include "platform/RegistryString.h"
#include "resources/ResourceManager.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

namespace tarnwood {

int RunSceneMode(const std::vector<std::string>& words)
{
    SceneOptions options;
    std::string problem;
    if (!ParseSceneOptions(words, options, problem)) {
        std::fprintf(stderr, "Tarnwood: %s\n", problem.c_str());
        return 2;
    }
    if (options.help) {
        PrintSceneUsage(std::cout);
        return 0;
    }
    if (options.version) {
        std::cout << "Tarnwood " << kTarnwoodVersion << "\n";
        return 0;
    }
    unsigned long hostWindow = 0;
    if (!ChooseHostWindow(options, std::getenv("XSCREENSAVER_WINDOW"), DisplayHostWindow::DesktopRootWindow, hostWindow,
                          problem)) {
        std::fprintf(stderr, "Tarnwood: %s\n", problem.c_str());
        return 2;
    }
    // Before SDL starts, so that SDL leaves these signals to the main loop.
    CatchStopSignals();

    const std::string settingsPath = SettingsFilePath();
    ResourceManager::Instance().SetBasePath(InstallDirectory().Text());
    auto settings = std::make_unique<Settings>(ApplySceneOptions(LoadSettings(settingsPath), options));
    // The archives are read and their images decoded while the display opens.
    ResourceManager::Instance().ReadAhead(SceneArchives(settings->Overlays()));
    auto display = std::make_unique<Display>(settings->ModeWidth(), settings->ModeHeight(), settings->ModeDepth(),
                                             DisplayOptions{hostWindow, options.multisample});
    SceneRoots roots = BuildTreeScene(settings->Overlays(), display->Edges());
    RunMainLoop(roots, *settings, *display, options.delayMicroseconds);
    settings.reset();
    roots.worldRoot.reset();
    roots.overlayRoot.reset();
    display.reset();
    return 0;
}

}
