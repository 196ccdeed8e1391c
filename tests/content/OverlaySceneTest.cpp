#include "SceneFixture.h"

#include "content/Calendar.h"
#include "content/Clock.h"

namespace tarnwood {
namespace {

using test::EntryOf;
using test::SceneFixture;

Settings ClockOnly(bool analog, bool twentyFourHour)
{
    Settings s;
    s.showCalendar = 0;
    s.analogClock = analog ? 1 : 0;
    s.clock24Hour = twentyFourHour ? 1 : 0;
    return s;
}

// The entries the live digit nodes of the digital clock's slots show, slot by
// slot in build order ("_" for an empty digit node).
std::vector<std::string> LiveDigits(SceneNode& clock)
{
    std::vector<std::string> shown;
    for (std::size_t i = 1; i < clock.children.size(); ++i) {
        std::string slot;
        for (const auto& digit : clock.children[i]->children) {
            if (digit->dying)
                continue;
            const std::string entry = EntryOf(*digit, "clock.pak");
            slot += entry.empty() ? "_" : entry;
        }
        shown.push_back(slot);
    }
    return shown;
}

TEST_F(SceneFixture, DigitalClockShowsTheFixedTimeInItsSlots)
{
    FixTime(2026, 12, 11, 13, 45, 7, false);
    Build(ClockOnly(false, false));
    Frame(16);
    SceneNode& clock = *Overlay().children.at(0);
    ASSERT_EQ(clock.children.size(), 7u) << "plate and six slots";
    EXPECT_EQ(EntryOf(*clock.children[0], "clock.pak"), "podlozka_am");
    EXPECT_EQ(LiveDigits(clock), (std::vector<std::string>{"pm", "_", "1", "dot", "4", "5"}));
    EXPECT_NEAR(clock.transform.position.x, -display->EdgeX(-70) - 10 - 5.186, 1e-9);
}

TEST_F(SceneFixture, DigitNodeIsReplacedWhenItsFieldChanges)
{
    FixTime(2026, 12, 11, 9, 59, 58, true);
    Build(ClockOnly(false, true));
    Frame(16);
    SceneNode& clock = *Overlay().children.at(0);
    EXPECT_EQ(LiveDigits(clock), (std::vector<std::string>{"_", "9", "_", "5", "9"}));
    Frame(1100);
    EXPECT_EQ(LiveDigits(clock), (std::vector<std::string>{"_", "9", "dot", "5", "9"}));
    Frame(2100);  // 10:00:00
    EXPECT_EQ(LiveDigits(clock), (std::vector<std::string>{"1", "0", "_", "0", "0"}));
    SceneNode& minuteUnits = *clock.children[5];
    EXPECT_EQ(minuteUnits.children.size(), 2u) << "the old digit is dying beside the new one";
    Frame(2200);
    Frame(2300);
    EXPECT_EQ(minuteUnits.children.size(), 1u) << "the dead digit is swept";
}

TEST_F(SceneFixture, AnalogClockHandsFollowTheTime)
{
    FixTime(2026, 12, 11, 14, 31, 7, false);
    Build(ClockOnly(true, false));
    Frame(16);
    SceneNode& clock = *Overlay().children.at(0);
    ASSERT_EQ(clock.children.size(), 4u);
    EXPECT_EQ(EntryOf(*clock.children[0], "clock.pak"), "ciferblat");
    EXPECT_EQ(EntryOf(*clock.children[1], "clock.pak"), "sec");
    EXPECT_EQ(EntryOf(*clock.children[3], "clock.pak"), "chas");
    EXPECT_DOUBLE_EQ(clock.children[1]->animations.deltaTransform.rotation.z, -42.0);
    EXPECT_DOUBLE_EQ(clock.children[2]->animations.deltaTransform.rotation.z, -186.0);
    EXPECT_DOUBLE_EQ(clock.children[3]->animations.deltaTransform.rotation.z, -435.0);
}

TEST_F(SceneFixture, CalendarPageIsReplacedAtMidnightAndTheBackgroundStays)
{
    FixTime(2026, 2, 28, 23, 59, 59, true);
    Settings settings;
    settings.showClock = 0;
    Build(settings);
    Frame(16);
    SceneNode& calendar = *Overlay().children.at(0);
    ASSERT_EQ(calendar.children.size(), 2u);
    SceneNode* background = calendar.children[0].get();
    EXPECT_EQ(EntryOf(*background, "calendar.pak"), "fon");
    SceneNode& holder = *calendar.children[1];
    ASSERT_EQ(holder.children.size(), 1u);
    SceneNode& page = *holder.children[0];
    ASSERT_EQ(page.children.size(), 45u) << "header, month, 42 cells and the marker";
    EXPECT_EQ(EntryOf(*page.children[0], "calendar.pak"), "day");
    EXPECT_EQ(EntryOf(*page.children[1], "calendar.pak"), "m2");
    EXPECT_EQ(EntryOf(*page.children[2], "calendar.pak"), "1") << "February 2026 starts on Sunday";
    // 28 is cell 27: its marker comes just before it, at the same place.
    SceneNode& marker = *page.children[2 + 27];
    SceneNode& today = *page.children[2 + 28];
    EXPECT_EQ(EntryOf(marker, "calendar.pak"), "sel");
    EXPECT_EQ(EntryOf(today, "calendar.pak"), "28");
    EXPECT_DOUBLE_EQ(marker.transform.position.x, today.transform.position.x);
    EXPECT_DOUBLE_EQ(today.transform.position.x, 8.0);
    EXPECT_DOUBLE_EQ(today.transform.position.y, -24.0);
    EXPECT_EQ(EntryOf(*page.children[44], "calendar.pak"), "null");

    Frame(1100);  // 1 March 00:00:00
    ASSERT_EQ(holder.children.size(), 2u);
    EXPECT_TRUE(holder.children[0]->dying);
    SceneNode& march = *holder.children[1];
    EXPECT_EQ(EntryOf(*march.children[1], "calendar.pak"), "m3");
    for (int i = 0; i < 4; ++i)
        Frame(1200 + 100 * i);
    EXPECT_EQ(holder.children.size(), 1u);
    EXPECT_EQ(calendar.children[0].get(), background);
}

}
}
