#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tarnwood {

// The configuration program: shows and changes the settings file at
// `settingsPath`. `arguments` are the command-line words after the program
// name:
//   (none)                           show the settings and how to change them
//   --set NAME=VALUE [NAME=VALUE...] change the named fields, keep the others
//   --reset                          write the defaults
//   --help                           explain the usage
// Results go to `out`, complaints to `err`. Returns the exit code: 0 done,
// 1 the settings file could not be written (the old file is left as it was),
// 2 a bad option, name or value (nothing is written).
int RunConfigProgram(const std::vector<std::string>& arguments, const std::string& settingsPath,
                     std::ostream& out, std::ostream& err);

}
