#include "content/Calendar.h"

#include "content/MonthGrid.h"
#include "content/NodeBuilding.h"
#include "content/ScenePlacement.h"
#include "scene/WallClock.h"

#include <string>

namespace tarnwood {

int shownDay = -1;

namespace {

const char* const kCalendarArchive = "calendar.pak";

std::unique_ptr<SceneNode> PlacedModel(const std::string& entry, double x, double y)
{
    auto node = ModelNode(kCalendarArchive, entry);
    node->SetPosition(x, y, 0.0);
    return node;
}

}

void BuildCalendar(int)
{
    const int variant = currentTrack->selector;
    currentNode->AddChild(PlacedModel(variant == 0 ? "fon_rus" : "fon", kCalendarColumnX, kCalendarBackgroundY));
    currentNode->AddChild(NodeWithEndlessTrack(CalendarPageBehaviour, variant));
}

void CalendarPageBehaviour(int)
{
    const int variant = currentTrack->selector;
    const std::tm now = LocalNow();
    if (now.tm_mday == shownDay)
        return;
    shownDay = now.tm_mday;

    SceneNode* page = currentNode->AddChild(NodeWithEndlessTrack(PageWatchBehaviour, shownDay));
    MonthGrid grid;
    int cells[MonthGrid::kCells];
    if (variant == 0)
        grid.FillMondayFirst(cells);
    else
        grid.FillSundayFirst(cells);

    page->AddChild(PlacedModel(variant == 0 ? "day_rus" : "day", kCalendarColumnX, kCalendarHeaderY));
    page->AddChild(PlacedModel("m" + std::to_string(grid.month + 1), kCalendarColumnX, kCalendarMonthY));
    for (int i = 0; i < MonthGrid::kCells; ++i) {
        const double x = kCalendarFirstCellX + (i % 7) * kCalendarCellPitch;
        const double y = kCalendarFirstCellY - (i / 7) * kCalendarCellPitch;
        auto cell = ModelNode(kCalendarArchive, cells[i] == 0 ? std::string("null") : std::to_string(cells[i]));
        if (cells[i] == grid.day)
            page->AddChild(PlacedModel("sel", x, y));
        cell->SetPosition(x, y, 0.0);
        page->AddChild(std::move(cell));
    }
}

void PageWatchBehaviour(int)
{
    if (LocalNow().tm_mday != currentTrack->selector)
        currentNode->Kill();
}

}
