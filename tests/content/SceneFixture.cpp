#include "SceneFixture.h"

#include "app/Soak.h"
#include "content/Calendar.h"
#include "content/Clock.h"
#include "content/FrameRate.h"
#include "scene/FrameTick.h"
#include "scene/WallClock.h"
#include "support/LocalTime.h"

#include <cstdlib>

namespace tarnwood::test {

void SceneFixture::SetUp()
{
    ResourceManager::Instance().SetBasePath(TARNWOOD_INSTALL_DIR "/");
    // A window of the surface's own size: SDL's scaling path keeps a few
    // bytes of its own that the leak checker cannot name.
    setenv("SDL12COMPAT_OPENGL_SCALING", "0", 1);
    display = std::make_unique<Display>(160, 120, 32);
    ResetShownClockValues();
    shownDay = -1;
    framesCounted = 0;
    // Each test's scene starts at tick 0; a tick left from a long run would
    // make the first frame one huge step.
    frameTick = 0;
    std::srand(7);
}

void SceneFixture::TearDown()
{
    roots.worldRoot.reset();
    roots.overlayRoot.reset();
    display.reset();
    WallClock::Instance().Release();
}

void SceneFixture::Build(const Settings& settings)
{
    roots = BuildTreeScene(settings.Overlays(), display->Edges());
}

void SceneFixture::Frame(std::uint32_t tick)
{
    RenderFrame(roots, tick);
    lastTick = tick;
}

void SceneFixture::UpdateOnlyFrame(std::uint32_t tick)
{
    UpdateFrame(roots, tick);
    lastTick = tick;
}

void SceneFixture::FramesUntil(std::uint32_t until, std::uint32_t step)
{
    while (lastTick + step <= until)
        Frame(lastTick + step);
    if (lastTick < until)
        Frame(until);
}

void SceneFixture::FixTime(int year, int month, int day, int hour, int minute, int second, bool advance)
{
    WallClock::Instance().FixLocal(LocalTime(year, month, day, hour, minute, second), advance);
}

std::string EntryOf(const SceneNode& node, const std::string& archive)
{
    if (node.meshes.empty())
        return "";
    const PakArchive* pak = ResourceManager::Instance().FindArchive(archive);
    if (pak == nullptr)
        return "?";
    const std::uint8_t* data = node.meshes.front()->MaterialBytes();
    for (std::size_t i = 0; i < pak->EntryCount(); ++i) {
        const PakEntryView view = pak->EntryAt(i);
        if (data >= view.bytes && data < view.bytes + view.size)
            return pak->EntryName(i);
    }
    return "?";
}

int CountNodes(const SceneNode& node)
{
    int count = 1;
    for (const auto& child : node.children)
        count += CountNodes(*child);
    return count;
}

}
