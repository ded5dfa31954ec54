// Barterbox.Limits <EOSID>: a player's counts, limits and cooldowns for each exchange that has
// rules, and Barterbox.Reset <EOSID> [name]: forgets them, for one exchange or all.
#include <string>

#include "admin_command.h"
#include "audit/audit_clock.h"
#include "audit/audit_record.h"
#include "catalogue/exchange_catalogue.h"
#include "command_arguments.h"
#include "command_handlers.h"
#include "player_lookup.h"
#include "rules/player_groups.h"
#include "rules/rule_check.h"
#include "rules/rules_file.h"

namespace barterbox {
namespace {

// The player as the rules see them; one who is offline is taken as no administrator.
RuleSubject SubjectByEosId(const std::string& eosId) {
    if (AShooterPlayerController* online = FindControllerByEosId(eosId)) {
        return SubjectOf(online);
    }
    return {eosId, false};
}

void Limits(const AdminCaller& caller, const std::optional<std::string>& arguments) {
    const std::optional<std::string> text =
        ArgumentsOrUsage(caller, arguments, MessageId::LimitsUsage);
    if (!text) {
        return;
    }
    const std::string eosId = SplitFirstWordFromRest(*text).FirstWord;
    const RuleSubject subject = SubjectByEosId(eosId);
    const RuleTime now = AuditClock();
    ReplyToAdmin(caller, ReplyColour::Green, MessageId::LimitsHeader, eosId);
    bool anyRules = false;
    for (const auto& [key, definition] : Catalogue()) {
        if (const std::optional<std::string> standing =
                StandingText(subject, definition.Name, now)) {
            anyRules = true;
            ReplyToAdmin(caller, ReplyColour::White, MessageId::LimitsEntry, definition.Name,
                         *standing);
        }
    }
    if (!anyRules) {
        ReplyToAdmin(caller, ReplyColour::White, MessageId::LimitsNone);
    }
}

void Reset(const AdminCaller& caller, const std::optional<std::string>& arguments) {
    const std::optional<std::string> text =
        ArgumentsOrUsage(caller, arguments, MessageId::ResetUsage);
    if (!text) {
        return;
    }
    const FirstWordAndRest words = SplitFirstWordFromRest(*text);
    std::string name;
    if (words.Rest) {
        const ExchangeDefinition* exchange = FindExchange(ArgumentTextAsOneName(*words.Rest));
        if (exchange == nullptr) {
            ReplyToAdmin(caller, ReplyColour::Red, MessageId::ExchangeNotFound,
                         ArgumentTextAsOneName(*words.Rest));
            return;
        }
        name = exchange->Name;
    }
    if (!ForgetPlayerRuns(words.FirstWord, name)) {
        ReplyToAdmin(caller, ReplyColour::Red, MessageId::ResetLedgerUnreachable);
        return;
    }
    // The local ledger is rebuilt from the records at every load; the cluster's keeps its own.
    AuditReset(SourceOf(caller), words.FirstWord, name);
    if (name.empty()) {
        ReplyToAdmin(caller, ReplyColour::Green, MessageId::ResetAll, words.FirstWord);
    } else {
        ReplyToAdmin(caller, ReplyColour::Green, MessageId::ResetOne, words.FirstWord, name);
    }
}

} // namespace

void OnLimitsConsoleCommand(APlayerController* sender, FString* line, bool) {
    RunAtConsole(sender, *line, &Limits);
}

void OnLimitsRconCommand(RCONClientConnection* connection, RCONPacket* request, UWorld*) {
    RunOverRcon(connection, *request, &Limits);
}

void OnResetConsoleCommand(APlayerController* sender, FString* line, bool) {
    RunAtConsole(sender, *line, &Reset);
}

void OnResetRconCommand(RCONClientConnection* connection, RCONPacket* request, UWorld*) {
    RunOverRcon(connection, *request, &Reset);
}

} // namespace barterbox
