// Barterbox.Add <name> <giveItem>:<qty> <receiveBlueprint>:<qty>: stores a one-for-one exchange,
// replacing any with the same name, and saves the table.
#include <optional>
#include <string>
#include <vector>

#include "admin_arguments.h"
#include "admin_reply.h"
#include "audit/audit_record.h"
#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "command_arguments.h"
#include "command_handlers.h"
#include "exchange/item_names.h"
#include "host/engine_strings.h"
#include "logger/plugin_logger.h"

namespace barterbox {
namespace {

// "item:quantity" split at the first colon. A quantity that is not a number is refused like a
// missing colon, rather than stored as whatever the conversion happened to give; so is one below
// 1, which could only ever take a player's items (Give) or give nothing for them (Receive), and
// so is an empty item, which would match every item (Give) or name none to give (Receive).
std::optional<ItemAmount> ReadItemArgument(std::string_view argument) {
    const size_t colon = argument.find(':');
    if (colon == std::string_view::npos || colon == 0) {
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
    static constexpr char16_t kUsage[] =
        u"Usage: Barterbox.Add <name> <giveItem>:<qty> <receiveBlueprint>:<qty>";
    const std::optional<std::string> text = AdministratorsArgumentText(sender, *line, kUsage);
    if (!text) {
        return;
    }
    const std::vector<std::string> arguments = SplitQuotedArguments(*text);
    if (arguments.size() < 3) {
        ReplyWithUsage(sender, kUsage);
        return;
    }
    const std::string& name = arguments[0];
    const std::optional<ItemAmount> give = ReadItemArgument(arguments[1]);
    if (!give) {
        ReplyToAdmin(sender, ReplyColour::Red, u"Give format: ItemName:quantity");
        return;
    }
    const std::optional<ItemAmount> receive = ReadItemArgument(arguments[2]);
    if (!receive) {
        ReplyToAdmin(sender, ReplyColour::Red, u"Receive format: Blueprint:quantity");
        return;
    }

    const ExchangeDefinition added{name, "", {*give}, {*receive}};
    PutExchange(added);
    const bool saved = SaveConfig();
    AuditAdd(AdministratorSource(sender), added, saved);
    ReplyToAdmin(sender, ReplyColour::Green, u"Added exchange '{}': {} x{} -> {} x{}",
                 ToWideString(name), ToWideString(give->Item), give->Quantity,
                 ToWideString(ShortItemName(receive->Item)), receive->Quantity);
    if (!saved) {
        WarnOfUnsavedChange(sender);
    }
    Log(spdlog::level::info, "Barterbox: Added '{}' via command", name);
}

} // namespace barterbox
