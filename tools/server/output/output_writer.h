// The thread that writes the server's output. Lines wait in a bounded queue, so that a standard
// output nobody reads holds up only this thread: never the console, the RCON clients or a stop.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace barterbox::server {

// From now on, lines passed to QueueOutput are written by the writer thread.
void StartOutputWriter();

// Takes the text, or false when no writer runs: the text is then left for the caller to write. When
// the queue is full the text is dropped and counted; the writer reports the count once it has
// caught up.
bool QueueOutput(std::string& text);

// While a line is edited at a terminal, output is held back rather than written, so that it never
// lands inside the prompt or the typed text; the console shows it above the line instead.
// HoldOutput waits (up to `patience`) for a batch being written to finish, and returns what was
// queued and not yet written, for the console to write before its prompt. From then on `wake` is
// called, with the writer's lock held, whenever a line is queued; it must not block.
std::string HoldOutput(std::function<void()> wake,
                       std::chrono::milliseconds patience = std::chrono::seconds(2));
// What was queued since the last call, with a count of dropped lines if any were.
std::string TakeHeldOutput();
// The line was entered: the writer writes again, what is still held first.
void ReleaseHeldOutput();

// Waits while the writer makes progress, until the queue is empty or nothing has been written
// for `patience`, then stops queueing. An output that is never read costs the exit that long.
void FinishOutput(std::chrono::milliseconds patience = std::chrono::seconds(2));

} // namespace barterbox::server
