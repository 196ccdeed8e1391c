#pragma once

#include <ctime>

namespace tarnwood::test {

// Local calendar fields for a full year, a month 1-12 and a time of day, as
// WallClock::FixLocal reads them; daylight saving time is left to the C library.
inline std::tm LocalTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return t;
}

}
