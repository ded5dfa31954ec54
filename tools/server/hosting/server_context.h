// The simulated server's process-wide record: the world, the lock that keeps the plugin's handlers
// one at a time, and the RCON client that the console's rcon lines speak through.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "hostsim/world/world.h"

namespace barterbox::server {

struct ServerContext {
    // Held for every call into the host, the world or the module, from the console and from the
    // RCON thread alike: the plugin changes its catalogue in place and relies on the host calling
    // its handlers one at a time.
    std::mutex HostMutex;
    hostsim::World* World = nullptr;
    std::string ServerDir;
    std::string PluginFile;
    RCONClientConnection* ConsoleRcon = nullptr;
    int32_t NextConsoleRequestId = 1;
};

ServerContext& Server();

} // namespace barterbox::server
