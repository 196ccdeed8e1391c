#include "TinyTmpfs.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/mount.h>

namespace tarnwood::test {

TinyTmpfs::TinyTmpfs(const std::string& path, int kibibytes) : path(path)
{
    std::error_code failure;
    std::filesystem::create_directory(path, failure);
    if (failure) {
        problem = failure.message();
        return;
    }
    const std::string options = "size=" + std::to_string(kibibytes) + "k,mode=0755";
    if (mount("tarnwood-test", path.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
        problem = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
        return;
    }
    mounted = true;
}

TinyTmpfs::~TinyTmpfs()
{
    if (mounted)
        umount2(path.c_str(), MNT_DETACH);
}

}
