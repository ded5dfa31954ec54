// Barterbox.Remove <name>: removes one exchange and saves the table.
#include <string>

#include "admin_reply.h"
#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "command_arguments.h"
#include "command_handlers.h"
#include "host/engine_strings.h"
#include "plugin/plugin_logger.h"

namespace barterbox {

void OnRemoveConsoleCommand(APlayerController* sender, FString* line, bool) {
    if (!IsAdministrator(sender)) {
        return;
    }
    const std::optional<std::string> arguments = ArgumentText(ToNarrowString(*line));
    if (!arguments) {
        SendAdminReply(sender, ReplyColour::Red,
                       OwnedFString(FormatFString(u"Usage: Barterbox.Remove <name>")).get());
        return;
    }
    const std::string name(TrimSpaces(*arguments));
    if (FindExchange(name) == nullptr) {
        SendAdminReply(
            sender, ReplyColour::Red,
            OwnedFString(FormatFString(u"Exchange '{}' not found", ToWideString(name))).get());
        return;
    }
    EraseExchange(name);
    const bool saved = SaveConfig();
    SendAdminReply(sender, ReplyColour::Green,
                   OwnedFString(FormatFString(u"Removed exchange '{}'", ToWideString(name))).get());
    if (!saved) {
        WarnOfUnsavedChange(sender);
    }
    Log(spdlog::level::info, "Barterbox: Removed '{}' via command", name);
}

} // namespace barterbox
