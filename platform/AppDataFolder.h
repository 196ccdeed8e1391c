#pragma once

#include <string>

namespace tarnwood {

// The machine-wide application-data folder: the first directory of
// $XDG_CONFIG_DIRS (default /etc/xdg). Created when missing; a failure to
// create it is ignored (opening files in it then fails as usual). No trailing '/'.
std::string MachineAppDataFolder();

// The same folder as MachineAppDataFolder, without creating it: for programs
// that only write there on request.
std::string MachineAppDataFolderPath();

// The current user's application-data folder: $XDG_CONFIG_HOME when it is an
// absolute path, else ~/.config, where ~ is $HOME or, without one, the home
// folder of the user's account. Never created here: only writers create it,
// so that reading leaves no trace. No trailing '/'. Empty only when no home
// folder can be found at all.
std::string UserAppDataFolder();

}
