#pragma once

namespace tarnwood {

// Ready-made track behaviours. Each runs inside AnimationSet::Update of its
// node, reads its track through `currentTrack` (time in ms, selector, paramA
// to paramC) and its node through `currentNode`, and ignores `userData`.
// Where a behaviour acts on an axis, `selector` 0, 1, 2 is X, Y, Z and any
// other value makes it do nothing. Angles are degrees; inside the sines,
// paramB is an angular frequency in radians per second and paramC a phase in
// radians.

// Places light GL_LIGHT0 + selector (selector 1 to 5 only) at the origin of
// the node's own transform, in eye space.
void LightPositionBehaviour(int userData);

// Kills the node once the track's time is strictly greater than paramA ms.
void KillAfterBehaviour(int userData);

// Adds sin(time * paramB / 1000 + paramC) * paramA to the target's position
// on the axis.
void OscillatePositionBehaviour(int userData);

// Adds time * paramA / 1000 (paramA per second) to the target's position on
// the axis.
void MovePositionBehaviour(int userData);

// Adds time * paramA / 1000 to the node's own position on the axis, then
// resets the track's time to 0 (whatever the selector), so the node drifts
// by paramA per second.
void DriftPositionBehaviour(int userData);

// Adds paramA * (1 - e^(time / 1000 * paramB)) to the target's position on
// the axis; with a negative paramB it moves from 0 towards paramA.
void ApproachPositionBehaviour(int userData);

// Adds time * paramA / 1000 + paramB degrees to the target's rotation on the
// axis.
void TurnRotationBehaviour(int userData);

// Adds time * paramA / 1000 + paramB degrees to the node's own rotation on
// the axis, then resets the track's time to 0 (whatever the selector).
void SpinRotationBehaviour(int userData);

// Adds sin(time * paramB / 1000 + paramC) * paramA degrees to the target's
// rotation on the axis.
void OscillateRotationBehaviour(int userData);

// Sets the target's rotation to (0, 0, angle) from the local wall clock:
// selector 1 the seconds hand (-6 per second), 2 the minutes hand (-6 per
// minute), 3 the hours hand (-30 per hour - minutes / 2, whole degrees).
// Other selectors do nothing.
void ClockHandBehaviour(int userData);

}
