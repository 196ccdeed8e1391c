#pragma once

#include "app/SettingsStore.h"

#include <ostream>
#include <string>
#include <vector>

namespace tarnwood {

// What a settings dialog returns when it cannot be shown at all (no X
// display), so that the caller can fall back to the listing.
inline constexpr int kNoDialog = -1;

// Opens the settings dialog on `locations`, starting with "for all users"
// ticked when `forAllUsers` is set; returns the exit code once it is closed,
// or kNoDialog when there is no display to show it on. Complaints that cannot
// be shown in the dialog go to `err`.
using SettingsDialog = int (*)(const SettingsLocations& locations, bool forAllUsers, std::ostream& err);

// The configuration program: shows and changes the settings files of
// `locations`. `arguments` are the command-line words after the program name:
//   (none)                  the dialog when `dialog` can show one, else --list
//   --list                  show the settings in effect and which file holds them
//   --dialog                the settings dialog
//   --set NAME=VALUE [...]  change the named fields of the user's own file,
//                           keeping the others as they apply now
//   --reset                 remove the user's own file
//   --help                  explain the usage
// --system, given with any of these, works on the machine-wide file instead
// (--reset then writes the defaults into it). `dialog` may be null when the
// program has no dialog. Results go to `out`, complaints to `err`. Returns the
// exit code: 0 done, 1 a settings file could not be written or the dialog
// could not be opened (nothing was changed), 2 a bad option, name or value
// (nothing was written).
int RunConfigProgram(const std::vector<std::string>& arguments, const SettingsLocations& locations, std::ostream& out,
                     std::ostream& err, SettingsDialog dialog = nullptr);

}
