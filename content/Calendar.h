#pragma once

namespace tarnwood {

// The calendar overlay: a background and a page holder built once by a
// one-shot track on the calendar node, and a page of the current month that
// is rebuilt whenever the day changes. Every model comes from "calendar.pak".
// Selector 0 is the Monday-first variant ("fon_rus", "day_rus"), 1 the
// Sunday-first one ("fon", "day").

void BuildCalendar(int userData);
// On the page holder: builds a new page when the local day differs from shownDay.
void CalendarPageBehaviour(int userData);
// On a page: kills it once the local day differs from the day it was built for (selector).
void PageWatchBehaviour(int userData);

// The day of the month the last page was built for; -1 before the first page.
extern int shownDay;

}
