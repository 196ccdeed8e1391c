#include "app/SettingsWriter.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwood {

namespace {

void AppendInt32(std::string& bytes, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<char>((bits >> shift) & 0xFF));
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd(fd) {}
    ~FileDescriptor()
    {
        if (fd >= 0)
            close(fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd; }
    // Closes now, reporting the result: a delayed write error shows here.
    bool Close()
    {
        const int result = close(fd);
        fd = -1;
        return result == 0;
    }

private:
    int fd;
};

bool WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

}

std::string EncodeSettings(const Settings& settings)
{
    std::string bytes;
    AppendInt32(bytes, 1);
    AppendInt32(bytes, 0);
    AppendInt32(bytes, 0);
    bytes.push_back(static_cast<char>(settings.exitOnMouseMove));
    AppendInt32(bytes, 0);
    AppendInt32(bytes, settings.displayMode);
    for (std::uint8_t flag : {settings.showFrameRate, settings.showClock, settings.analogClock, settings.clock24Hour,
                              settings.largeClock, settings.showCalendar, settings.calendarRus})
        bytes.push_back(static_cast<char>(flag));
    return bytes;
}

bool WriteSettingsFile(const std::string& path, const Settings& settings, std::string& problem)
{
    std::string temporary = path + ".XXXXXX";
    FileDescriptor file(mkostemp(temporary.data(), O_CLOEXEC));
    if (file.Get() < 0) {
        problem = std::strerror(errno);
        return false;
    }
    int error = 0;
    if (!WriteAll(file.Get(), EncodeSettings(settings)) || fchmod(file.Get(), 0644) != 0 || fsync(file.Get()) != 0)
        error = errno;
    if (!file.Close() && error == 0)
        error = errno;
    if (error == 0 && rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error == 0)
        return true;
    problem = std::strerror(error);
    unlink(temporary.c_str());
    return false;
}

}
