// Barterbox.Limits <EOSID>: a player's counts, limits and cooldowns for each exchange that has
// rules, and Barterbox.Reset <EOSID> [name]: forgets them, for one exchange or all.
#include <string>

#include "admin_arguments.h"
#include "admin_reply.h"
#include "audit/audit_clock.h"
#include "audit/audit_record.h"
#include "catalogue/exchange_catalogue.h"
#include "command_arguments.h"
#include "command_handlers.h"
#include "host/engine_strings.h"
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

} // namespace

void OnLimitsConsoleCommand(APlayerController* sender, FString* line, bool) {
    const std::optional<std::string> text =
        AdministratorsArgumentText(sender, *line, u"Usage: Barterbox.Limits <EOSID>");
    if (!text) {
        return;
    }
    const std::string eosId = SplitFirstWordFromRest(*text).FirstWord;
    const RuleSubject subject = SubjectByEosId(eosId);
    const RuleTime now = AuditClock();
    ReplyToAdmin(sender, ReplyColour::Green, u"Barterbox: Limits of {}", ToWideString(eosId));
    bool anyRules = false;
    for (const auto& [key, definition] : Catalogue()) {
        if (const std::optional<std::string> standing =
                StandingText(subject, definition.Name, now)) {
            anyRules = true;
            ReplyToAdmin(sender, ReplyColour::White, u"  {} - {}", ToWideString(definition.Name),
                         ToWideString(*standing));
        }
    }
    if (!anyRules) {
        ReplyToAdmin(sender, ReplyColour::White, u"  No exchange has rules");
    }
}

void OnResetConsoleCommand(APlayerController* sender, FString* line, bool) {
    const std::optional<std::string> text =
        AdministratorsArgumentText(sender, *line, u"Usage: Barterbox.Reset <EOSID> [name]");
    if (!text) {
        return;
    }
    const FirstWordAndRest words = SplitFirstWordFromRest(*text);
    std::string name;
    if (words.Rest) {
        const ExchangeDefinition* exchange = FindExchange(ArgumentTextAsOneName(*words.Rest));
        if (exchange == nullptr) {
            ReplyToAdmin(sender, ReplyColour::Red, u"Exchange '{}' not found",
                         ToWideString(ArgumentTextAsOneName(*words.Rest)));
            return;
        }
        name = exchange->Name;
    }
    if (!ForgetPlayerRuns(words.FirstWord, name)) {
        ReplyToAdmin(sender, ReplyColour::Red,
                     u"Barterbox: The trade ledger cannot be reached; nothing was reset");
        return;
    }
    // The local ledger is rebuilt from the records at every load; the cluster's keeps its own.
    AuditReset(AdministratorSource(sender), words.FirstWord, name);
    if (name.empty()) {
        ReplyToAdmin(sender, ReplyColour::Green,
                     u"Barterbox: Reset the counts of {} for every exchange",
                     ToWideString(words.FirstWord));
    } else {
        ReplyToAdmin(sender, ReplyColour::Green, u"Barterbox: Reset the counts of {} for {}",
                     ToWideString(words.FirstWord), ToWideString(name));
    }
}

} // namespace barterbox
