#include "platform/AppDataFolder.h"

#include "platform/RegistryString.h"

#include <filesystem>

namespace tarnwood {

std::string MachineAppDataFolder()
{
    std::string folder = FirstConfigDirectory();
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder;
}

}
