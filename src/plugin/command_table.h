// The nine commands the plugin registers with the host, in registration order.
#pragma once

#include <span>

#include "host/host_api.h"

namespace barterbox {

enum class CommandKind { Chat, Console, Rcon };

struct CommandEntry {
    const char* Name;
    CommandKind Kind;
    void (*Chat)(AShooterPlayerController*, FString*, int, int);
    void (*Console)(APlayerController*, FString*, bool);
    void (*Rcon)(RCONClientConnection*, RCONPacket*, UWorld*);
};

std::span<const CommandEntry> CommandTable();

// Registers every command of the table with the host, in order.
void RegisterCommands();
// Removes every name of the table, in order; names no longer registered are accepted by the host.
void UnregisterCommands();

} // namespace barterbox
