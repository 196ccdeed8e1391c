// Archive files as the scene reads them: load, look every entry up by name,
// and write the archive back out.
#include "FuzzSupport.h"
#include "resources/PakArchive.h"

#include <cstdlib>

using namespace tarnwood;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzz::ScratchFolder() + "/input.pak";
    fuzz::WriteFile(path, data, size);
    std::string error;
    const auto archive = PakArchive::Load(path, error);
    if (!archive)
        return error.empty() ? (std::abort(), 0) : 0;
    for (std::size_t i = 0; i < archive->EntryCount(); ++i) {
        const PakEntryView view = archive->GetEntry(archive->EntryName(i));
        if (view.bytes == nullptr || view.size > size)
            std::abort();
    }
    if (!archive->Save(fuzz::ScratchFolder() + "/saved.pak", error) && archive->EntryCount() > 0 && error.empty())
        std::abort();
    return 0;
}
