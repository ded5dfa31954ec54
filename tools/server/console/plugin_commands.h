// What the console says about the plugin's own commands: the ones it registered with the host, by
// kind, for `help`, and the one line that explains a silence when a player who is not an
// administrator types one of the plugin's administrator commands.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace barterbox::server {

// The help lines that list the registered commands by kind, without the "[server] " prefix.
std::vector<std::string> RegisteredCommandLines();

// For a console line that a player typed: when the player is not an administrator and the line's
// command word is one of the plugin's administrator commands (registered, compared without regard
// to ASCII case, as the host dispatches), the server's explanation of why nothing answered.
std::optional<std::string> IgnoredForNonAdministrator(std::string_view player, bool administrator,
                                                      std::string_view line);

} // namespace barterbox::server
