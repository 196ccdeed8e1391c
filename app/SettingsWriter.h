#pragma once

#include "app/Settings.h"

#include <string>

namespace tarnwood {

// The settings file's bytes for `settings` in layout 1: marker 1, two empty
// reserved texts, exitOnMouseMove, reserved number 0, displayMode and the
// seven display flags, little-endian; 28 bytes.
std::string EncodeSettings(const Settings& settings);

// Replaces the file at `path` with EncodeSettings(settings). The bytes go to
// a temporary file in the same folder, which is renamed over `path` only
// once it is complete, so readers see the old file or the new one, never a
// part. The file is readable by every user. On failure returns false, leaves
// any existing file untouched and sets `problem` to the system's reason.
bool WriteSettingsFile(const std::string& path, const Settings& settings, std::string& problem);

}
