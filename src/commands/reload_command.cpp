// Barterbox.Reload: reads config.json again, replacing the table and the settings; a file that
// cannot be read leaves both as they were and says so in red.
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
    if (!ReloadConfig()) {
        SendAdminReply(sender, ReplyColour::Red,
                       OwnedFString(FormatFString(u"Barterbox: Reload failed, kept {} exchanges",
                                                  ExchangeCount()))
                           .get());
        return;
    }
    SendAdminReply(
        sender, ReplyColour::Green,
        OwnedFString(FormatFString(u"Barterbox: Reloaded {} exchanges", ExchangeCount())).get());
}

} // namespace barterbox
