#pragma once

#include "scene/Vec3.h"

namespace tarnwood {

// Where the scene places the models of the archives, and the numbers the
// content baker sizes those models by so that they fit there. The scene
// builders and the baker both read them from here; a change needs a rebake.
// Units are those of the node named in each group.

// The world, in world units (the camera sits at z = 100 looking along -z).
inline constexpr Vec3 kLightPosition{0.0, 5.0, 90.0};
inline constexpr Vec3 kTreeGroupPosition{0.0, -22.0, 40.0};
inline constexpr double kTreeGroupTilt = -105.0;  // degrees about X
// The group bobs this far either way along its own Y axis, which the tilt
// turns nearly onto the line of sight.
inline constexpr double kTreeGroupBob = 10.0;
// The falling leaf is scaled down by this factor when it is spawned.
inline constexpr double kFallingLeafScale = 0.1;

// The frame-rate display, in its node's units: digit slots from hundreds to
// units (each digit 2 units wide), the label after them.
inline constexpr double kFrameRateDigitX[3] = {0.5, 1.9, 3.3};
inline constexpr double kFrameRateLabelLeft = 4.2;

// The analogue clock: the dial's centre from the clock node's corner, and
// the half-size of its square plate, which the offset keeps on screen.
inline constexpr double kDialCentreX = -9.3;
inline constexpr double kDialCentreY = 9.0;
inline constexpr double kDialHalfSize = 9.0;
static_assert(-kDialCentreX >= kDialHalfSize && kDialCentreY >= kDialHalfSize);

// The digital clock, in its node's units after the builder's move from the
// corner: slots on y = 0, the digits' baseline half a unit above.
inline constexpr double kDigitalClockOffsetX = -10.0;
inline constexpr double kDigitalClockOffsetY = 1.0;
// The 12-hour clock moves further left to make room for the half-day mark.
inline constexpr double kTwelveHourExtraOffsetX = -5.186;
inline constexpr double kHalfDaySlotX = 11.432;
inline constexpr double kHourTensSlotX = -6.483;
inline constexpr double kHourUnitsSlotX = -2.498;
inline constexpr double kSeparatorSlotX = 0.0;
inline constexpr double kMinuteTensSlotX = 2.523;
inline constexpr double kMinuteUnitsSlotX = 6.466;
// Each digit's plate is 4 units wide, centred on its slot; the clock's
// backing plate spans these edges.
inline constexpr double kDigitHalfWidth = 2.0;
inline constexpr double kClockPlateLeft = -9.5;
inline constexpr double kClockPlateRight = 9.5;
inline constexpr double kTwelveHourPlateRight = 15.0;
static_assert(kClockPlateLeft <= kHourTensSlotX - kDigitHalfWidth * 1.5);
static_assert(kClockPlateRight >= kMinuteUnitsSlotX + kDigitHalfWidth * 1.5);

// The calendar page, in the calendar node's units: the background, header
// and month name share one column; the day cells form 6 rows of 7 columns.
inline constexpr double kCalendarColumnX = -16.0;
inline constexpr double kCalendarBackgroundY = -12.0;
inline constexpr double kCalendarHeaderY = 8.0;
inline constexpr double kCalendarMonthY = 16.0;
inline constexpr double kCalendarFirstCellX = -40.0;
inline constexpr double kCalendarFirstCellY = 0.0;
inline constexpr double kCalendarCellPitch = 8.0;
// The header's weekday names stand over the day columns.
static_assert(kCalendarFirstCellX + 3 * kCalendarCellPitch == kCalendarColumnX);

}
