// The host's process-wide environment: server directory, log sinks, the active world, and the
// reset that gives tests a fresh host.
#pragma once

#include <string>
#include <vector>

#include "host/host_api.h"

namespace hostsim {

void SetCurrentDir(std::string directory);
void SetActiveWorld(UWorld* world);

// The host's shared sinks; by default one that writes to standard error.
std::vector<spdlog::sink_ptr>& HostLogSinks();

// Clears the command registry, the message record, the ledger and name errors and the resolve
// counts, and registers the host's own game names (the allocator). Live buffers are kept.
void ResetHost();

} // namespace hostsim
