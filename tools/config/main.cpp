#include "app/ConfigProgram.h"

#ifdef TARNWOOD_WITH_DIALOG
#include "app/dialog/SettingsDialog.h"
#endif

#include <iostream>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
#ifdef TARNWOOD_WITH_DIALOG
    const tarnwood::SettingsDialog dialog = tarnwood::RunSettingsDialog;
#else
    const tarnwood::SettingsDialog dialog = nullptr;
#endif
    return tarnwood::RunConfigProgram(arguments, tarnwood::SettingsLocations::ForThisUser(), std::cout, std::cerr, dialog);
}
