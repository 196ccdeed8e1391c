#include "Installation.h"

#include "support/ChildProcess.h"

namespace tarnwood::test {

Installation::Installation(const std::string& installPrefix) : prefix(installPrefix)
{
    ChildProcess install({TARNWOOD_CMAKE_COMMAND, "--install", TARNWOOD_BINARY_DIR, "--prefix", prefix},
                         {{"DESTDIR", destDir.Path().string()}});
    ok = install.Wait(120000) == 0;
    log = install.Stdout() + install.Stderr();
}

std::string Installation::Staged(const std::string& path) const
{
    return destDir.Path().string() + path;
}

}
