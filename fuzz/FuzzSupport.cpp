#include "FuzzSupport.h"

#include <SDL/SDL.h>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <unistd.h>

namespace tarnwood::fuzz {

const std::string& ScratchFolder()
{
    static const std::string folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/tarnwood-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        return pattern;
    }();
    return folder;
}

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::perror(path.c_str());
        std::abort();
    }
    if (size != 0)
        std::fwrite(data, 1, size, file);
    std::fclose(file);
}

void EmptyFolder(const std::string& folder)
{
    std::error_code ignored;
    for (const auto& item : std::filesystem::directory_iterator(folder, ignored))
        std::filesystem::remove_all(item.path(), ignored);
}

void EnsureGlContext()
{
    static bool open = false;
    if (open)
        return;
    // Held for the whole process, so that what the software GL driver keeps
    // is reported under its library name, which the leak suppressions skip.
    for (const char* driver : {"/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", "/usr/lib/dri/swrast_dri.so"}) {
        if (dlopen(driver, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE) != nullptr)
            break;
    }
    if (std::getenv("DISPLAY") == nullptr)
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || SDL_SetVideoMode(32, 32, 32, SDL_OPENGL) == nullptr) {
        std::fprintf(stderr, "fuzz: no OpenGL context: %s\n", SDL_GetError());
        std::abort();
    }
    open = true;
}

std::vector<std::string> SplitWords(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> words;
    if (size == 0)
        return words;
    std::string word;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word.push_back(static_cast<char>(data[i]));
        }
    }
    words.push_back(word);
    return words;
}

}
