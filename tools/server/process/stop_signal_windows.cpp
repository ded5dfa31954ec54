// The stop signals on Windows: Ctrl-C, Ctrl-Break and closing the console window reach a console
// control handler, which plays the part of SIGINT and SIGTERM; see stop_signal.h.
#include <windows.h>

#include <atomic>
#include <csignal>
#include <utility>

#include "stop_signal.h"

namespace barterbox::server {
namespace {

std::atomic<int> stopSignal{0};
HANDLE stopEvent = nullptr;

// Runs on a thread of its own that Windows starts for the event.
BOOL WINAPI OnConsoleControl(DWORD event) {
    int expected = 0;
    stopSignal.compare_exchange_strong(expected, event == CTRL_C_EVENT ? SIGINT : SIGTERM);
    SetEvent(stopEvent);
    return TRUE; // handled: the server shuts down through its own path
}

} // namespace

void InstallStopSignals() {
    if (stopEvent != nullptr) {
        return;
    }
    stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
}

int StopSignalDescriptor() {
    return -1; // the Windows console does not wait on descriptors
}

int StopSignalNumber() {
    return stopSignal.load();
}

void WaitForStopSignal() {
    while (stopSignal.load() == 0 && stopEvent != nullptr) {
        WaitForSingleObject(stopEvent, INFINITE);
    }
}

std::thread StartThreadWithoutStopSignals(std::function<void()> body) {
    // Windows hands console stop events to a thread of its own; no mask is needed.
    return std::thread(std::move(body));
}

} // namespace barterbox::server
