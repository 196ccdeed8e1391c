// The command line of the scene program: the words, joined as the program
// receives them, the run mode chosen from them, and the scene options with
// the settings they give and the window they choose.
#include "FuzzSupport.h"
#include "app/RunMode.h"
#include "app/SceneOptions.h"

#include <cstdlib>

using namespace tarnwood;

namespace {

unsigned long RootWindow()
{
    return 0x123;
}

}

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

    SceneOptions options;
    std::string problem;
    if (!ParseSceneOptions(words, options, problem)) {
        if (problem.empty())
            std::abort();
        return 0;
    }
    if (options.delayMicroseconds < 0)
        std::abort();
    ApplySceneOptions(Settings(), options);
    // The last word doubles as the host's XSCREENSAVER_WINDOW.
    unsigned long window = 0;
    const char* environment = words.empty() ? nullptr : words.back().c_str();
    if (ChooseHostWindow(options, environment, RootWindow, window, problem) && options.windowId
        && window != *options.windowId)
        std::abort();
    if (const auto id = ParseWindowId(text); id && (*id == 0 || *id > 0xFFFFFFFFul))
        std::abort();
    return 0;
}
