// Barterbox.List: the count, then one white line per exchange with its description.
#include "admin_reply.h"
#include "catalogue/exchange_catalogue.h"
#include "command_handlers.h"
#include "host/engine_strings.h"

namespace barterbox {

void OnListConsoleCommand(APlayerController* sender, FString*, bool) {
    if (!IsAdministrator(sender)) {
        return;
    }
    SendAdminReply(sender, ReplyColour::Green,
                   OwnedFString(FormatFString(u"Barterbox: {} exchanges", ExchangeCount())).get());
    for (const auto& [key, definition] : Catalogue()) {
        // The separator stays even when the description is empty.
        SendAdminReply(sender, ReplyColour::White,
                       OwnedFString(FormatFString(u"  {} - {}", ToWideString(definition.Name),
                                                  ToWideString(definition.Description)))
                           .get());
    }
}

} // namespace barterbox
