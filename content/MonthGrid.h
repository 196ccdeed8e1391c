#pragma once

namespace tarnwood {

// Works out the page of the current month: 42 cells in 6 rows of 7, cell i in
// row i / 7 and column i % 7, each holding a day number 1-31 or 0 outside the
// month. Months are 0 (January) to 11; years are counted since 1900 as the C
// library counts them.
struct MonthGrid {
    int year = 0;  // full year
    int day = 0;  // today's day of the month
    int month = 0;  // 0 = January

    static constexpr int kCells = 42;

    // Fill `cells` and the fields from the current local time (the scene's
    // wall clock), with Sunday in column 0 or Monday in column 0.
    void FillSundayFirst(int cells[kCells]);
    void FillMondayFirst(int cells[kCells]);

    // 28 to 31, by the Gregorian rule (2000 and 2024 are leap years, 1900
    // and 2100 are not). A month outside 0-11 gives 31.
    static int DaysInMonth(int month, int yearsSince1900);
    // 0 = Sunday ... 6 = Saturday, Gregorian.
    static int DayOfWeek(int day, int month, int yearsSince1900);
    static int FirstWeekday(int month, int yearsSince1900) { return DayOfWeek(1, month, yearsSince1900); }
};

}
