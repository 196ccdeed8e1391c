#include "app/SettingsWriter.h"

#include "resources/LittleEndian.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace tarnwood {

namespace {

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

bool Fail(WriteFailure& failure, int error, std::string step)
{
    failure.error = error;
    failure.step = std::move(step);
    return false;
}

bool MakeFolder(const std::string& folder, WriteFailure& failure)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return Fail(failure, error.value(), "create the folder " + folder);
    return true;
}

}

std::string FolderOf(const std::string& path)
{
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string EncodeSettings(const Settings& settings)
{
    std::string bytes;
    AppendI32LE(bytes, 1);
    AppendI32LE(bytes, 0);
    AppendI32LE(bytes, 0);
    bytes.push_back(static_cast<char>(settings.exitOnMouseMove));
    AppendI32LE(bytes, 0);
    AppendI32LE(bytes, settings.displayMode);
    for (std::uint8_t flag : {settings.showFrameRate, settings.showClock, settings.analogClock, settings.clock24Hour,
                              settings.largeClock, settings.showCalendar, settings.calendarRus})
        bytes.push_back(static_cast<char>(flag));
    return bytes;
}

bool WriteSettingsFile(const std::string& path, const Settings& settings, WriteFailure& failure)
{
    const std::string folder = FolderOf(path);
    if (!MakeFolder(folder, failure))
        return false;
    std::string temporary = path + ".XXXXXX";
    FileDescriptor file(mkostemp(temporary.data(), O_CLOEXEC));
    if (file.Get() < 0)
        return Fail(failure, errno, "create a temporary file in " + folder);
    std::string step;
    int error = 0;
    if (!WriteAll(file.Get(), EncodeSettings(settings)))
        step = "write the new settings in " + folder;
    else if (fchmod(file.Get(), 0644) != 0)
        step = "make the new settings file readable for every user";
    else if (fsync(file.Get()) != 0)
        step = "save the new settings to the disk in " + folder;
    if (!step.empty())
        error = errno;
    if (!file.Close() && error == 0) {
        error = errno;
        step = "save the new settings to the disk in " + folder;
    }
    if (error == 0 && rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
        step = "put the new file in place of " + path;
    }
    if (error == 0)
        return true;
    unlink(temporary.c_str());
    return Fail(failure, error, step);
}

bool RemoveSettingsFile(const std::string& path, WriteFailure& failure)
{
    if (unlink(path.c_str()) != 0 && errno != ENOENT)
        return Fail(failure, errno, "remove " + path);
    return true;
}

SettingsFolderLock::~SettingsFolderLock()
{
    if (fd >= 0)
        close(fd);
}

bool SettingsFolderLock::Acquire(const std::string& path, int timeoutMs, WriteFailure& failure)
{
    const std::string folder = FolderOf(path);
    if (!MakeFolder(folder, failure))
        return false;
    if (fd < 0)
        fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Fail(failure, errno, "open the folder " + folder);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline)
            return Fail(failure, errno, "lock the folder " + folder + " against other changes to the settings");
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}
