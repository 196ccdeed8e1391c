#include "platform/AppDataFolder.h"

#include "platform/RegistryString.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace tarnwood {

namespace {

std::string WithoutTrailingSlashes(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0')
        return home;
    const passwd* account = getpwuid(getuid());
    if (account != nullptr && account->pw_dir != nullptr)
        return account->pw_dir;
    return {};
}

}

std::string MachineAppDataFolderPath()
{
    return WithoutTrailingSlashes(FirstConfigDirectory());
}

std::string MachineAppDataFolder()
{
    std::string folder = MachineAppDataFolderPath();
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder;
}

std::string UserAppDataFolder()
{
    // A relative $XDG_CONFIG_HOME is invalid and must be ignored.
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/')
        return WithoutTrailingSlashes(configHome);
    const std::string home = HomeFolder();
    if (home.empty())
        return {};
    const std::string base = WithoutTrailingSlashes(home);
    return (base == "/" ? std::string() : base) + "/.config";
}

}
