#pragma once

#include "app/SettingsStore.h"

#include <ostream>
#include <string>
#include <vector>

namespace tarnwood {

// The settings dialog: controls for every setting, a live preview in which
// the real scene player runs with the choices shown, OK to save them and
// Cancel to leave every file as it was. It saves to the user's own file, or
// to the machine-wide one when "for all users" is ticked (offered only when
// that file may be written; ticked at the start when `forAllUsers` is set).
// Errors are shown inside the dialog. Returns 0 once it is closed, or
// kNoDialog (see ConfigProgram.h) when no X display can be opened. Ends its
// preview player before returning; the player also dies with this process.
int RunSettingsDialog(const SettingsLocations& locations, bool forAllUsers, std::ostream& err);

// The player's command line for a preview of `settings` in X window
// `windowId`: every setting as a --set option, and a frame pace that keeps
// the small preview from taking a whole processor.
std::vector<std::string> PreviewCommand(const std::string& playerPath, unsigned long windowId, const Settings& settings);

}
