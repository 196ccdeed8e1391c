#include "app/Settings.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace tarnwood {
namespace {

// Each byte of the settings file drives its own overlay flag, and every byte
// but 0 means on, as the file's format has it.
TEST(SettingsOverlays, EachFlagComesFromItsOwnByteAndAnyNonZeroByteIsOn)
{
    struct Case {
        const char* name;
        std::uint8_t Settings::*byte;
        bool OverlaySettings::*flag;
    };
    const Case cases[] = {
        {"showCalendar", &Settings::showCalendar, &OverlaySettings::showCalendar},
        {"calendarRus", &Settings::calendarRus, &OverlaySettings::calendarRus},
        {"showFrameRate", &Settings::showFrameRate, &OverlaySettings::showFrameRate},
        {"showClock", &Settings::showClock, &OverlaySettings::showClock},
        {"analogClock", &Settings::analogClock, &OverlaySettings::analogClock},
        {"clock24Hour", &Settings::clock24Hour, &OverlaySettings::clock24Hour},
        {"largeClock", &Settings::largeClock, &OverlaySettings::largeClock},
    };
    Settings allOff;
    for (const Case& c : cases)
        allOff.*c.byte = 0;
    EXPECT_EQ(allOff.Overlays(), OverlaySettings{});

    for (const Case& c : cases) {
        for (const std::uint8_t value : {1, 2, 255}) {
            Settings settings = allOff;
            settings.*c.byte = value;
            OverlaySettings expected;
            expected.*c.flag = true;
            EXPECT_EQ(settings.Overlays(), expected) << c.name << " = " << static_cast<int>(value);
        }
    }
}

}
}
