// Mesa loads its software driver when the first GL context is made and
// unloads it when SDL closes the display. What the driver keeps until then
// would show up in the leak checker's report under no library name, so no
// suppression could match it. Holding the driver for the whole test process
// lets the report name it (and the suppression file skip it).
#include <dlfcn.h>

namespace {

struct KeepGlDriverLoaded {
    KeepGlDriverLoaded()
    {
        const char* candidates[] = {
            "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so",
            "/usr/lib/dri/swrast_dri.so",
        };
        for (const char* path : candidates) {
            if (dlopen(path, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE) != nullptr)
                return;
        }
    }
} keepGlDriverLoaded;

}
