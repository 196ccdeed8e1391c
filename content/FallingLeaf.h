#pragma once

namespace tarnwood {

// How often leaves spawn and how fast and long they fall, in percent; the
// scene assembly sets both to 50 before the first frame.
extern double leafRatePercent;
extern double leafSpeedPercent;

// Milliseconds between two leaves: 300 at 50 %, 150 at 100 %, 600 at 0 %.
double LeafSpawnInterval();
// Milliseconds a leaf lives: 12000 at 50 %, 7000 at 100 %, 17000 at 0 %.
double LeafLifetime();
// Base fall rate in units per second along the spawner's X axis: -5.5 at 50 %.
double LeafFallRateBase();

// On the spawner's endless track: its `time` is the spawn accumulator; every
// time it is positive, one leaf ("main.pak" / "list") per interval is added to
// currentNode with a random position, a 0.1 scale and eight tracks that make
// it fall, tumble, sway and die after its lifetime.
void FallingLeafBehaviour(int userData);

}
