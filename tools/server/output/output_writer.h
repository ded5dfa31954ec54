// The thread that writes the server's output. Lines wait in a bounded queue, so that a standard
// output nobody reads holds up only this thread: never the console, the RCON clients or a stop.
#pragma once

#include <chrono>
#include <string>

namespace barterbox::server {

// From now on, lines passed to QueueOutput are written by the writer thread.
void StartOutputWriter();

// Takes the text, or false when no writer runs: the text is then left for the caller to write. When
// the queue is full the text is dropped and counted; the writer reports the count once it has
// caught up.
bool QueueOutput(std::string& text);

// Waits while the writer makes progress, until the queue is empty or nothing has been written
// for `patience`, then stops queueing. An output that is never read costs the exit that long.
void FinishOutput(std::chrono::milliseconds patience = std::chrono::seconds(2));

} // namespace barterbox::server
