#include "platform/RegistryString.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace tarnwood {

namespace {

std::vector<std::string> ConfigDirectories()
{
    const char* env = std::getenv("XDG_CONFIG_DIRS");
    std::string dirs = (env != nullptr && *env != '\0') ? env : "/etc/xdg";
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t colon = dirs.find(':', start);
        if (colon == std::string::npos)
            colon = dirs.size();
        if (colon > start)
            result.push_back(dirs.substr(start, colon - start));
        start = colon + 1;
    }
    if (result.empty())
        result.push_back("/etc/xdg");
    return result;
}

std::string Trim(const std::string& s)
{
    const char* space = " \t\r\n";
    std::size_t first = s.find_first_not_of(space);
    if (first == std::string::npos)
        return {};
    std::size_t last = s.find_last_not_of(space);
    return s.substr(first, last - first + 1);
}

// "Software\Velquist\Tarnwood\Settings" -> file "Velquist/Tarnwood.conf", section "Settings".
bool SplitKey(const std::string& subKey, std::string& file, std::string& section)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= subKey.size()) {
        std::size_t sep = subKey.find('\\', start);
        if (sep == std::string::npos)
            sep = subKey.size();
        parts.push_back(subKey.substr(start, sep - start));
        start = sep + 1;
    }
    if (parts.size() < 4 || parts[1].empty() || parts[2].empty())
        return false;
    file = parts[1] + "/" + parts[2] + ".conf";
    section = parts[3];
    return true;
}

std::optional<std::string> ReadIniValue(const std::string& path, const std::string& section, const std::string& key)
{
    std::ifstream in(path);
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        std::string t = Trim(line);
        if (t.empty() || t[0] == '#' || t[0] == ';')
            continue;
        if (t.front() == '[') {
            inSection = t.back() == ']' && Trim(t.substr(1, t.size() - 2)) == section;
            continue;
        }
        std::size_t eq = t.find('=');
        if (inSection && eq != std::string::npos && Trim(t.substr(0, eq)) == key)
            return Trim(t.substr(eq + 1));
    }
    return std::nullopt;
}

std::string ExecutableDirectory()
{
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {};
    return exe.parent_path().string();
}

}

RegistryString::RegistryString(const std::string& subKey, const std::string& valueName)
{
    std::string file;
    std::string section;
    if (!SplitKey(subKey, file, section))
        return;
    for (const std::string& dir : ConfigDirectories()) {
        std::string path = dir + "/" + file;
        if (access(path.c_str(), R_OK) == 0) {
            value = ReadIniValue(path, section, valueName);
            return;
        }
    }
}

std::string FirstConfigDirectory()
{
    return ConfigDirectories().front();
}

namespace {

class InstallDirectoryValue : public RegistryString {
public:
    InstallDirectoryValue() : RegistryString("Software\\Velquist\\Tarnwood\\Settings", "Path")
    {
        if (!value || value->empty())
            value = ExecutableDirectory();
        if (value->empty())
            value.emplace(1, '.');
        if (value->empty() || value->back() != '/')
            value->push_back('/');
    }
};

}

const RegistryString& InstallDirectory()
{
    static const InstallDirectoryValue instance;
    return instance;
}

}
