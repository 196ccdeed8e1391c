#pragma once

#include <sys/types.h>

namespace tarnwood {

// The signals that ask a run to stop: SIGTERM (hosts), SIGINT (Ctrl+C) and
// SIGHUP (a closed terminal). Installed before SDL starts, so SDL leaves
// them to us instead of turning them into SDL_QUIT events, which the scene
// ignores. The handler only records the signal, writes one byte to a
// non-blocking pipe and, when a child is registered, passes the signal on
// to it with kill(); nothing else runs inside it.
void CatchStopSignals();

// Whether a stop signal has arrived since CatchStopSignals.
bool StopSignalReceived();

// A descriptor that becomes readable when a stop signal arrives (for poll);
// -1 before CatchStopSignals.
int StopSignalDescriptor();

// From now on every stop signal is passed on to process `child` as well;
// 0 stops passing them on. When one has already arrived, `child` gets
// SIGTERM at once, so a signal that came before the child existed is not lost.
void ForwardStopSignalsTo(pid_t child);

}
