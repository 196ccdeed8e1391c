// Image entries turned into textures: the header checks, the PNG decoder
// behind them, the kept pixels and the use counts, against a real OpenGL.
#include "FuzzSupport.h"
#include "resources/PakArchive.h"

#include <cstdlib>

using namespace tarnwood;

// The context is made before the first input, so its cost is not counted as
// that input's.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnsureGlContext();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string problem;
    fuzz::EnsureGlContext();
    PakArchive archive;
    if (!archive.AddEntry("image", data, static_cast<std::int32_t>(size), problem))
        return 0;
    const GLuint first = archive.GetTexture("image");
    const GLuint second = archive.GetTexture("image");
    if (first != second || archive.TextureUses("image") != 2)
        std::abort();
    archive.ReleaseTexture(first);
    archive.ReleaseTexture(second);
    // Created again from the kept pixels, or remembered as failed.
    const std::size_t runs = archive.DecoderRuns();
    const GLuint again = archive.GetTexture("image");
    if (archive.DecoderRuns() != runs || (again == 0) != (first == 0))
        std::abort();
    archive.ReleaseTexture(again);
    if (again != 0 && glIsTexture(again))
        std::abort();
    return 0;
}
