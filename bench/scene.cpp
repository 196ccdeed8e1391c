// Frame cost, heap allocations and start-up of the real scene, each next to
// the bare clear + swap loop measured in the same run.
//
//   bench_scene frames [--rounds R] [--frames K] [--no-multisample]
//     R alternating rounds of K bare frames and K scene frames (after the
//     delayed model has joined); prints CPU and wall milliseconds per frame,
//     min and median over the rounds, their ratios, and the heap allocations
//     per steady frame of each.
//   bench_scene startup bare|scene [--no-multisample]
//     One measurement per process (a GL context is made once): milliseconds
//     from the video mode being set to the first buffer swap returning, for
//     the bare loop or for the scene build plus its first frame.
//
// Needs an X display (run under xvfb-run); scripts/bench.sh drives it.

#include "app/Display.h"
#include "app/MainLoop.h"
#include "app/Settings.h"
#include "content/TreeScene.h"
#include "proctex/ProceduralTextureManager.h"
#include "resources/ResourceManager.h"
#include "resources/TransparentList.h"
#include "scene/WallClock.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <execinfo.h>
#include <link.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <initializer_list>
#include <string>
#include <vector>

// Counting every heap allocation of the process, the GL driver's threads
// included: the C allocator's entry points are wrapped around glibc's own.
// Sanitizer builds keep their own allocator and count nothing.
#if defined(__SANITIZE_ADDRESS__)
#define TARNWOOD_COUNT_ALLOCATIONS 0
#else
#define TARNWOOD_COUNT_ALLOCATIONS 1
#endif

namespace {
std::atomic<long> allocations{0};

// Who asked for an allocation, judged by its call stack: the OpenGL driver
// (Mesa, its LLVM and its threads) when the driver is on the stack, SDL or
// X when they are and the driver is not, else this program (scene, resources,
// content and the C++ library on their behalf).
enum Caller { kDriver, kWindowSystem, kProgram, kCallers };
std::atomic<long> byCaller[kCallers];
std::atomic<bool> attributing{false};

struct CodeRange {
    std::uintptr_t begin;
    std::uintptr_t end;
    Caller caller;
};
std::vector<CodeRange> codeRanges;
}

#if TARNWOOD_COUNT_ALLOCATIONS
namespace {
thread_local bool inAttribution = false;

bool NameHasAny(const char* name, std::initializer_list<const char*> parts)
{
    for (const char* part : parts) {
        if (std::strstr(name, part) != nullptr)
            return true;
    }
    return false;
}

// Records the executable segments of every loaded object with the caller
// it stands for. Objects loaded later (none while frames run) and generated
// code are in no range and count as the driver's: llvmpipe's shaders.
void MapCodeRanges()
{
    codeRanges.clear();
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            const char* name = info->dlpi_name != nullptr ? info->dlpi_name : "";
            Caller caller = kProgram;
            if (NameHasAny(name,
                           {"dri", "gallium", "GLX_mesa", "glapi", "LLVM", "libGL", "libdrm", "libzstd", "libelf",
                            "libffi", "libedit", "libxml", "libsensors", "libexpat"}))
                caller = kDriver;
            else if (NameHasAny(name, {"SDL", "libX", "libxcb", "libxshm", "libXau", "libXdmcp", "libbsd"}))
                caller = kWindowSystem;
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                const ElfW(Phdr)& segment = info->dlpi_phdr[i];
                if (segment.p_type == PT_LOAD && (segment.p_flags & PF_X) != 0) {
                    const std::uintptr_t begin = info->dlpi_addr + segment.p_vaddr;
                    codeRanges.push_back({begin, begin + segment.p_memsz, caller});
                }
            }
            return 0;
        },
        nullptr);
    void* warm[4];
    backtrace(warm, 4);  // loads the unwinder now, not inside a counted frame
}

void Attribute()
{
    if (!attributing.load(std::memory_order_relaxed) || inAttribution)
        return;
    inAttribution = true;
    void* frames[48];
    const int depth = backtrace(frames, 48);
    bool driver = false;
    bool windowSystem = false;
    for (int i = 1; i < depth; ++i) {
        const auto address = reinterpret_cast<std::uintptr_t>(frames[i]);
        Caller caller = kDriver;
        for (const CodeRange& range : codeRanges) {
            if (address >= range.begin && address < range.end) {
                caller = range.caller;
                break;
            }
        }
        driver = driver || caller == kDriver;
        windowSystem = windowSystem || caller == kWindowSystem;
    }
    byCaller[driver ? kDriver : windowSystem ? kWindowSystem : kProgram].fetch_add(1, std::memory_order_relaxed);
    inAttribution = false;
}
}

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);

void* malloc(size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    Attribute();
    return __libc_malloc(size);
}
void* calloc(size_t count, size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    Attribute();
    return __libc_calloc(count, size);
}
void* realloc(void* block, size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    Attribute();
    return __libc_realloc(block, size);
}
void* memalign(size_t alignment, size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    Attribute();
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(size_t alignment, size_t size)
{
    return memalign(alignment, size);
}
int posix_memalign(void** out, size_t alignment, size_t size)
{
    void* block = memalign(alignment, size);
    if (block == nullptr)
        return 12;  // ENOMEM
    *out = block;
    return 0;
}
}
#endif

namespace tarnwood {
namespace {

double Seconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double CpuSeconds()
{
    return Seconds(CLOCK_PROCESS_CPUTIME_ID);
}
double WallSeconds()
{
    return Seconds(CLOCK_MONOTONIC);
}

struct Options {
    std::string mode;
    std::string variant;
    int rounds = 5;
    int frames = 20;
    bool multisample = true;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    if (argc < 2)
        return false;
    options.mode = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--no-multisample")
            options.multisample = false;
        else if (arg == "--rounds" && i + 1 < argc)
            options.rounds = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--frames" && i + 1 < argc)
            options.frames = std::max(1, std::atoi(argv[++i]));
        else if (arg == "bare" || arg == "scene")
            options.variant = arg;
        else
            return false;
    }
    if (options.mode == "startup")
        return !options.variant.empty();
    return options.mode == "frames";
}

// The display as the scene mode opens it, with or without multisampling.
std::unique_ptr<Display> OpenDisplay(bool multisample)
{
    DisplayOptions options;
    options.multisample = multisample;
    return std::make_unique<Display>(0, 0, 0, options);
}

void DrainEvents()
{
    SDL_Event event;
    while (SDL_PollEvent(&event)) {}
}

void BareFrame()
{
    DrainEvents();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_GL_SwapBuffers();
}

int NodeCount(const SceneNode& node)
{
    int count = 1;
    for (const auto& child : node.children)
        count += NodeCount(*child);
    return count;
}

int NodeCount(const SceneRoots& roots)
{
    return NodeCount(*roots.worldRoot) + NodeCount(*roots.overlayRoot);
}

void Prepare()
{
    ResourceManager::Instance();
    ProceduralTextureManager::Instance();
    TransparentList::Instance();
    std::srand(1);
    ResourceManager::Instance().SetBasePath(TARNWOOD_INSTALL_DIR "/");
    std::tm moment{};
    moment.tm_year = 2026 - 1900;
    moment.tm_mon = 2;
    moment.tm_mday = 14;
    moment.tm_hour = 10;
    moment.tm_min = 59;
    moment.tm_sec = 40;
    moment.tm_isdst = -1;
    WallClock::Instance().FixLocal(moment, true);
}

struct Stats {
    double min;
    double median;
};

Stats Summarise(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return {values.front(), values[values.size() / 2]};
}

int RunFrames(const Options& options)
{
    Prepare();
    auto display = OpenDisplay(options.multisample);
    SceneRoots roots = BuildTreeScene(Settings{}.Overlays(), display->Edges());

    // Reach the steady scene cheaply: everything past the first frame is
    // clipped away until the delayed model has joined.
    std::uint32_t tick = 0;
    RenderFrame(roots, tick);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 1, 1);
    while (tick < 62000) {
        tick += 50;
        RenderFrame(roots, tick);
    }
    glDisable(GL_SCISSOR_TEST);
    for (int i = 0; i < 30; ++i) {
        tick += 16;
        RenderFrame(roots, tick);
        SDL_GL_SwapBuffers();
        BareFrame();
    }

    std::vector<double> bareCpu, sceneCpu, bareWall, sceneWall;
    long bareAllocations = 0, steadyAllocations = 0, nodeAllocations = 0;
    int bareFrames = 0, steadyFrames = 0, nodeFrames = 0;
    for (int round = 0; round < options.rounds; ++round) {
        double cpu = CpuSeconds();
        double wall = WallSeconds();
        for (int i = 0; i < options.frames; ++i) {
            const long before = allocations.load();
            BareFrame();
            bareAllocations += allocations.load() - before;
            ++bareFrames;
        }
        bareCpu.push_back((CpuSeconds() - cpu) * 1000.0 / options.frames);
        bareWall.push_back((WallSeconds() - wall) * 1000.0 / options.frames);

        cpu = CpuSeconds();
        wall = WallSeconds();
        for (int i = 0; i < options.frames; ++i) {
            const int nodesBefore = NodeCount(roots);
            const long before = allocations.load();
            DrainEvents();
            tick += 16;
            RenderFrame(roots, tick);
            SDL_GL_SwapBuffers();
            const long made = allocations.load() - before;
            if (NodeCount(roots) > nodesBefore) {
                nodeAllocations += made;
                ++nodeFrames;
            } else {
                steadyAllocations += made;
                ++steadyFrames;
            }
        }
        sceneCpu.push_back((CpuSeconds() - cpu) * 1000.0 / options.frames);
        sceneWall.push_back((WallSeconds() - wall) * 1000.0 / options.frames);
    }

    // Who makes the steady frames' allocations, in frames of their own so that
    // the stack walks cost the timed rounds nothing.
    long attributed[kCallers] = {};
    int attributedFrames = 0;
    long nodeFramesByProgram = 0;
    int attributedNodeFrames = 0;
#if TARNWOOD_COUNT_ALLOCATIONS
    MapCodeRanges();
    for (int i = 0; i < 2 * options.frames; ++i) {
        const int nodesBefore = NodeCount(roots);
        long before[kCallers];
        for (int c = 0; c < kCallers; ++c)
            before[c] = byCaller[c].load();
        attributing = true;
        DrainEvents();
        tick += 16;
        RenderFrame(roots, tick);
        SDL_GL_SwapBuffers();
        attributing = false;
        if (NodeCount(roots) > nodesBefore) {
            nodeFramesByProgram += byCaller[kProgram].load() - before[kProgram];
            ++attributedNodeFrames;
            continue;
        }
        for (int c = 0; c < kCallers; ++c)
            attributed[c] += byCaller[c].load() - before[c];
        ++attributedFrames;
    }
#endif

    const Stats bc = Summarise(bareCpu), sc = Summarise(sceneCpu);
    const Stats bw = Summarise(bareWall), sw = Summarise(sceneWall);
    std::vector<double> cpuRatios, wallRatios;
    for (std::size_t i = 0; i < sceneCpu.size(); ++i) {
        cpuRatios.push_back(sceneCpu[i] / bareCpu[i]);
        wallRatios.push_back(sceneWall[i] / bareWall[i]);
    }
    const Stats cr = Summarise(cpuRatios), wr = Summarise(wallRatios);
    const char* label = options.multisample ? "multisampled" : "no multisampling";
    std::printf("frame %dx%d %s, %d rounds x %d frames (min / median)\n", display->Width(), display->Height(), label,
                options.rounds, options.frames);
    std::printf("  CPU ms/frame   scene %7.2f / %7.2f   bare %7.2f / %7.2f   ratio %5.2f / %5.2f\n", sc.min, sc.median,
                bc.min, bc.median, cr.min, cr.median);
    std::printf("  wall ms/frame  scene %7.2f / %7.2f   bare %7.2f / %7.2f   ratio %5.2f / %5.2f\n", sw.min, sw.median,
                bw.min, bw.median, wr.min, wr.median);
    std::printf("  frames/s       scene %7.1f (best) %7.1f (median)   bare %7.1f / %7.1f\n", 1000.0 / sw.min,
                1000.0 / sw.median, 1000.0 / bw.min, 1000.0 / bw.median);
    if (TARNWOOD_COUNT_ALLOCATIONS) {
        std::printf("  allocations/frame  scene steady %.2f (%d frames)   bare %.2f (%d frames)"
                    "   frames adding nodes %.1f (%d frames)\n",
                    steadyFrames ? static_cast<double>(steadyAllocations) / steadyFrames : 0.0, steadyFrames,
                    static_cast<double>(bareAllocations) / bareFrames, bareFrames,
                    nodeFrames ? static_cast<double>(nodeAllocations) / nodeFrames : 0.0, nodeFrames);
        const double frames = attributedFrames > 0 ? attributedFrames : 1.0;
        std::printf("  allocations/steady frame by caller  GL driver %.2f   SDL and X %.2f   this program %.2f"
                    " (%d frames; frames adding nodes: this program %.1f, %d frames)\n",
                    attributed[kDriver] / frames, attributed[kWindowSystem] / frames, attributed[kProgram] / frames,
                    attributedFrames,
                    attributedNodeFrames ? static_cast<double>(nodeFramesByProgram) / attributedNodeFrames : 0.0,
                    attributedNodeFrames);
    }

    roots.worldRoot.reset();
    roots.overlayRoot.reset();
    display.reset();
    return 0;
}

int RunStartup(const Options& options)
{
    Prepare();
    // As the scene mode does: the archives are read while the display opens.
    if (options.variant == "scene")
        ResourceManager::Instance().ReadAhead(SceneArchives(Settings{}.Overlays()));
    auto display = OpenDisplay(options.multisample);
    const double start = WallSeconds();
    SceneRoots roots;
    double built = start;
    if (options.variant == "scene") {
        roots = BuildTreeScene(Settings{}.Overlays(), display->Edges());
        built = WallSeconds();
        RenderFrame(roots, SDL_GetTicks());
        SDL_GL_SwapBuffers();
    } else {
        BareFrame();
    }
    const double elapsed = WallSeconds() - start;
    std::printf("startup %s %.2f ms", options.variant.c_str(), elapsed * 1000.0);
    if (options.variant == "scene")
        std::printf(" (scene build %.2f ms, first frame %.2f ms)", (built - start) * 1000.0,
                    (elapsed - (built - start)) * 1000.0);
    std::printf("\n");
    roots.worldRoot.reset();
    roots.overlayRoot.reset();
    display.reset();
    return 0;
}

}
}

int main(int argc, char** argv)
{
    tarnwood::Options options;
    if (!tarnwood::ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: bench_scene frames [--rounds R] [--frames K] [--no-multisample]\n"
                     "       bench_scene startup bare|scene [--no-multisample]\n");
        return 2;
    }
    return options.mode == "frames" ? tarnwood::RunFrames(options) : tarnwood::RunStartup(options);
}
