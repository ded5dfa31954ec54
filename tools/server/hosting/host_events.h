// What the host and the world report as the plugin acts: messages to players and RCON replies,
// printed as event lines, and the RCON replies that answer the request being dispatched.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/engine_types.h"
#include "hostsim/world/world.h"

namespace barterbox::server {

// Installs the messenger's and the world's listeners; they run inside the plugin's calls, so
// under the host lock.
void InstallHostListeners();
void RemoveHostListeners();

// Runs `request`, a dispatch into the plugin, and returns the replies the plugin sent on
// `connection` meanwhile, in order; every reply is printed as at any other time. The listeners
// are installed and the caller holds the host lock.
std::vector<std::string> CollectRconReplies(hostsim::World& world,
                                            const RCONClientConnection* connection,
                                            const std::function<void()>& request);

// The player a message went to, by name; "(nobody)" for null, "(unknown)" for anything else.
std::string ReceiverName(const void* controller);

} // namespace barterbox::server
