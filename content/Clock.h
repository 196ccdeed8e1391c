#pragma once

namespace tarnwood {

// The clock overlay, built once by a one-shot track on the clock node and
// kept up to date by endless tracks on its slots and digits. Every model comes
// from "clock.pak"; the local time comes from the scene's wall clock.

// Adds the dial and the second, minute and hour hands to currentNode.
void BuildAnalogClock(int userData);
// Adds the base plate and the digit slots to currentNode; the track's
// selector picks the 12-hour (0) or the 24-hour (1) form.
void BuildDigitalClock(int userData);
// On a slot node (selector = slot kind 1 to 8): adds a new digit node when the
// watched field of the local time differs from the one the kind last showed.
void DigitSlotBehaviour(int userData);
// On a digit node: kills it once the watched field (selector 1 or 2 hour, 3 or
// 4 minute, 5 second) no longer equals the value it stands for (selector2).
void DigitWatchBehaviour(int userData);

// The last value each slot kind showed (hour, minute or second, not the
// digit); -1 until its slot first builds a digit. Shared by all slots of a kind.
extern int shownHourTens;
extern int shownHourUnits;
extern int shownMinuteTens;
extern int shownMinuteUnits;
extern int shownSecond;
extern int shownHalfDay;

// The model entry a slot of `kind` shows for the given local hour (0-23),
// minute and second; empty when the slot shows nothing.
const char* DigitSlotEntry(int kind, int hour, int minute, int second);

// Puts the six last-shown values back to -1, as at program start.
void ResetShownClockValues();

}
