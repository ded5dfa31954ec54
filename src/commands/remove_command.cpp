// Barterbox.Remove <name>: removes one exchange and saves the table.
#include <string>

#include "admin_command.h"
#include "audit/audit_record.h"
#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "command_arguments.h"
#include "command_handlers.h"
#include "logger/plugin_logger.h"

namespace barterbox {
namespace {

void Remove(const AdminCaller& caller, const std::optional<std::string>& arguments) {
    const std::optional<std::string> text =
        ArgumentsOrUsage(caller, arguments, MessageId::RemoveUsage);
    if (!text) {
        return;
    }
    const std::string name = ArgumentTextAsOneName(*text);
    const ExchangeDefinition* found = FindExchange(name);
    if (found == nullptr) {
        ReplyToAdmin(caller, ReplyColour::Red, MessageId::ExchangeNotFound, name);
        return;
    }
    // The record names the exchange as configured, whatever letter case was typed.
    const std::string configuredName = found->Name;
    // Made to config.json as it is now, which another server sharing it may have changed.
    const bool saved = SaveChange([&] { EraseExchange(name); });
    AuditRemove(SourceOf(caller), configuredName, saved);
    ReplyToAdmin(caller, ReplyColour::Green, MessageId::Removed, name);
    if (!saved) {
        WarnOfUnsavedChange(caller);
    }
    Log(spdlog::level::info, "Barterbox: Removed '{}' via command", name);
}

} // namespace

void OnRemoveConsoleCommand(APlayerController* sender, FString* line, bool) {
    RunAtConsole(sender, *line, &Remove);
}

void OnRemoveRconCommand(RCONClientConnection* connection, RCONPacket* request, UWorld*) {
    RunOverRcon(connection, *request, &Remove);
}

} // namespace barterbox
