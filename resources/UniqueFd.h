#pragma once

#include <unistd.h>

namespace tarnwood {

// Owns one open file descriptor (or none, -1) and closes it on destruction.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd(fd) {}
    ~UniqueFd()
    {
        if (fd >= 0)
            ::close(fd);
    }
    UniqueFd(UniqueFd&& other) noexcept : fd(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        if (this != &other) {
            if (fd >= 0)
                ::close(fd);
            fd = other.Release();
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return fd; }
    bool Valid() const { return fd >= 0; }
    int Release()
    {
        const int released = fd;
        fd = -1;
        return released;
    }
    // Closes now and reports the result: a delayed write error shows here.
    // On failure errno says why.
    bool Close()
    {
        const int result = ::close(Release());
        return result == 0;
    }

private:
    int fd = -1;
};

}
