// The configuration program's command line, against a user's and a
// machine-wide settings file in the scratch folder that each run starts from
// whatever the last one left. There is no dialog: asking for one is an error.
#include "FuzzSupport.h"
#include "app/ConfigProgram.h"

#include <cstdlib>
#include <sstream>

using namespace tarnwood;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SettingsLocations locations;
    locations.user = fuzz::ScratchFolder() + "/user/velquist_Tarnwood_cfg";
    locations.machine = fuzz::ScratchFolder() + "/machine/velquist_Tarnwood_cfg";
    std::ostringstream out, err;
    const int status = RunConfigProgram(fuzz::SplitWords(data, size), locations, out, err);
    if (status < 0 || status > 2)
        std::abort();
    return 0;
}
