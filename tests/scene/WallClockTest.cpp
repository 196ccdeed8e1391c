#include "SceneTestFixture.h"

#include "scene/WallClock.h"
#include "support/LocalTime.h"

#include <cstdlib>

namespace tarnwood {
namespace {

using test::SceneTest;

using test::LocalTime;

using WallClockTest = SceneTest;

TEST_F(WallClockTest, FixedMomentStaysOrAdvancesWithTheFrameTick)
{
    frameTick = 40000;
    WallClock::Instance().FixLocal(LocalTime(2026, 12, 31, 23, 59, 58), false);
    frameTick = 90000;
    std::tm now = LocalNow();
    EXPECT_EQ(now.tm_year, 126);
    EXPECT_EQ(now.tm_hour, 23);
    EXPECT_EQ(now.tm_sec, 58);

    frameTick = 40000;
    WallClock::Instance().FixLocal(LocalTime(2026, 12, 31, 23, 59, 58), true);
    frameTick = 41999;
    EXPECT_EQ(LocalNow().tm_sec, 59);
    frameTick = 42000;
    now = LocalNow();
    EXPECT_EQ(now.tm_year, 127);
    EXPECT_EQ(now.tm_mon, 0);
    EXPECT_EQ(now.tm_mday, 1);
    EXPECT_EQ(now.tm_hour, 0);
    EXPECT_EQ(now.tm_min, 0);
    EXPECT_EQ(now.tm_sec, 0);
    EXPECT_EQ(now.tm_wday, 5);
}

TEST_F(WallClockTest, ReleaseReturnsToTheRealClock)
{
    WallClock::Instance().FixLocal(LocalTime(2001, 2, 3, 4, 5, 6), false);
    WallClock::Instance().Release();
    const std::time_t before = std::time(nullptr);
    std::tm now = LocalNow();
    const std::time_t after = std::time(nullptr);
    const std::time_t seen = std::mktime(&now);
    EXPECT_GE(seen, before);
    EXPECT_LE(seen, after);
}

}
}
