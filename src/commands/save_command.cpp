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
    // The reply does not depend on the outcome; a failed save is in the log.
    SaveConfig();
    SendAdminReply(
        sender, ReplyColour::Green,
        OwnedFString(FormatFString(u"Barterbox: Config saved ({} exchanges)", ExchangeCount()))
            .get());
}

} // namespace barterbox
