// What the stand-in Permissions module offers the plugins that look for it at run time: a module
// named Permissions (Permissions.so, Permissions.dll) that exports one C function. Plugins never
// link it, so that a server without the Permissions plugin still loads them.
#pragma once

namespace hostsim {

inline constexpr char kPermissionsModule[] = "Permissions";
inline constexpr char kIsPlayerInGroupName[] = "Permissions_IsPlayerInGroup";

// bool Permissions_IsPlayerInGroup(const char16_t* eosId, const char16_t* group): whether the
// player with that EOS ID is in the group, both NUL-terminated UTF-16 texts as the host's FString
// holds them. Every player online is in Default; group names compare regardless of the case of A
// to Z; a null text or an unknown player answers false.
using IsPlayerInGroupFunction = bool (*)(const char16_t* eosId, const char16_t* group);

} // namespace hostsim
