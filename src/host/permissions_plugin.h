// The host's Permissions plugin, which keeps groups of players by EOS ID: a soft dependency,
// found at run time among the modules the host has loaded and never linked, so that Barterbox
// loads and trades without it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace barterbox::permissions {

// The module's file name and the function asked, as the Permissions plugin exports it:
//   extern "C" bool Permissions_IsPlayerInGroup(const char16_t* eosId, const char16_t* group);
inline constexpr const char* kModuleName = "Permissions";
inline constexpr const char* kIsPlayerInGroup = "Permissions_IsPlayerInGroup";

// Whether the plugin is loaded now and answers.
bool PluginFound();

// For each group, whether the player is a member of it; std::nullopt when the plugin is not
// loaded. The module is looked up anew on every call, so that a Permissions plugin unloaded in
// the meantime is never called into.
std::optional<std::vector<bool>> GroupMemberships(std::string_view eosId,
                                                  const std::vector<std::string>& groups);

} // namespace barterbox::permissions
