// Barterbox.List: the count, then one white line per exchange with its description.
#include "admin_arguments.h"
#include "admin_reply.h"
#include "catalogue/exchange_catalogue.h"
#include "command_handlers.h"
#include "host/engine_strings.h"

namespace barterbox {

void OnListConsoleCommand(APlayerController* sender, FString*, bool) {
    if (!IsAdministrator(sender)) {
        return;
    }
    ReplyToAdmin(sender, ReplyColour::Green, u"Barterbox: {} exchanges", ExchangeCount());
    for (const auto& [key, definition] : Catalogue()) {
        // The separator stays even when the description is empty.
        ReplyToAdmin(sender, ReplyColour::White, u"  {} - {}", ToWideString(definition.Name),
                     ToWideString(definition.Description));
    }
}

} // namespace barterbox
