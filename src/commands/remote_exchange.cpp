// "Barterbox.Do" over RCON and "DoExchange" at the console: an exchange run for an online player
// named by EOS ID, with multiplier 1. "Barterbox.Run" over both: the same with a multiplier,
// answered with what the player was told, so that a web panel can say why.
#include <optional>
#include <string>
#include <vector>

#include "admin_command.h"
#include "command_arguments.h"
#include "command_handlers.h"
#include "exchange_replies.h"
#include "host/engine_strings.h"
#include "host/game_calls.h"
#include "host/host_calls.h"
#include "logger/plugin_logger.h"
#include "player_lookup.h"
#include "rcon_reply.h"

namespace barterbox {
namespace {

enum class RemoteOutcome { MissingArguments, PlayerNotFound, Completed, Failed };

// What both commands do with their words (the command word, the EOS ID, the exchange name; any
// further words are ignored); they differ only in how they answer the outcome, and in how the
// audit names them: RCON knows no administrator, the console its sender.
RemoteOutcome RunExchangeForNamedPlayer(const std::vector<std::string>& words, AuditVia via,
                                        std::string_view by) {
    if (words.size() < 3) {
        return RemoteOutcome::MissingArguments;
    }
    AShooterPlayerController* player = FindControllerByEosId(words[1]);
    if (player == nullptr) {
        return RemoteOutcome::PlayerNotFound;
    }
    const ExchangeOutcome outcome = RunAndReportExchange({player, words[2], 1, via, by});
    return outcome.Result == ExchangeResult::Complete ? RemoteOutcome::Completed
                                                      : RemoteOutcome::Failed;
}

const char* RconReplyTo(RemoteOutcome outcome) {
    switch (outcome) {
    case RemoteOutcome::MissingArguments:
        return "Usage: Barterbox.Do <EOSID> <RecipeName>";
    case RemoteOutcome::PlayerNotFound:
        return "Player not found";
    case RemoteOutcome::Completed:
        return "Exchange completed";
    case RemoteOutcome::Failed:
        break;
    }
    return "Exchange failed";
}

// Barterbox.Run <EOSID> <name> [multiplier]; the words after the multiplier are ignored.
void Run(const AdminCaller& caller, const std::optional<std::string>& arguments) {
    const std::vector<std::string> words = SplitOnSpaces(arguments.value_or(""));
    if (words.size() < 2) {
        ReplyToAdmin(caller, ReplyColour::Red, MessageId::RunUsage);
        return;
    }
    std::optional<int32_t> multiplier = 1;
    if (words.size() > 2) {
        // Strict, unlike chat: a panel that sent a wrong number is told rather than run once.
        multiplier = ReadLeadingInteger(words[2]);
        if (!multiplier || *multiplier < 1 || std::to_string(*multiplier) != words[2]) {
            ReplyToAdmin(caller, ReplyColour::Red, MessageId::RunBadMultiplier, words[2]);
            return;
        }
    }
    AShooterPlayerController* player = FindControllerByEosId(words[0]);
    if (player == nullptr) {
        ReplyToAdmin(caller, ReplyColour::Red, MessageId::RunPlayerNotFound, words[0]);
        return;
    }
    // At the console the record names the administrator who ran it; over RCON no one.
    const AuditSource source = SourceOf(caller);
    const ExchangeOutcome outcome =
        RunAndReportExchange({player, words[1], *multiplier, source.Via, source.EosId});
    std::string told;
    for (const std::string& line : OutcomeLines(outcome)) {
        told += told.empty() ? "" : " ";
        told += line;
    }
    SendAdminLine(
        caller, outcome.Result == ExchangeResult::Complete ? ReplyColour::Green : ReplyColour::Red,
        told);
}

} // namespace

void OnRunConsoleCommand(APlayerController* sender, FString* line, bool) {
    RunAtConsole(sender, *line, &Run);
}

void OnRunRconCommand(RCONClientConnection* connection, RCONPacket* request, UWorld*) {
    RunOverRcon(connection, *request, &Run);
}

void OnExchangeRconCommand(RCONClientConnection* connection, RCONPacket* request, UWorld*) {
    // An operator who hears nothing back would run it again: no reply, no exchange.
    if (!game_calls::RconRepliesResolve()) {
        Log(spdlog::level::err, "Barterbox: Barterbox.Do refused: the host cannot send its reply");
        return;
    }
    const std::vector<std::string> words = SplitOnSpaces(ToNarrowString(request->Body));
    ReplyToRcon(connection, request->Id,
                RconReplyTo(RunExchangeForNamedPlayer(words, AuditVia::Rcon, {})));
}

void OnDoExchangeConsoleCommand(APlayerController* sender, FString* line, bool) {
    // Runs exchanges on another player's inventory, so it is for administrators only.
    if (!IsAdministrator(sender)) {
        Log(spdlog::level::warn, "Barterbox: DoExchange refused for a non-administrator");
        return;
    }
    const std::vector<std::string> words = SplitOnSpaces(ToNarrowString(*line));
    switch (RunExchangeForNamedPlayer(words, AuditVia::Console, host_calls::PlayerEosId(sender))) {
    case RemoteOutcome::MissingArguments:
        Log(spdlog::level::warn, "Barterbox: DoExchange requires EOSID and RecipeName");
        break;
    case RemoteOutcome::PlayerNotFound:
        Log(spdlog::level::warn, "Barterbox: Player not found for EOSID {}", words[1]);
        break;
    case RemoteOutcome::Completed:
    case RemoteOutcome::Failed:
        // The player has been told in chat; the console answers nothing.
        break;
    }
}

} // namespace barterbox
