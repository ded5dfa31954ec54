// The commands the plugin registers with the host (commands/command_names.h), each joined to its
// handler, in registration order.
#pragma once

#include "commands/command_names.h"
#include "host/engine_types.h"

namespace barterbox {

using ChatCommandHandler = void (*)(AShooterPlayerController*, FString*, int, int);

struct CommandEntry {
    std::string_view Name;
    CommandKind Kind;
    ChatCommandHandler Chat;
    void (*Console)(APlayerController*, FString*, bool);
    void (*Rcon)(RCONClientConnection*, RCONPacket*, UWorld*);
};

// Registers the chat words in force (rules.json's Commands, or the table's chat names), then every
// other command of the table with the host, in order, each behind the guard that keeps a fault
// inside it from reaching the game server (entry_guard.h). A Reload re-registers the chat words.
void RegisterCommands();
// Removes the chat words registered and every other name of the table, in order; names no longer
// registered are accepted by the host.
void UnregisterCommands();

} // namespace barterbox
