#pragma once

namespace tarnwood {

// Frames counted since the frame-rate display last renewed its digits.
extern int framesCounted;

// On the frame-rate node's endless track: counts frames and, every 5000 ms of
// track time, adds up to three digit nodes ("utils.pak") showing the frames
// per second, each killing itself after 5000 ms.
void FrameRateBehaviour(int userData);

}
