// The command line of the scene program: the words, joined as the program
// receives them, and the run mode chosen from them.
#include "FuzzSupport.h"
#include "app/RunMode.h"

#include <cstdlib>

using namespace tarnwood;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> words = fuzz::SplitWords(data, size);
    std::vector<const char*> argv = {"Tarnwood"};
    for (const std::string& word : words)
        argv.push_back(word.c_str());
    const std::string text = JoinArguments(static_cast<int>(argv.size()), argv.data());
    const CommandLine line = ParseCommandLine(text);
    if (line.mode != RunMode::Preview && line.mode != RunMode::Scene && line.mode != RunMode::Screensaver
        && line.mode != RunMode::Configuration)
        std::abort();
    return 0;
}
