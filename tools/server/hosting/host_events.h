// What the host and the world report as the plugin acts: messages to players and RCON replies,
// printed as event lines, and RCON replies captured for the request being answered.
#pragma once

#include <string>

namespace barterbox::server {

// Installs the messenger's and the world's listeners; they run inside the plugin's calls, so
// under the host lock.
void InstallHostListeners();
void RemoveHostListeners();

// The player a message went to, by name; "(nobody)" for null, "(unknown)" for anything else.
std::string ReceiverName(const void* controller);

} // namespace barterbox::server
