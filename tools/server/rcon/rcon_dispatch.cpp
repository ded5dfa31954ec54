// One RCON request through the host; see rcon_dispatch.h.
#include "rcon_dispatch.h"

#include "hostsim/command_registry.h"
#include "hostsim/host_strings.h"
#include "tools/server/hosting/host_events.h"

namespace barterbox::server {

RconOutcome DispatchRconRequest(hostsim::World& world, RCONClientConnection* connection,
                                int32_t requestId, std::string_view body) {
    RconOutcome outcome;
    outcome.Replies = CollectRconReplies(world, connection, [&] {
        outcome.Handled = hostsim::DispatchRcon(connection, requestId, hostsim::Utf8ToUtf16(body),
                                                world.GameWorld());
    });
    return outcome;
}

std::string UnhandledLine(std::string_view kind, std::string_view line) {
    const std::string_view word = line.substr(0, line.find(' '));
    return "no " + std::string(kind) + " command \"" + std::string(word) + "\" is registered";
}

} // namespace barterbox::server
