// The INI file that names the install directory, read from the first XDG
// configuration folder that holds it.
#include "FuzzSupport.h"
#include "platform/RegistryString.h"

#include <cstdlib>
#include <filesystem>

using namespace tarnwood;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string folder = [] {
        const std::string dir = fuzz::ScratchFolder() + "/xdg";
        std::filesystem::create_directories(dir + "/Velquist");
        setenv("XDG_CONFIG_DIRS", dir.c_str(), 1);
        return dir;
    }();
    fuzz::WriteFile(folder + "/Velquist/Tarnwood.conf", data, size);
    const RegistryString value("Software\\Velquist\\Tarnwood\\Settings", "Path");
    const std::string text = value.Text();
    if (!value.HasValue() && !text.empty())
        std::abort();
    if (text.find('\n') != std::string::npos || text.size() > size)
        std::abort();
    return 0;
}
