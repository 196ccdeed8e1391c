#pragma once

#include "app/Settings.h"

#include <string>

namespace tarnwood {

// Applies one NAME=VALUE to `settings`. On refusal returns false, leaves
// `settings` unchanged and sets `problem` to one line without a program prefix.
// Names are the Settings field names (case-sensitive); flags take on/off/1/0
// (any case); displayMode takes a table index, "desktop" or a size of the
// table such as 1024x768.
bool ApplySettingAssignment(const std::string& assignment, Settings& settings, std::string& problem);

}
