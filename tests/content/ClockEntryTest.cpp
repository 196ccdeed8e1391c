#include "content/Clock.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwood {
namespace {

// What the digital clock shows, slot by slot, left to right (hour tens, hour
// units, minute tens, minute units, then the half-day sign of the 12-hour
// form); "_" is an empty slot.
std::string Shown(bool twentyFourHour, int hour, int minute)
{
    const int kinds24[] = {1, 2, 3, 4};
    const int kinds12[] = {6, 7, 3, 4, 8};
    std::string out;
    const int* kinds = twentyFourHour ? kinds24 : kinds12;
    const int count = twentyFourHour ? 4 : 5;
    for (int i = 0; i < count; ++i) {
        const std::string entry = DigitSlotEntry(kinds[i], hour, minute, 0);
        out += entry.empty() ? "_" : entry;
        if (i == 1)
            out += ' ';
    }
    return out;
}

TEST(DigitalClockEntries, TwentyFourHourForm)
{
    EXPECT_EQ(Shown(true, 0, 5), "00 05");
    EXPECT_EQ(Shown(true, 7, 30), "_7 30");
    EXPECT_EQ(Shown(true, 13, 45), "13 45");
    EXPECT_EQ(Shown(true, 23, 59), "23 59");
}

TEST(DigitalClockEntries, TwelveHourForm)
{
    EXPECT_EQ(Shown(false, 0, 15), "12 15am");
    EXPECT_EQ(Shown(false, 12, 0), "12 00pm");
    EXPECT_EQ(Shown(false, 13, 45), "_1 45pm");
    EXPECT_EQ(Shown(false, 10, 20), "10 20am");
    EXPECT_EQ(Shown(false, 23, 1), "11 01pm");
}

TEST(DigitalClockEntries, SeparatorShowsInOddSecondsOnly)
{
    for (int second = 0; second < 60; ++second)
        EXPECT_EQ(std::string(DigitSlotEntry(5, 9, 0, second)), second % 2 ? "dot" : "") << second;
}

}
}
