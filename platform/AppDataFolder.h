#pragma once

#include <string>

namespace tarnwood {

// The machine-wide application-data folder: the first directory of
// $XDG_CONFIG_DIRS (default /etc/xdg). Created when missing; a failure to
// create it is ignored (opening files in it then fails as usual). No trailing '/'.
std::string MachineAppDataFolder();

}
