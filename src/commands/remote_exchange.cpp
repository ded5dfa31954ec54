// "Barterbox.Do" over RCON and "DoExchange" at the console: an exchange run for an online player
// named by EOS ID, with multiplier 1.
#include <string>

#include "admin_arguments.h"
#include "command_arguments.h"
#include "command_handlers.h"
#include "exchange/exchange_transaction.h"
#include "host/engine_strings.h"
#include "host/game_calls.h"
#include "player_lookup.h"
#include "plugin/plugin_logger.h"

namespace barterbox {
namespace {

void ReplyToRcon(RCONClientConnection* connection, int32_t requestId, const char* text) {
    OwnedFString reply{FString(text)};
    game_calls::RconSendMessage(connection, requestId, reply.get());
}

} // namespace

void OnExchangeRconCommand(RCONClientConnection* connection, RCONPacket* request, UWorld*) {
    const std::vector<std::string> tokens = SplitOnSpaces(ToNarrowString(request->Body));
    if (tokens.size() < 3) {
        ReplyToRcon(connection, request->Id, "Usage: Barterbox.Do <EOSID> <RecipeName>");
        return;
    }
    AShooterPlayerController* player = FindControllerByEosId(tokens[1]);
    if (player == nullptr) {
        ReplyToRcon(connection, request->Id, "Player not found");
        return;
    }
    const bool completed = ExecuteExchange(player, tokens[2], 1);
    ReplyToRcon(connection, request->Id, completed ? "Exchange completed" : "Exchange failed");
}

void OnDoExchangeConsoleCommand(APlayerController* sender, FString* line, bool) {
    // Runs exchanges on another player's inventory, so it is for administrators only.
    if (!IsAdministrator(sender)) {
        Log(spdlog::level::warn, "Barterbox: DoExchange refused for a non-administrator");
        return;
    }
    const std::vector<std::string> tokens = SplitOnSpaces(ToNarrowString(*line));
    if (tokens.size() < 3) {
        Log(spdlog::level::warn, "Barterbox: DoExchange requires EOSID and RecipeName");
        return;
    }
    AShooterPlayerController* player = FindControllerByEosId(tokens[1]);
    if (player == nullptr) {
        Log(spdlog::level::warn, "Barterbox: Player not found for EOSID {}", tokens[1]);
        return;
    }
    ExecuteExchange(player, tokens[2], 1);
}

} // namespace barterbox
