#pragma once

namespace tarnwood {

// The user's choices that shape the scene: which overlays it shows in the
// screen corners, and in which variant. Everything is off by default; the
// program fills these in from the settings file.
struct OverlaySettings {
    bool showCalendar = false;
    // The Monday-first calendar page instead of the Sunday-first one.
    bool calendarRus = false;
    bool showFrameRate = false;
    bool showClock = false;
    bool analogClock = false;
    // The digital clock counts the hours 0 to 23 instead of 1 to 12.
    bool clock24Hour = false;
    // The clock closer to the camera, and so larger.
    bool largeClock = false;

    bool operator==(const OverlaySettings&) const = default;
};

}
