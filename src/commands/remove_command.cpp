// Barterbox.Remove <name>: removes one exchange and saves the table.
#include <string>

#include "admin_arguments.h"
#include "admin_reply.h"
#include "audit/audit_record.h"
#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "command_arguments.h"
#include "command_handlers.h"
#include "host/engine_strings.h"
#include "logger/plugin_logger.h"

namespace barterbox {

void OnRemoveConsoleCommand(APlayerController* sender, FString* line, bool) {
    const std::optional<std::string> text =
        AdministratorsArgumentText(sender, *line, u"Usage: Barterbox.Remove <name>");
    if (!text) {
        return;
    }
    const std::string name = ArgumentTextAsOneName(*text);
    const ExchangeDefinition* found = FindExchange(name);
    if (found == nullptr) {
        ReplyToAdmin(sender, ReplyColour::Red, u"Exchange '{}' not found", ToWideString(name));
        return;
    }
    // The record names the exchange as configured, whatever letter case was typed.
    const std::string configuredName = found->Name;
    // Made to config.json as it is now, which another server sharing it may have changed.
    const bool saved = SaveChange([&] { EraseExchange(name); });
    AuditRemove(AdministratorSource(sender), configuredName, saved);
    ReplyToAdmin(sender, ReplyColour::Green, u"Removed exchange '{}'", ToWideString(name));
    if (!saved) {
        WarnOfUnsavedChange(sender);
    }
    Log(spdlog::level::info, "Barterbox: Removed '{}' via command", name);
}

} // namespace barterbox
