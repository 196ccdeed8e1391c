#include "content/Clock.h"

#include "content/NodeBuilding.h"
#include "content/ScenePlacement.h"
#include "scene/StandardBehaviours.h"
#include "scene/StandardHooks.h"
#include "scene/WallClock.h"

#include <ctime>

namespace tarnwood {

int shownHourTens = -1;
int shownHourUnits = -1;
int shownMinuteTens = -1;
int shownMinuteUnits = -1;
int shownSecond = -1;
int shownHalfDay = -1;

void ResetShownClockValues()
{
    shownHourTens = shownHourUnits = shownMinuteTens = shownMinuteUnits = shownSecond = shownHalfDay = -1;
}

namespace {

const char* const kClockArchive = "clock.pak";

struct SlotKind {
    int* shown;
    int watchSelector;
};

// Which last-shown value a slot kind watches and the watch selector its digit nodes get.
bool KindOf(int kind, SlotKind& out)
{
    switch (kind) {
    case 1:
        out = {&shownHourTens, 1};
        return true;
    case 2:
        out = {&shownHourUnits, 2};
        return true;
    case 3:
        out = {&shownMinuteTens, 3};
        return true;
    case 4:
        out = {&shownMinuteUnits, 4};
        return true;
    case 5:
        out = {&shownSecond, 5};
        return true;
    case 6:
        out = {&shownHourTens, 1};
        return true;
    case 7:
        out = {&shownHourUnits, 1};
        return true;
    case 8:
        out = {&shownHalfDay, 1};
        return true;
    default:
        return false;
    }
}

int WatchedField(int kind, const std::tm& now)
{
    switch (kind) {
    case 3:
    case 4:
        return now.tm_min;
    case 5:
        return now.tm_sec;
    default:
        return now.tm_hour;
    }
}

void AddWithDepthTestOff(std::unique_ptr<SceneNode> node)
{
    node->AddRenderHook(DepthTestOffHook, 0);
    currentNode->AddChild(std::move(node));
}

}

const char* DigitSlotEntry(int kind, int hour, int minute, int second)
{
    const int h12 = hour > 12 ? hour - 12 : hour;
    switch (kind) {
    case 1:
        if (hour == 0)
            return "0";
        return hour / 10 == 0 ? "" : kDigits[hour / 10];
    case 2:
        return kDigits[hour % 10];
    case 3:
        return kDigits[minute / 10];
    case 4:
        return kDigits[minute % 10];
    case 5:
        return second % 2 == 1 ? "dot" : "";
    case 6: {
        const int digit = h12 == 0 ? 1 : h12 / 10;
        return digit == 0 ? "" : kDigits[digit];
    }
    case 7:
        return h12 == 0 ? "2" : kDigits[h12 % 10];
    case 8:
        return hour < 12 ? "am" : "pm";
    default:
        return "";
    }
}

void BuildAnalogClock(int)
{
    currentNode->MoveBy(kDialCentreX, kDialCentreY, 0.0);
    AddWithDepthTestOff(ModelNode(kClockArchive, "ciferblat"));
    const struct {
        const char* entry;
        int selector;
    } hands[] = {{"sec", 1}, {"min", 2}, {"chas", 3}};
    for (const auto& hand : hands)
        AddWithDepthTestOff(NodeWithEndlessTrack(ClockHandBehaviour, hand.selector, 0, kClockArchive, hand.entry));
}

void BuildDigitalClock(int)
{
    const bool twelveHour = currentTrack->selector == 0;
    currentNode->MoveBy(kDigitalClockOffsetX, kDigitalClockOffsetY, 0.0);
    auto plate = std::make_unique<SceneNode>();
    if (twelveHour) {
        currentNode->MoveBy(kTwelveHourExtraOffsetX, 0.0, 0.0);
        plate->LoadModel(kClockArchive, "podlozka_am");
    } else {
        plate->LoadModel(kClockArchive, "podlozka");
    }
    AddWithDepthTestOff(std::move(plate));

    const struct {
        double x;
        int twelveHourKind;
        int twentyFourHourKind;
    } slots[] = {
        {kHalfDaySlotX, 8, 0},   {kHourTensSlotX, 6, 1},   {kHourUnitsSlotX, 7, 2},
        {kSeparatorSlotX, 5, 5}, {kMinuteTensSlotX, 3, 3}, {kMinuteUnitsSlotX, 4, 4},
    };
    for (const auto& slot : slots) {
        const int kind = twelveHour ? slot.twelveHourKind : slot.twentyFourHourKind;
        if (kind == 0)
            continue;
        auto node = NodeWithEndlessTrack(DigitSlotBehaviour, kind);
        node->SetPosition(slot.x, 0.0, 0.0);
        AddWithDepthTestOff(std::move(node));
    }
}

void DigitSlotBehaviour(int)
{
    const int kind = currentTrack->selector;
    SlotKind slot{};
    if (!KindOf(kind, slot))
        return;
    const std::tm now = LocalNow();
    const int field = WatchedField(kind, now);
    if (field == *slot.shown)
        return;
    *slot.shown = field;

    const char* entry = DigitSlotEntry(kind, now.tm_hour, now.tm_min, now.tm_sec);
    currentNode->AddChild(NodeWithEndlessTrack(DigitWatchBehaviour, slot.watchSelector, field,
                                               *entry != '\0' ? kClockArchive : nullptr, entry));
}

void DigitWatchBehaviour(int)
{
    const std::tm now = LocalNow();
    int field = 0;
    switch (currentTrack->selector) {
    case 1:
    case 2:
        field = now.tm_hour;
        break;
    case 3:
    case 4:
        field = now.tm_min;
        break;
    case 5:
        field = now.tm_sec;
        break;
    default:
        return;
    }
    if (field != currentTrack->selector2)
        currentNode->Kill();
}

}
