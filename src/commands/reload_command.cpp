// Barterbox.Reload: reads config.json again, replacing the table and the settings, and rules.json;
// a file that cannot be read leaves what it holds as it was and says so in red.
#include "admin_arguments.h"
#include "admin_reply.h"
#include "audit/audit_record.h"
#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "command_handlers.h"
#include "exchange/game_readiness.h"
#include "host/engine_strings.h"
#include "rules/rules_file.h"

namespace barterbox {

void OnReloadConsoleCommand(APlayerController* sender, FString*, bool) {
    if (!IsAdministrator(sender)) {
        return;
    }
    const bool reloaded = ReloadConfig();
    const std::optional<std::string> rulesProblem = ReloadRules();
    // A reload is where an administrator looks after a game update: say what the game lacks.
    const std::optional<std::string> namesMissing = ReportMissingGameNames();
    AuditReload(AdministratorSource(sender), ExchangeCount(), reloaded);
    if (!reloaded) {
        ReplyToAdmin(sender, ReplyColour::Red, u"Barterbox: Reload failed, kept {} exchanges",
                     ExchangeCount());
    } else {
        ReplyToAdmin(sender, ReplyColour::Green, u"Barterbox: Reloaded {} exchanges",
                     ExchangeCount());
    }
    if (namesMissing) {
        ReplyToAdmin(sender, ReplyColour::Red, u"{}", ToWideString(*namesMissing));
    }
    if (rulesProblem) {
        ReplyToAdmin(sender, ReplyColour::Red, u"Barterbox: rules.json not reloaded: {}",
                     ToWideString(*rulesProblem));
    }
}

} // namespace barterbox
