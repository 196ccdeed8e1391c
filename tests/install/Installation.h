#pragma once

#include "support/TempDir.h"

#include <string>

namespace tarnwood::test {

// This build tree installed with `cmake --install --prefix PREFIX` into a
// fresh DESTDIR, removed with the object.
class Installation {
public:
    explicit Installation(const std::string& prefix = "/usr");

    // True when the install command succeeded; its output otherwise in Log().
    bool Ok() const { return ok; }
    const std::string& Log() const { return log; }
    // Path inside the staging tree of the installed path `path` (absolute, as
    // on the target system, e.g. "/usr/bin/tarnwood").
    std::string Staged(const std::string& path) const;
    const std::string& Prefix() const { return prefix; }

private:
    TempDir destDir;
    std::string prefix;
    bool ok = false;
    std::string log;
};

}
