// The host's process-wide environment: server directory, log sinks, the active world, and the
// reset that gives tests a fresh host.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/host_api.h"

namespace hostsim {

void SetCurrentDir(std::string directory);
void SetActiveWorld(UWorld* world);

// The host's shared sinks; by default one that writes to standard error.
std::vector<spdlog::sink_ptr>& HostLogSinks();

// How often a plugin fetched the host utilities (GetApiUtils) since the last reset.
uint64_t ApiUtilsFetches();

// Clears the command registry, the message record, the ledger and name errors, the resolve and
// fetch counts and the plugin's module file, and registers the host's own game names (the
// allocator). Live buffers are kept.
void ResetHost();

} // namespace hostsim
