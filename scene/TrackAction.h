#pragma once

namespace tarnwood {

// Commands a cue gives to tracks already running, addressed by track id. The
// codes are fixed; a command with any other code does nothing.
enum class TrackAction : int {
    Pause = 0,
    Resume = 1,
    Finish = 2,
};

}
