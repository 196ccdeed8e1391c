// Entry names extracted by the archive tool: whatever the names, nothing may
// be written outside the target folder. The input is the names, separated by
// NUL bytes; each entry holds one byte.
#include "FuzzSupport.h"
#include "resources/PakArchive.h"
#include "resources/PakTool.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

using namespace tarnwood;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string problem;
    static const std::string root = fuzz::ScratchFolder() + "/extract";
    std::filesystem::create_directories(root);
    const std::string archivePath = fuzz::ScratchFolder() + "/names.pak";
    PakArchive archive;
    for (const std::string& name : fuzz::SplitWords(data, size)) {
        if (!archive.AddEntry(name, "x", 1, problem))
            return 0;
    }
    if (!archive.Save(archivePath, problem))
        return 0;
    std::ostringstream out, err;
    PakTool::Run({"extract", archivePath, root + "/out"}, out, err);
    // Only the target folder may have appeared next to it, and nothing
    // may have been created in the scratch folder around it.
    for (const auto& item : std::filesystem::directory_iterator(root)) {
        if (item.path().filename() != "out")
            std::abort();
    }
    for (const auto& item : std::filesystem::directory_iterator(fuzz::ScratchFolder())) {
        const std::string name = item.path().filename().string();
        if (name != "extract" && name != "names.pak")
            std::abort();
    }
    fuzz::EmptyFolder(root);
    return 0;
}
