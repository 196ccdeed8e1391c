#include "content/MonthGrid.h"
#include "scene/WallClock.h"
#include "support/LocalTime.h"

#include <gtest/gtest.h>

namespace tarnwood {
namespace {

class MonthGridAt : public ::testing::Test {
protected:
    void At(int year, int month, int day)
    {
        WallClock::Instance().FixLocal(test::LocalTime(year, month, day, 12), false);
    }
    void TearDown() override { WallClock::Instance().Release(); }
    int cells[MonthGrid::kCells];
};

TEST_F(MonthGridAt, February2026SundayFirstStartsInTheFirstCell)
{
    At(2026, 2, 11);
    MonthGrid grid;
    grid.FillSundayFirst(cells);
    EXPECT_EQ(grid.year, 2026);
    EXPECT_EQ(grid.month, 1);
    EXPECT_EQ(grid.day, 11);
    for (int i = 0; i < 28; ++i)
        EXPECT_EQ(cells[i], i + 1) << "cell " << i;
    for (int i = 28; i < 42; ++i)
        EXPECT_EQ(cells[i], 0) << "cell " << i;
}

TEST_F(MonthGridAt, February2026MondayFirstStartsInTheLastColumn)
{
    At(2026, 2, 1);
    MonthGrid grid;
    grid.FillMondayFirst(cells);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(cells[i], 0) << "cell " << i;
    EXPECT_EQ(cells[6], 1);
    EXPECT_EQ(cells[33], 28);
    EXPECT_EQ(cells[34], 0);
    EXPECT_EQ(grid.day, 1);
}

TEST_F(MonthGridAt, MondayFirstPutsAMondayStartInColumnZero)
{
    At(2026, 6, 30);  // June 2026 begins on a Monday
    MonthGrid grid;
    grid.FillMondayFirst(cells);
    EXPECT_EQ(cells[0], 1);
    EXPECT_EQ(cells[29], 30);
    EXPECT_EQ(cells[30], 0);
    grid.FillSundayFirst(cells);
    EXPECT_EQ(cells[0], 0);
    EXPECT_EQ(cells[1], 1);
}

TEST(MonthGrid, WeekdaysAreGregorian)
{
    EXPECT_EQ(MonthGrid::DayOfWeek(1, 0, 100), 6) << "1 January 2000 was a Saturday";
    EXPECT_EQ(MonthGrid::FirstWeekday(1, 126), 0) << "1 February 2026 is a Sunday";
    EXPECT_EQ(MonthGrid::DayOfWeek(11, 11, 126), 5) << "11 December 2026 is a Friday";
    EXPECT_EQ(MonthGrid::DayOfWeek(1, 0, 0), 1) << "1 January 1900 was a Monday";
    EXPECT_EQ(MonthGrid::DayOfWeek(1, 2, 200), 1) << "1 March 2100 is a Monday";
}

TEST(MonthGrid, FebruaryFollowsTheGregorianLeapYearRule)
{
    struct {
        int year;
        int days;
    } cases[] = {{2000, 29}, {2024, 29}, {2026, 28}, {2100, 28}, {1900, 28}, {2400, 29}};
    for (const auto& c : cases)
        EXPECT_EQ(MonthGrid::DaysInMonth(1, c.year - 1900), c.days) << c.year;
    const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int m = 0; m < 12; ++m)
        EXPECT_EQ(MonthGrid::DaysInMonth(m, 126), lengths[m]) << "month " << m;
}

TEST_F(MonthGridAt, February2100HasNoTwentyNinth)
{
    At(2100, 2, 10);
    MonthGrid grid;
    grid.FillSundayFirst(cells);
    int largest = 0;
    for (int c : cells)
        largest = std::max(largest, c);
    EXPECT_EQ(largest, 28);
}

}
}
