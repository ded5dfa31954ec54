// Temporary bodies until the command handlers land.
#include "command_handlers.h"

namespace barterbox {
void OnExchangeChatCommand(AShooterPlayerController*, FString*, int, int) {}
void OnReloadConsoleCommand(APlayerController*, FString*, bool) {}
void OnListConsoleCommand(APlayerController*, FString*, bool) {}
void OnAddConsoleCommand(APlayerController*, FString*, bool) {}
void OnRemoveConsoleCommand(APlayerController*, FString*, bool) {}
void OnSaveConsoleCommand(APlayerController*, FString*, bool) {}
void OnDoExchangeConsoleCommand(APlayerController*, FString*, bool) {}
void OnExchangeRconCommand(RCONClientConnection*, RCONPacket*, UWorld*) {}
} // namespace barterbox
