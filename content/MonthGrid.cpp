#include "content/MonthGrid.h"

#include "scene/WallClock.h"

namespace tarnwood {

int MonthGrid::DaysInMonth(int month, int yearsSince1900)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 0 || month > 11)
        return 31;
    if (month != 1)
        return days[month];
    const int year = yearsSince1900 + 1900;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return leap ? 29 : 28;
}

int MonthGrid::DayOfWeek(int day, int month, int yearsSince1900)
{
    const int a = (13 - month) / 12;
    const int y = 1900 + yearsSince1900 - a;
    const int m = month + 1 + 12 * a - 2;
    return (day + y + y / 4 - y / 100 + y / 400 + (31 * m) / 12 + 7000) % 7;
}

void MonthGrid::FillSundayFirst(int cells[kCells])
{
    const std::tm now = LocalNow();
    const int first = FirstWeekday(now.tm_mon, now.tm_year);
    const int length = DaysInMonth(now.tm_mon, now.tm_year);
    year = now.tm_year + 1900;
    month = now.tm_mon;
    day = now.tm_mday;
    for (int i = 0; i < kCells; ++i)
        cells[i] = (i >= first && i < first + length) ? i - first + 1 : 0;
}

void MonthGrid::FillMondayFirst(int cells[kCells])
{
    const std::tm now = LocalNow();
    int first = FirstWeekday(now.tm_mon, now.tm_year);
    if (first == 0)
        first = 7;
    const int length = DaysInMonth(now.tm_mon, now.tm_year);
    year = now.tm_year + 1900;
    month = now.tm_mon;
    day = now.tm_mday;
    for (int i = 0; i < kCells; ++i)
        cells[i] = (i >= first - 1 && i < first - 1 + length) ? i - first + 2 : 0;
}

}
