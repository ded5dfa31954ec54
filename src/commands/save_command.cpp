// Barterbox.Save: writes the table and the settings to config.json.
#include "admin_reply.h"
#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "command_handlers.h"
#include "host/engine_strings.h"

namespace barterbox {

void OnSaveConsoleCommand(APlayerController* sender, FString*, bool) {
    if (!IsAdministrator(sender)) {
        return;
    }
    // A save that left config.json as it was is never answered as a success.
    if (!SaveConfig()) {
        SendAdminReply(sender, ReplyColour::Red,
                       OwnedFString(FormatFString(u"Barterbox: Failed to save config")).get());
        return;
    }
    SendAdminReply(
        sender, ReplyColour::Green,
        OwnedFString(FormatFString(u"Barterbox: Config saved ({} exchanges)", ExchangeCount()))
            .get());
}

} // namespace barterbox
