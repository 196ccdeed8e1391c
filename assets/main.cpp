// The content baker: generates every archive the scene loads and writes them
// into the folder given as the only argument.

#include "assets/ArchiveContent.h"
#include "assets/ArchiveWriter.h"
#include "assets/TextRenderer.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argv[0]);
        return 2;
    }
    const std::string directory = argv[1];
    // Without its fonts every lettering image would come out blank, so a
    // missing font stops the bake instead.
    for (const char* font : {"DejaVuSans-Bold.ttf", "DejaVuSans.ttf"}) {
        if (!tarnwood::TextRenderer(tarnwood::FontPath(font)).IsOpen()) {
            std::fprintf(stderr, "tarnwood-bake: cannot open the font %s (package fonts-dejavu-core)\n",
                         tarnwood::FontPath(font).c_str());
            return 1;
        }
    }
    using Builder = tarnwood::ArchiveContent (*)();
    const Builder builders[] = {
        tarnwood::BuildMainArchive,  tarnwood::BuildDebugArchive,    tarnwood::BuildUtilsArchive,
        tarnwood::BuildClockArchive, tarnwood::BuildCalendarArchive,
    };
    for (Builder build : builders) {
        const tarnwood::ArchiveContent content = build();
        std::string error;
        if (!tarnwood::WriteArchive(content, directory, error)) {
            std::fprintf(stderr, "tarnwood-bake: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
