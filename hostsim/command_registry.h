// The host's command registry: what plugins registered under which names, a record of every
// registry call, and dispatch of chat lines, console lines and RCON requests to the handlers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/host_api.h"

namespace hostsim {

enum class HandlerKind { Chat, Console, Rcon };

struct RegistryCall {
    std::string Operation; // e.g. "RegisterChatHandler", "UnregisterRconHandler"
    std::string Name;
    bool WasRegistered = true; // for removals: whether the name was there
};

// Every registry call since the last reset, in order.
std::vector<RegistryCall> RegistryCalls();
// The names currently registered for a kind, in registration order.
std::vector<std::string> RegisteredNames(HandlerKind kind);
// How often a plugin fetched the registry (GetCommands) since the last reset.
uint64_t CommandsFetches();
void ResetCommandRegistry();

// Routes a line by its first word (compared without regard to ASCII case, as the game's console
// does) to the handler registered under that name, which receives the whole line in a host-owned
// FString. Returns false when no plugin registered the word.
bool DispatchChat(AShooterPlayerController* player, std::u16string_view line);
bool DispatchConsole(APlayerController* player, std::u16string_view line);
bool DispatchRcon(RCONClientConnection* connection, int32_t requestId, std::u16string_view body,
                  UWorld* world);

// The first word of a line: the text before its first space.
std::u16string_view CommandWord(std::u16string_view line);

} // namespace hostsim
