// Procedural texture descriptions, as mesh records name them.
#include "proctex/TextureDescription.h"

#include <cstdlib>

using namespace tarnwood;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto description = ParseTextureDescription(std::string(reinterpret_cast<const char*>(data), size));
    if (description && (description->width < 1 || description->height < 1))
        std::abort();
    if (description && description->kind == TextureDescription::Kind::Fire
        && (description->width < 3 || description->height < 2))
        std::abort();
    return 0;
}
