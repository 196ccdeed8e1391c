// The archive tool's command line. It runs inside a folder of its own
// holding a small archive and a loose file; words that could reach outside
// that folder (a '/' or a leading '.') are left out, so the tool cannot be
// steered into writing elsewhere.
#include "FuzzSupport.h"
#include "resources/PakArchive.h"
#include "resources/PakTool.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <unistd.h>

using namespace tarnwood;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string problem;
    static const std::string folder = [] {
        const std::string dir = fuzz::ScratchFolder() + "/tool";
        std::filesystem::create_directories(dir);
        if (chdir(dir.c_str()) != 0)
            std::abort();
        return dir;
    }();
    std::vector<std::string> words = fuzz::SplitWords(data, size);
    for (const std::string& word : words) {
        if (word.find('/') != std::string::npos || (!word.empty() && word[0] == '.'))
            return 0;
    }
    fuzz::EmptyFolder(folder);
    PakArchive archive;
    archive.AddEntry("one", "1", 1, problem);
    archive.AddEntry("two", "22", 2, problem);
    archive.Save("a.pak", problem);
    const std::uint8_t loose[] = {'l', 'o', 'o', 's', 'e'};
    fuzz::WriteFile("f.txt", loose, sizeof loose);
    std::ostringstream out, err;
    const int status = PakTool::Run(words, out, err);
    if (status != PakTool::success && status != PakTool::failure && status != PakTool::badUsage)
        std::abort();
    return 0;
}
