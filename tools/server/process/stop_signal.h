// SIGINT and SIGTERM as a readable descriptor, so that the console and the serving loop wait on
// input and on a stop request at once, and the server always shuts down through the same path.
#pragma once

#include <functional>
#include <thread>

namespace barterbox::server {

// Installs the handlers, and ignores SIGPIPE; call once, before any thread starts.
void InstallStopSignals();

// Becomes readable once SIGINT or SIGTERM arrived; stays readable.
int StopSignalDescriptor();
// The signal that asked the server to stop, or 0.
int StopSignalNumber();

// Waits until a stop signal arrives.
void WaitForStopSignal();

// A thread that stop signals never interrupt: they belong to the main thread, which shuts
// everything down in order.
std::thread StartThreadWithoutStopSignals(std::function<void()> body);

} // namespace barterbox::server
