#include "scene/WallClock.h"

#include "scene/FrameTick.h"

namespace tarnwood {

WallClock& WallClock::Instance()
{
    static WallClock clock;
    return clock;
}

std::tm WallClock::LocalNow() const
{
    std::time_t now;
    if (fixed) {
        now = fixedMoment;
        if (advancing)
            now += static_cast<std::time_t>((frameTick - fixedAtTick) / 1000u);
    } else {
        now = std::time(nullptr);
    }
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) {
        local = std::tm{};
        local.tm_mday = 1;
    }
    return local;
}

void WallClock::Fix(std::time_t moment, bool advance)
{
    fixed = true;
    advancing = advance;
    fixedMoment = moment;
    fixedAtTick = frameTick;
}

void WallClock::FixLocal(std::tm local, bool advance)
{
    local.tm_isdst = -1;
    Fix(std::mktime(&local), advance);
}

void WallClock::Release()
{
    fixed = false;
    advancing = false;
}

std::tm LocalNow()
{
    return WallClock::Instance().LocalNow();
}

}
