#pragma once

#include "app/Settings.h"
#include "app/SettingsWriter.h"

#include <functional>
#include <string>

namespace tarnwood {

// The two settings files that concern a user: their own, which wins when it
// exists, and the machine-wide one, which applies to every user who has none.
struct SettingsLocations {
    std::string user;
    std::string machine;

    // The current user's files (UserSettingsFilePath, and MachineSettingsFilePath
    // without creating its folder).
    static SettingsLocations ForThisUser();
    // The file whose settings apply: see EffectiveSettingsFile.
    std::string Effective() const { return EffectiveSettingsFile(user, machine); }
};

// Which of the two files a change goes to.
enum class SettingsScope { User, Machine };

// How long a change waits for another program's change to the same folder.
inline constexpr int kSettingsLockTimeoutMs = 10000;

// The file that a change in `scope` writes.
const std::string& TargetFile(const SettingsLocations& locations, SettingsScope scope);

// Reads the file at `path`; the defaults when it cannot be opened, with
// `found` telling which.
Settings ReadSettingsFile(const std::string& path, bool& found);

// What a change in `scope` starts from, so that the fields it leaves alone
// keep the values that apply now: for the user the settings in effect (their
// own file, else the machine-wide file, else the defaults); for the machine
// the machine-wide file, else the defaults.
Settings StartingSettings(const SettingsLocations& locations, SettingsScope scope);

// One read-modify-write of the file of `scope`, under the lock of its folder:
// reads StartingSettings, lets `change` alter them and writes the result,
// which is also left in `written`. On failure nothing is changed and
// `failure` says why.
bool ChangeSettings(const SettingsLocations& locations, SettingsScope scope,
                    const std::function<void(Settings&)>& change, Settings& written, WriteFailure& failure);

// Back to the defaults, under the lock: for the user their own file is
// removed, so that the machine-wide settings apply again; for the machine the
// machine-wide file is written with the defaults.
bool ResetSettings(const SettingsLocations& locations, SettingsScope scope, WriteFailure& failure);

// Whether this process may write the machine-wide file: the file when it
// exists, else the nearest existing folder on its way, is writable.
bool MachineSettingsWritable(const SettingsLocations& locations);

// A few lines, without a program prefix, that say which file could not be
// written, what exactly failed and what the user can do about it, ending
// with "Nothing was changed."
std::string DescribeWriteFailure(const std::string& path, SettingsScope scope, const WriteFailure& failure);

}
