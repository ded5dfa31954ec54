// Barterbox.Reload: reads config.json again, replacing the table and the settings, and rules.json;
// a file that cannot be read leaves what it holds as it was and says so in red.
#include "admin_command.h"
#include "audit/audit_record.h"
#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "chat_words.h"
#include "command_handlers.h"
#include "exchange/game_readiness.h"
#include "rules/rules_file.h"

namespace barterbox {
namespace {

void Reload(const AdminCaller& caller, const std::optional<std::string>&) {
    const bool reloaded = ReloadConfig();
    const std::optional<std::string> rulesProblem = ReloadRules();
    // Commands may have changed the chat words.
    ApplyChatWords();
    // A reload is where an administrator looks after a game update: say what the game lacks.
    const std::optional<std::string> namesMissing = ReportMissingGameNames();
    AuditReload(SourceOf(caller), ExchangeCount(), reloaded);
    ReplyToAdmin(caller, reloaded ? ReplyColour::Green : ReplyColour::Red,
                 reloaded ? MessageId::Reloaded : MessageId::ReloadFailed, ExchangeCount());
    if (namesMissing) {
        // It names the game's functions, which no translation changes.
        SendAdminLine(caller, ReplyColour::Red, *namesMissing);
    }
    if (rulesProblem) {
        ReplyToAdmin(caller, ReplyColour::Red, MessageId::RulesNotReloaded, *rulesProblem);
    }
}

} // namespace

void OnReloadConsoleCommand(APlayerController* sender, FString* line, bool) {
    RunAtConsole(sender, *line, &Reload);
}

void OnReloadRconCommand(RCONClientConnection* connection, RCONPacket* request, UWorld*) {
    RunOverRcon(connection, *request, &Reload);
}

} // namespace barterbox
