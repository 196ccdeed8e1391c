#include "app/SettingsStore.h"

#include "platform/AppDataFolder.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <unistd.h>

namespace tarnwood {

SettingsLocations SettingsLocations::ForThisUser()
{
    // Only a write creates the machine-wide folder, never a look at it.
    return {UserSettingsFilePath(), MachineAppDataFolderPath() + "/" + kSettingsFileName};
}

const std::string& TargetFile(const SettingsLocations& locations, SettingsScope scope)
{
    return scope == SettingsScope::User ? locations.user : locations.machine;
}

Settings ReadSettingsFile(const std::string& path, bool& found)
{
    std::ifstream in(path, std::ios::binary);
    found = in.is_open();
    if (!found)
        return Settings();
    return Settings(in);
}

Settings StartingSettings(const SettingsLocations& locations, SettingsScope scope)
{
    bool found = false;
    const std::string& source = scope == SettingsScope::User ? locations.Effective() : locations.machine;
    return ReadSettingsFile(source, found);
}

namespace {

bool HaveTarget(const std::string& path, WriteFailure& failure)
{
    if (!path.empty())
        return true;
    failure.error = ENOENT;
    failure.step = "find a home folder for your own settings ($HOME is not set)";
    return false;
}

}

bool ChangeSettings(const SettingsLocations& locations, SettingsScope scope,
                    const std::function<void(Settings&)>& change, Settings& written, WriteFailure& failure)
{
    const std::string& target = TargetFile(locations, scope);
    if (!HaveTarget(target, failure))
        return false;
    SettingsFolderLock lock;
    if (!lock.Acquire(target, kSettingsLockTimeoutMs, failure))
        return false;
    Settings settings = StartingSettings(locations, scope);
    change(settings);
    if (!WriteSettingsFile(target, settings, failure))
        return false;
    written = settings;
    return true;
}

bool ResetSettings(const SettingsLocations& locations, SettingsScope scope, WriteFailure& failure)
{
    const std::string& target = TargetFile(locations, scope);
    if (!HaveTarget(target, failure))
        return false;
    if (scope == SettingsScope::User && access(target.c_str(), F_OK) != 0 && errno == ENOENT)
        return true;
    SettingsFolderLock lock;
    if (!lock.Acquire(target, kSettingsLockTimeoutMs, failure))
        return false;
    if (scope == SettingsScope::User)
        return RemoveSettingsFile(target, failure);
    return WriteSettingsFile(target, Settings(), failure);
}

bool MachineSettingsWritable(const SettingsLocations& locations)
{
    if (access(locations.machine.c_str(), F_OK) == 0)
        return access(locations.machine.c_str(), W_OK) == 0;
    std::string folder = FolderOf(locations.machine);
    while (access(folder.c_str(), F_OK) != 0 && folder != "/" && folder != ".")
        folder = FolderOf(folder);
    return access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string DescribeWriteFailure(const std::string& path, SettingsScope scope, const WriteFailure& failure)
{
    const std::string folder = FolderOf(path);
    std::string text = "cannot write the settings file " + path + ": could not " + failure.step + ": "
        + std::strerror(failure.error) + ".\n";
    switch (failure.error) {
    case EACCES:
    case EPERM:
        if (scope == SettingsScope::Machine)
            text += "The machine-wide settings, for every user without settings of their own, are kept in " + folder
                + " (the first folder of $XDG_CONFIG_DIRS, /etc/xdg by default), which only an "
                  "administrator may change. Run config --system as an administrator (for example with sudo), "
                  "or leave out --system to change only your own settings.\n";
        else
            text += "Your own settings are kept in " + folder
                + " ($XDG_CONFIG_HOME, or ~/.config when it is not set). Make that folder writable for you, "
                  "or set $XDG_CONFIG_HOME to a folder you can write.\n";
        break;
    case EROFS:
        text += "The folder " + folder + " is on a file system that is mounted read-only.\n";
        break;
    case ENOSPC:
    case EDQUOT:
        text += "The disk that holds " + folder
            + " is full (or your share of it is used up). "
              "Free some space there and try again.\n";
        break;
    case EWOULDBLOCK:
        text += "Another program kept the settings locked for " + std::to_string(kSettingsLockTimeoutMs / 1000)
            + " seconds while changing them. Try again in a moment.\n";
        break;
    case ENOTDIR:
    case EEXIST:
        text += "Something that is not a folder stands where the folder " + folder + " should be.\n";
        break;
    default:
        break;
    }
    return text + "Nothing was changed.\n";
}

}
