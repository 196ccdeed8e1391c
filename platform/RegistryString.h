#pragma once

#include <optional>
#include <string>

namespace tarnwood {

// One string value of the machine-wide configuration, read at construction.
// On this platform a value "Name" under key "Software\Org\App\Section" lives
// in the INI file `Org/App.conf`, section `[Section]`, key `Name`, found in
// the first of the XDG system configuration directories ($XDG_CONFIG_DIRS,
// colon-separated, default /etc/xdg) that holds the file. A missing file,
// section or key leaves the object without a value; nothing is reported.
class RegistryString {
public:
    RegistryString(const std::string& subKey, const std::string& valueName);

    bool HasValue() const { return value.has_value(); }
    // The value text; empty when there is none.
    std::string Text() const { return value.value_or(std::string()); }
    // The value text followed directly by `fileName`.
    std::string Join(const std::string& fileName) const { return Text() + fileName; }

protected:
    std::optional<std::string> value;
};

// The install directory: the value "Path" under "Software\Velquist\Tarnwood\Settings".
// Its text always ends with '/', since file names are appended to it directly.
// Without a configured value it is the folder of the running executable, so a
// freshly built install directory runs with no set-up at all.
const RegistryString& InstallDirectory();

// The first of the XDG system configuration directories ($XDG_CONFIG_DIRS,
// default /etc/xdg), as written there.
std::string FirstConfigDirectory();

}
