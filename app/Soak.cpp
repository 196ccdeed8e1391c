#include "app/Soak.h"

#include "app/Display.h"
#include "app/Entry.h"
#include "app/MainLoop.h"
#include "app/NumberArgument.h"
#include "app/Settings.h"
#include "content/FallingLeaf.h"
#include "platform/RegistryString.h"
#include "proctex/ProceduralTextureManager.h"
#include "resources/ResourceManager.h"
#include "scene/FrameTick.h"
#include "scene/WallClock.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iomanip>
#include <malloc.h>
#include <memory>
#include <set>
#include <sys/resource.h>
#include <unistd.h>

namespace tarnwood {

namespace {

const char* const usageText = "usage: tarnwood-soak [--hours H] [--step-ms MS] [--draw-every N] [--size WxH]\n"
                              "                     [--seed N] [--rss-slack-kib K]\n"
                              "Runs the real scene for H simulated hours (default 24) in frames of MS simulated\n"
                              "milliseconds (default 100), drawing one frame in N (default 1000) into a small\n"
                              "window and updating the scene without drawing in the others. Prints one row per\n"
                              "simulated hour: leaves, nodes, archives, references, texture uses, resident memory.\n"
                              "Exit status 0 when, after the first hour, the resident memory never rose more than\n"
                              "K KiB (default 1024) above that hour's figure and stayed within +-K KiB of its middle,\n"
                              "and the scene gave back everything at the end; 1 otherwise.\n"
                              "Needs an X display; uses the archives of its install directory.\n";

struct Options {
    long hours = 24;
    long stepMs = 100;
    long drawEvery = 1000;
    int width = 160;
    int height = 120;
    unsigned seed = 1;
    long rssSlackKiB = 1024;
};

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& problem)
{
    for (std::size_t i = 0; i < args.size(); i += 2) {
        const std::string& name = args[i];
        if (i + 1 >= args.size()) {
            problem = "missing value after " + name;
            return false;
        }
        const std::string& value = args[i + 1];
        long number = 0;
        // frameTick is 32-bit milliseconds: 49 days at most.
        if (name == "--hours" && ParseNumber(value, 1, 1000, number))
            options.hours = number;
        else if (name == "--step-ms" && ParseNumber(value, 1, 10000, number))
            options.stepMs = number;
        else if (name == "--draw-every" && ParseNumber(value, 1, 1000000000, number))
            options.drawEvery = number;
        else if (name == "--seed" && ParseNumber(value, 0, 0xFFFFFFFFL, number))
            options.seed = static_cast<unsigned>(number);
        else if (name == "--rss-slack-kib" && ParseNumber(value, 0, 1L << 30, number))
            options.rssSlackKiB = number;
        else if (name == "--size") {
            long w = 0;
            long h = 0;
            const std::size_t x = value.find('x');
            if (x == std::string::npos || !ParseNumber(value.substr(0, x), 16, 4096, w)
                || !ParseNumber(value.substr(x + 1), 16, 4096, h)) {
                problem = "bad --size " + value + " (expected WxH)";
                return false;
            }
            options.width = static_cast<int>(w);
            options.height = static_cast<int>(h);
        } else if (name == "--hours" || name == "--step-ms" || name == "--draw-every" || name == "--seed"
                   || name == "--rss-slack-kib") {
            problem = "bad value for " + name + ": " + value;
            return false;
        } else {
            problem = "unknown option " + name;
            return false;
        }
    }
    return true;
}

int CountNodes(const SceneNode& node)
{
    int count = 1;
    for (const auto& child : node.children)
        count += CountNodes(*child);
    return count;
}

// The node whose track spawns the leaves; its children are the leaves.
const SceneNode* FindLeafSpawner(const SceneNode& node)
{
    for (const AnimationTrack& track : node.animations.tracks)
        if (track.behaviour == FallingLeafBehaviour)
            return &node;
    for (const auto& child : node.children)
        if (const SceneNode* found = FindLeafSpawner(*child))
            return found;
    return nullptr;
}

const char* const sceneArchives[] = {"main.pak", "utils.pak", "debug.pak", "clock.pak", "calendar.pak"};

void PrintHeader(std::ostream& out)
{
    out << "| hour | frames | leaves | nodes | archives | archive refs | archive texture uses"
           " | procedural textures | procedural refs | resident KiB | heap in use KiB | real s | CPU s |\n"
           "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
}

void PrintRow(std::ostream& out, const SoakSample& s)
{
    out << "| " << std::fixed << std::setprecision(0) << s.simulatedHours << " | " << s.frames << " | " << s.leaves
        << " | " << s.nodes << " | " << s.archivesLoaded << " | " << s.archiveReferences << " | " << s.archiveTextureUses
        << " | " << s.proceduralTextures << " | " << s.proceduralReferences << " | " << s.residentKiB << " | "
        << s.heapInUseKiB << " | " << std::setprecision(1) << s.seconds << " | " << s.cpuSeconds << " |" << std::endl;
}

}

void UpdateFrame(SceneRoots& roots, std::uint32_t tick)
{
    frameTick = tick;
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -100.0f);
    roots.worldRoot->Update();
    roots.overlayRoot->Update();
}

double CpuSeconds()
{
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0)
        return 0;
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

long ResidentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long sizePages = 0;
    long residentPages = 0;
    if (!(statm >> sizePages >> residentPages))
        return 0;
    return residentPages * (sysconf(_SC_PAGESIZE) / 1024);
}

SoakSample MeasureScene(const SceneRoots& roots)
{
    SoakSample sample;
    if (roots.worldRoot) {
        sample.nodes += CountNodes(*roots.worldRoot);
        if (const SceneNode* spawner = FindLeafSpawner(*roots.worldRoot))
            sample.leaves = static_cast<int>(spawner->children.size());
    }
    if (roots.overlayRoot)
        sample.nodes += CountNodes(*roots.overlayRoot);
    const ResourceManager& resources = ResourceManager::Instance();
    sample.archivesLoaded = static_cast<int>(resources.ArchiveCount());
    for (const char* name : sceneArchives) {
        sample.archiveReferences += resources.ReferenceCount(name);
        const PakArchive* archive = resources.FindArchive(name);
        if (archive == nullptr)
            continue;
        std::set<std::string> seen;
        for (std::size_t i = 0; i < archive->EntryCount(); ++i)
            if (seen.insert(archive->EntryName(i)).second)
                sample.archiveTextureUses += archive->TextureUses(archive->EntryName(i));
    }
    const ProceduralTextureManager& procedural = ProceduralTextureManager::Instance();
    sample.proceduralTextures = static_cast<int>(procedural.TextureCount());
    sample.proceduralReferences = procedural.TotalReferenceCount();
    sample.residentKiB = ResidentKiB();
    // Live heap blocks of the whole process (the GL driver's included): flat
    // here while the resident set moves means fragmentation, not objects kept.
    const struct mallinfo2 heap = mallinfo2();
    sample.heapInUseKiB = static_cast<long>((heap.uordblks + heap.hblkhd) / 1024);
    return sample;
}

int RunSoak(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            out << usageText;
            return 0;
        }
    }
    Options options;
    std::string problem;
    if (!ParseOptions(args, options, problem)) {
        err << "tarnwood-soak: " << problem << '\n' << usageText;
        return 2;
    }

    // A window of the surface's own size, drawn into directly.
    setenv("SDL12COMPAT_OPENGL_SCALING", "0", 0);
    StartProcessObjects();
    ResourceManager::Instance().SetBasePath(InstallDirectory().Text());
    std::srand(options.seed);
    // 23:30 on the last day of a month: the first hour crosses a day, a
    // month and the 12/24-hour change, and later hours every hour digit.
    std::tm start{};
    start.tm_year = 2026 - 1900;
    start.tm_mon = 0;
    start.tm_mday = 31;
    start.tm_hour = 23;
    start.tm_min = 30;
    start.tm_isdst = -1;
    WallClock::Instance().FixLocal(start, true);

    Settings settings;
    settings.showFrameRate = 1;
    // The soak reads no input. In a window this small, pointer warping for
    // relative motion can post motion events as fast as they are drained.
    setenv("SDL_MOUSE_RELATIVE_MODE_WARP", "0", 1);
    auto display = std::make_unique<Display>(options.width, options.height, 32);
    SceneRoots roots = BuildTreeScene(settings.Overlays(), display->Edges());

    const auto began = std::chrono::steady_clock::now();
    const auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count(); };
    const std::uint64_t framesPerHour = 3600000 / static_cast<std::uint64_t>(options.stepMs);
    const std::uint64_t totalFrames = framesPerHour * static_cast<std::uint64_t>(options.hours);
    out << "Simulated " << options.hours << " h in frames of " << options.stepMs << " ms, one in " << options.drawEvery
        << " drawn at " << options.width << "x" << options.height << "\n\n";
    PrintHeader(out);
    std::vector<SoakSample> samples;
    for (std::uint64_t frame = 1; frame <= totalFrames; ++frame) {
        const auto tick = static_cast<std::uint32_t>(frame * static_cast<std::uint64_t>(options.stepMs));
        if (frame % static_cast<std::uint64_t>(options.drawEvery) == 0) {
            SDL_Event event;
            while (SDL_PollEvent(&event)) {}
            RenderFrame(roots, tick);
            SDL_GL_SwapBuffers();
        } else {
            UpdateFrame(roots, tick);
        }
        if (frame % framesPerHour == 0) {
            SoakSample sample = MeasureScene(roots);
            sample.simulatedHours = static_cast<double>(frame / framesPerHour);
            sample.frames = frame;
            sample.seconds = elapsed();
            sample.cpuSeconds = CpuSeconds();
            PrintRow(out, sample);
            samples.push_back(sample);
        }
    }

    // The ending as the main loop does it: kill both roots and keep drawing
    // until the kill protocol has emptied them.
    roots.worldRoot->Kill();
    roots.overlayRoot->Kill();
    std::uint32_t tick = static_cast<std::uint32_t>(totalFrames * static_cast<std::uint64_t>(options.stepMs));
    int endingFrames = 0;
    while (!(roots.worldRoot->dead && roots.overlayRoot->dead) && endingFrames < 100) {
        RenderFrame(roots, tick += static_cast<std::uint32_t>(options.stepMs));
        SDL_GL_SwapBuffers();
        ++endingFrames;
    }
    const bool ended = roots.worldRoot->dead && roots.overlayRoot->dead;
    roots.worldRoot.reset();
    roots.overlayRoot.reset();
    const SoakSample after = MeasureScene(roots);
    display.reset();

    // The first hour is the warm-up (archives, textures, the delayed model,
    // the allocator's caches); from its end on the resident set must stay
    // flat: never more than the slack above the first hour's figure, and all
    // later figures within the slack either side of their middle.
    const long first = samples.empty() ? 0 : samples.front().residentKiB;
    long lowest = first;
    long highest = first;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        lowest = i == 1 ? samples[i].residentKiB : std::min(lowest, samples[i].residentKiB);
        highest = i == 1 ? samples[i].residentKiB : std::max(highest, samples[i].residentKiB);
    }
    const long growth = highest - first;
    const long spread = highest - lowest;
    const bool memoryFlat = growth <= options.rssSlackKiB && spread <= 2 * options.rssSlackKiB;
    const bool allGivenBack = ended && after.archivesLoaded == 0 && after.archiveReferences == 0
        && after.proceduralTextures == 0 && after.proceduralReferences == 0;
    out << "\nResident memory: " << first << " KiB after the first hour, then " << lowest << " to " << highest
        << " KiB: growth " << growth << " KiB, spread " << spread << " KiB (allowed: growth " << options.rssSlackKiB
        << ", spread " << 2 * options.rssSlackKiB << "): " << (memoryFlat ? "flat" : "NOT FLAT") << "\n";
    out << "Ending: both roots dead after " << endingFrames << " frames: " << (ended ? "yes" : "NO")
        << "; left held: " << after.archivesLoaded << " archives, " << after.archiveReferences
        << " archive references, " << after.proceduralTextures << " procedural textures, " << after.proceduralReferences
        << " procedural references\n";
    out << "Real time: " << std::fixed << std::setprecision(1) << elapsed() << " s, CPU time " << CpuSeconds()
        << " s (all threads, the GL driver's included)\n";
    return memoryFlat && allGivenBack ? 0 : 1;
}

}
