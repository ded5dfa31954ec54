// The game thread's ticks: every 10 ms, under the host lock, the host hands the plugin its HTTP
// replies and runs its timers, as a game server's frame does.
#pragma once

namespace barterbox::server {

void StartHostTicks();
// Waits for the tick under way; none runs after it returns.
void StopHostTicks();

} // namespace barterbox::server
