// The configuration program's command line, against a settings file in the
// scratch folder that each run starts from whatever the last one left.
#include "FuzzSupport.h"
#include "app/ConfigProgram.h"

#include <cstdlib>
#include <sstream>

using namespace tarnwood;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string settingsPath = fuzz::ScratchFolder() + "/settings";
    std::ostringstream out, err;
    const int status = RunConfigProgram(fuzz::SplitWords(data, size), settingsPath, out, err);
    if (status < 0 || status > 2)
        std::abort();
    return 0;
}
