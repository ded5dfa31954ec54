// One RCON request through the host, as the game server routes it: by its first word to the
// handler a plugin registered, which answers on the request's connection.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/engine_types.h"
#include "hostsim/world/world.h"

namespace barterbox::server {

struct RconOutcome {
    bool Handled = false;             // false: no plugin registered the request's first word
    std::vector<std::string> Replies; // what the plugin sent back on the connection, in order
};

// Dispatches the request (UTF-8 text) in the world. The caller holds the host lock.
RconOutcome DispatchRconRequest(hostsim::World& world, RCONClientConnection* connection,
                                int32_t requestId, std::string_view body);

// "no RCON command "WORD" is registered", and the same for chat and console lines.
std::string UnhandledLine(std::string_view kind, std::string_view line);

} // namespace barterbox::server
