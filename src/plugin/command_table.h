// The commands the plugin registers with the host (commands/command_names.h), each joined to its
// handler, in registration order.
#pragma once

#include "commands/command_names.h"
#include "host/engine_types.h"

namespace barterbox {

struct CommandEntry {
    std::string_view Name;
    CommandKind Kind;
    void (*Chat)(AShooterPlayerController*, FString*, int, int);
    void (*Console)(APlayerController*, FString*, bool);
    void (*Rcon)(RCONClientConnection*, RCONPacket*, UWorld*);
};

// Registers every command of the table with the host, in order, each behind the guard that keeps
// a fault inside it from reaching the game server (entry_guard.h).
void RegisterCommands();
// Removes every name of the table, in order; names no longer registered are accepted by the host.
void UnregisterCommands();

} // namespace barterbox
