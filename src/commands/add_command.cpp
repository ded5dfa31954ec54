// Barterbox.Add <name> <giveItem>:<qty> <receiveBlueprint>:<qty>: stores a one-for-one exchange,
// replacing any with the same name, and saves the table.
#include <string>

#include "admin_reply.h"
#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "command_arguments.h"
#include "command_handlers.h"
#include "exchange/item_names.h"
#include "host/engine_strings.h"
#include "plugin/plugin_logger.h"

namespace barterbox {
namespace {

void ReplyRed(APlayerController* sender, std::u16string_view text) {
    SendAdminReply(sender, ReplyColour::Red, OwnedFString(FormatFString(text)).get());
}

// "item:quantity" split at the first colon. A quantity that is not a number is refused like a
// missing colon, rather than stored as whatever the conversion happened to give; so is one below
// 1, which could only ever take a player's items (Give) or give nothing for them (Receive).
std::optional<ItemAmount> ReadItemArgument(std::string_view argument) {
    const size_t colon = argument.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<int32_t> quantity = ReadLeadingInteger(argument.substr(colon + 1));
    if (!quantity || *quantity < 1) {
        return std::nullopt;
    }
    return ItemAmount{std::string(argument.substr(0, colon)), *quantity};
}

} // namespace

void OnAddConsoleCommand(APlayerController* sender, FString* line, bool) {
    if (!IsAdministrator(sender)) {
        return;
    }
    static constexpr char16_t kUsage[] =
        u"Usage: Barterbox.Add <name> <giveItem>:<qty> <receiveBlueprint>:<qty>";
    const std::optional<std::string> text = ArgumentText(ToNarrowString(*line));
    if (!text) {
        ReplyRed(sender, kUsage);
        return;
    }
    const std::vector<std::string> arguments = SplitQuotedArguments(*text);
    if (arguments.size() < 3) {
        ReplyRed(sender, kUsage);
        return;
    }
    const std::string& name = arguments[0];
    const std::optional<ItemAmount> give = ReadItemArgument(arguments[1]);
    if (!give) {
        ReplyRed(sender, u"Give format: ItemName:quantity");
        return;
    }
    const std::optional<ItemAmount> receive = ReadItemArgument(arguments[2]);
    if (!receive) {
        ReplyRed(sender, u"Receive format: Blueprint:quantity");
        return;
    }

    PutExchange(ExchangeDefinition{name, "", {*give}, {*receive}});
    const bool saved = SaveConfig();
    SendAdminReply(
        sender, ReplyColour::Green,
        OwnedFString(FormatFString(u"Added exchange '{}': {} x{} -> {} x{}", ToWideString(name),
                                   ToWideString(give->Item), give->Quantity,
                                   ToWideString(ShortItemName(receive->Item)), receive->Quantity))
            .get());
    if (!saved) {
        WarnOfUnsavedChange(sender);
    }
    Log(spdlog::level::info, "Barterbox: Added '{}' via command", name);
}

} // namespace barterbox
