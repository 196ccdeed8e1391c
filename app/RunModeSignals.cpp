#include "app/RunModeSignals.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace tarnwood {

namespace {

volatile std::sig_atomic_t stopSignal = 0;
volatile std::sig_atomic_t forwardTo = 0;
int wakePipe[2] = {-1, -1};

void OnStopSignal(int signal)
{
    const int savedErrno = errno;
    stopSignal = signal;
    const pid_t child = static_cast<pid_t>(forwardTo);
    if (child > 0)
        kill(child, signal);
    if (wakePipe[1] >= 0) {
        const char byte = 1;
        ssize_t ignored = write(wakePipe[1], &byte, 1);
        (void)ignored;
    }
    errno = savedErrno;
}

}

void CatchStopSignals()
{
    if (wakePipe[0] < 0 && pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        wakePipe[0] = wakePipe[1] = -1;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

bool StopSignalReceived()
{
    return stopSignal != 0;
}

int StopSignalDescriptor()
{
    return wakePipe[0];
}

void ForwardStopSignalsTo(pid_t child)
{
    forwardTo = static_cast<std::sig_atomic_t>(child);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    if (child > 0 && stopSignal != 0)
        kill(child, SIGTERM);
}

}
