// Barterbox.Reload: reads config.json again, replacing the table and the settings.
#include "admin_reply.h"
#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "command_handlers.h"
#include "host/engine_strings.h"

namespace barterbox {

void OnReloadConsoleCommand(APlayerController* sender, FString*, bool) {
    if (!IsAdministrator(sender)) {
        return;
    }
    LoadConfig();
    SendAdminReply(
        sender, ReplyColour::Green,
        OwnedFString(FormatFString(u"Barterbox: Reloaded {} exchanges", ExchangeCount())).get());
}

} // namespace barterbox
