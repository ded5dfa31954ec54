// Barterbox.Save: writes the table and the settings to config.json.
#include "admin_command.h"
#include "audit/audit_record.h"
#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "command_handlers.h"

namespace barterbox {
namespace {

void Save(const AdminCaller& caller, const std::optional<std::string>&) {
    // A save that left config.json as it was is never answered as a success.
    const SaveResult saved = SaveConfig();
    AuditSave(SourceOf(caller), ExchangeCount(), saved.Saved);
    if (!saved) {
        ReplyToAdmin(caller, ReplyColour::Red, MessageId::SaveFailed);
        // The table would undo another server's save or a hand edit: a Reload shows it first.
        if (saved.ChangedOnDisk) {
            ReplyToAdmin(caller, ReplyColour::Red, MessageId::SaveChangedOnDisk);
        }
        return;
    }
    ReplyToAdmin(caller, ReplyColour::Green, MessageId::Saved, ExchangeCount());
}

} // namespace

void OnSaveConsoleCommand(APlayerController* sender, FString* line, bool) {
    RunAtConsole(sender, *line, &Save);
}

void OnSaveRconCommand(RCONClientConnection* connection, RCONPacket* request, UWorld*) {
    RunOverRcon(connection, *request, &Save);
}

} // namespace barterbox
