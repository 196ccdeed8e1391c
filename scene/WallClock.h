#pragma once

#include <cstdint>
#include <ctime>

namespace tarnwood {

// The one place the system reads the local wall clock (the clock hands, the
// digital clock and the calendar all come here). Tests and snapshot runs can
// fix it at a chosen moment, optionally advancing with the animation clock.
class WallClock {
public:
    static WallClock& Instance();

    // The current local time, as localtime gives it (hours 0 to 23). If the
    // C library cannot convert the time, returns midnight of 1 January 1900
    // rather than failing.
    std::tm LocalNow() const;

    // From now on LocalNow reports `moment` (seconds since the epoch). With
    // `advance` set, it moves on by the whole seconds frameTick has advanced
    // since this call; otherwise it stays at `moment`.
    void Fix(std::time_t moment, bool advance);

    // As Fix, with the moment given as local calendar fields (as mktime reads
    // them, with daylight saving time left to the C library).
    void FixLocal(std::tm local, bool advance);

    // Goes back to the real clock.
    void Release();

private:
    WallClock() = default;

    bool fixed = false;
    bool advancing = false;
    std::time_t fixedMoment = 0;
    std::uint32_t fixedAtTick = 0;
};

// Shorthand for WallClock::Instance().LocalNow().
std::tm LocalNow();

}
