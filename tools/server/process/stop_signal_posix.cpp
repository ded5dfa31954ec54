// The stop signals on POSIX systems: SIGINT and SIGTERM through a pipe; see stop_signal.h.
#include "stop_signal.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <utility>

namespace barterbox::server {
namespace {

int stopPipe[2] = {-1, -1};
volatile std::sig_atomic_t stopSignal = 0;

// Only async-signal-safe calls here: a flag and one write to the pipe.
void OnStopSignal(int number) {
    const int saved = errno;
    stopSignal = number;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(stopPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

void InstallStopSignals() {
    if (stopPipe[0] != -1) {
        return;
    }
    if (pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    struct sigaction action = {};
    action.sa_handler = &OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: a blocked wait returns and looks at the pipe
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A reader that goes away (the output piped into head) must not kill the server halfway
    // through an exchange: a failed write is harmless, a lost unload is not.
    std::signal(SIGPIPE, SIG_IGN);
    // Likewise a file-size limit (ulimit -f): the save that passes it fails and says so.
    std::signal(SIGXFSZ, SIG_IGN);
}

int StopSignalDescriptor() {
    return stopPipe[0];
}

int StopSignalNumber() {
    return stopSignal;
}

void WaitForStopSignal() {
    while (stopSignal == 0) {
        pollfd wait = {stopPipe[0], POLLIN, 0};
        if (poll(&wait, 1, -1) < 0 && errno != EINTR) {
            return;
        }
    }
}

std::thread StartThreadWithoutStopSignals(std::function<void()> body) {
    // A new thread starts with its creator's signal mask.
    sigset_t blocked;
    sigset_t previous;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGINT);
    sigaddset(&blocked, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &blocked, &previous);
    std::thread thread(std::move(body));
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return thread;
}

} // namespace barterbox::server
