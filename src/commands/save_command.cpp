// Barterbox.Save: writes the table and the settings to config.json.
#include "admin_arguments.h"
#include "admin_reply.h"
#include "audit/audit_record.h"
#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "command_handlers.h"

namespace barterbox {

void OnSaveConsoleCommand(APlayerController* sender, FString*, bool) {
    if (!IsAdministrator(sender)) {
        return;
    }
    // A save that left config.json as it was is never answered as a success.
    const SaveResult saved = SaveConfig();
    AuditSave(AdministratorSource(sender), ExchangeCount(), saved.Saved);
    if (!saved) {
        ReplyToAdmin(sender, ReplyColour::Red, u"Barterbox: Failed to save config");
        // The table would undo another server's save or a hand edit: a Reload shows it first.
        if (saved.ChangedOnDisk) {
            ReplyToAdmin(sender, ReplyColour::Red,
                         u"Barterbox: config.json changed on disk since this server read it; use "
                         u"Barterbox.Reload, then save again");
        }
        return;
    }
    ReplyToAdmin(sender, ReplyColour::Green, u"Barterbox: Config saved ({} exchanges)",
                 ExchangeCount());
}

} // namespace barterbox
