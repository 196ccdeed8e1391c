// The binary settings file as the scene reads it.
#include "app/Settings.h"

#include <cstdlib>
#include <sstream>

using namespace tarnwood;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const Settings settings(in);
    const int width = settings.ModeWidth();
    const int height = settings.ModeHeight();
    if (width < 0 || height < 0 || settings.ModeDepth() < 0)
        std::abort();
    return 0;
}
