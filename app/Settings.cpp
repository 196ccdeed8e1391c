#include "app/Settings.h"

#include "platform/AppDataFolder.h"
#include "resources/LittleEndian.h"

#include <fstream>
#include <sys/stat.h>

namespace tarnwood {

const VideoMode kVideoModes[kVideoModeCount] = {
    {0, 0, 0},       {640, 480, 32},  {800, 600, 32},   {1024, 768, 32},  {1152, 864, 32},
    {1280, 800, 32}, {1280, 960, 32}, {1280, 1024, 32}, {1400, 1050, 32}, {1600, 1200, 32},
};

namespace {

bool ReadBytes(std::istream& in, void* target, std::size_t count)
{
    in.read(static_cast<char*>(target), static_cast<std::streamsize>(count));
    return static_cast<std::size_t>(in.gcount()) == count;
}

bool ReadInt32(std::istream& in, std::int32_t& value)
{
    std::uint8_t b[4];
    if (!ReadBytes(in, b, 4))
        return false;
    value = ReadI32LE(b);
    return true;
}

// Skips a length-prefixed text without allocating for it: the length is
// checked against what the stream still holds by seeking, never by reading.
bool SkipText(std::istream& in)
{
    std::int32_t length = 0;
    if (!ReadInt32(in, length) || length < 0)
        return false;
    const std::streampos here = in.tellg();
    if (here < 0)
        return false;
    in.seekg(0, std::ios::end);
    const std::streampos end = in.tellg();
    if (end < 0 || end - here < length)
        return false;
    in.seekg(here + static_cast<std::streamoff>(length));
    return static_cast<bool>(in);
}

}

Settings::Settings(std::istream& in)
{
    std::int32_t marker = 0;
    if (!ReadInt32(in, marker) || marker != 1)
        return;
    if (!SkipText(in) || !SkipText(in))
        return;
    std::uint8_t byte = 0;
    if (!ReadBytes(in, &byte, 1))
        return;
    exitOnMouseMove = byte;
    std::int32_t reserved = 0;
    if (!ReadInt32(in, reserved))
        return;
    std::int32_t mode = 0;
    if (!ReadInt32(in, mode))
        return;
    displayMode = mode;
    std::uint8_t* flags[] = {&showFrameRate, &showClock,    &analogClock, &clock24Hour,
                             &largeClock,    &showCalendar, &calendarRus};
    for (std::uint8_t* flag : flags) {
        if (!ReadBytes(in, &byte, 1))
            return;
        *flag = byte;
    }
}

const VideoMode& Settings::Mode() const
{
    if (displayMode < 0 || displayMode >= kVideoModeCount)
        return kVideoModes[0];
    return kVideoModes[displayMode];
}

std::string MachineSettingsFilePath()
{
    return MachineAppDataFolder() + "/" + kSettingsFileName;
}

std::string UserSettingsFilePath()
{
    const std::string folder = UserAppDataFolder();
    if (folder.empty())
        return {};
    return folder + "/" + kSettingsFileName;
}

std::string EffectiveSettingsFile(const std::string& userPath, const std::string& machinePath)
{
    struct stat info {};
    if (!userPath.empty() && stat(userPath.c_str(), &info) == 0)
        return userPath;
    return machinePath;
}

std::string SettingsFilePath()
{
    return EffectiveSettingsFile(UserSettingsFilePath(), MachineSettingsFilePath());
}

Settings LoadSettings(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open())
        return Settings();
    return Settings(in);
}

OverlaySettings Settings::Overlays() const
{
    OverlaySettings overlays;
    overlays.showCalendar = showCalendar != 0;
    overlays.calendarRus = calendarRus != 0;
    overlays.showFrameRate = showFrameRate != 0;
    overlays.showClock = showClock != 0;
    overlays.analogClock = analogClock != 0;
    overlays.clock24Hour = clock24Hour != 0;
    overlays.largeClock = largeClock != 0;
    return overlays;
}

}
