// The command handlers, each with the host's signature for its kind of command; the names they
// answer to are in command_names.h.
#pragma once

#include "host/engine_types.h"

namespace barterbox {

// The exchange's chat words ("/exchange", "/ex"): list the exchanges, or run one with an optional
// multiplier; the preview's ("/exinfo").
void OnExchangeChatCommand(AShooterPlayerController* player, FString* line, int, int);
void OnPreviewChatCommand(AShooterPlayerController* player, FString* line, int, int);

// Administrators' console commands.
void OnReloadConsoleCommand(APlayerController* sender, FString* line, bool);
void OnListConsoleCommand(APlayerController* sender, FString* line, bool);
void OnAddConsoleCommand(APlayerController* sender, FString* line, bool);
void OnRemoveConsoleCommand(APlayerController* sender, FString* line, bool);
void OnSaveConsoleCommand(APlayerController* sender, FString* line, bool);
void OnLimitsConsoleCommand(APlayerController* sender, FString* line, bool);
void OnResetConsoleCommand(APlayerController* sender, FString* line, bool);

// The same commands over RCON, answered in one reply.
void OnReloadRconCommand(RCONClientConnection* connection, RCONPacket* request, UWorld*);
void OnListRconCommand(RCONClientConnection* connection, RCONPacket* request, UWorld*);
void OnAddRconCommand(RCONClientConnection* connection, RCONPacket* request, UWorld*);
void OnRemoveRconCommand(RCONClientConnection* connection, RCONPacket* request, UWorld*);
void OnSaveRconCommand(RCONClientConnection* connection, RCONPacket* request, UWorld*);
void OnLimitsRconCommand(RCONClientConnection* connection, RCONPacket* request, UWorld*);
void OnResetRconCommand(RCONClientConnection* connection, RCONPacket* request, UWorld*);

// Operators' exchanges for a player named by EOS ID.
void OnDoExchangeConsoleCommand(APlayerController* sender, FString* line, bool);
void OnExchangeRconCommand(RCONClientConnection* connection, RCONPacket* request, UWorld*);
void OnRunConsoleCommand(APlayerController* sender, FString* line, bool);
void OnRunRconCommand(RCONClientConnection* connection, RCONPacket* request, UWorld*);

} // namespace barterbox
