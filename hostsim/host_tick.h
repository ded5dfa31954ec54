// The game thread's share of the host's asynchronous work: each tick hands the plugins the HTTP
// replies that have come in and runs the timers that are due. The simulated server ticks on a
// thread of its own under the host lock; tests tick by hand.
#pragma once

#include <chrono>
#include <cstddef>

namespace hostsim {

// Replies first, in the order the requests were made, then the due timers, earliest first.
void RunHostTick();

// Test knobs of the stand-in host. A request that has no answer after the timeout comes back
// unanswered (10 s unless set). Every timer's delay is multiplied by the scale (1 unless set), so
// that a test can shorten the pauses a plugin asks for without the plugin changing them.
void SetRequestTimeout(std::chrono::milliseconds timeout);
void SetTimerScale(double scale);

// Requests whose callback has neither run nor been cancelled; timers likewise.
size_t PendingRequests();
size_t PendingTimers();

// Drops every callback and timer, as a fresh host has none (ResetHost).
void ForgetRequestsAndTimers();
// Waits for the request under way, if any, and stops the host's request thread; a later request
// starts it again. The server calls it before it exits, and so may a test.
void StopRequestThread();

} // namespace hostsim
