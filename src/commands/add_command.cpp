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

// "item:quantity" split at the first colon, or what is wrong with it. A quantity that is not a
// number is refused like a missing colon, rather than stored as whatever the conversion happened
// to give; so is one below 1, which could only ever take a player's items (Give) or give nothing
// for them (Receive), and so is an empty item, which would match every item (Give) or name none
// to give (Receive).
struct ItemArgument {
    std::optional<ItemAmount> Amount;
    std::string Problem;
};

// "'text' " followed by what is wrong with it.
std::string Problem(std::string_view text, std::string_view wrong) {
    std::string problem = "'";
    problem += text;
    problem += "' ";
    problem += wrong;
    return problem;
}

ItemArgument ReadItemArgument(std::string_view argument) {
    const size_t colon = argument.find(':');
    if (colon == std::string_view::npos) {
        return {std::nullopt, Problem(argument, "has no ':' before a quantity")};
    }
    if (colon == 0) {
        return {std::nullopt, Problem(argument, "names no item before its ':'")};
    }
    const std::string_view digits = argument.substr(colon + 1);
    const std::optional<int32_t> quantity = ReadLeadingInteger(digits);
    if (!quantity || *quantity < 1) {
        return {std::nullopt, Problem(digits, "is no whole number from 1 to 2147483647")};
    }
    return {ItemAmount{std::string(argument.substr(0, colon)), *quantity}, {}};
}

// What the game can hand out: a path (/Game/.../X.X) or its Blueprint'...' reference.
bool LooksLikeBlueprint(std::string_view item) {
    constexpr std::string_view kPrefix = "Blueprint'";
    if (item.starts_with(kPrefix) && item.size() > kPrefix.size() && item.ends_with('\'')) {
        item = item.substr(kPrefix.size(), item.size() - kPrefix.size() - 1);
    }
    const size_t slash = item.rfind('/');
    return item.starts_with('/') && slash != std::string_view::npos &&
           item.find('.', slash) != std::string_view::npos;
}

// Red lines after a stored exchange for what was stored as typed but will not work as meant.
void WarnOfOddities(APlayerController* sender, const std::vector<std::string>& arguments,
                    const ItemAmount& receive) {
    if (!LooksLikeBlueprint(receive.Item)) {
        ReplyToAdmin(sender, ReplyColour::Red,
                     u"Barterbox: Warning: '{}' is no blueprint path (/Game/.../Name.Name); the "
                     u"game hands out nothing for it",
                     ToWideString(receive.Item));
    }
    if (arguments.size() > 3) {
        std::string ignored;
        for (size_t i = 3; i < arguments.size(); ++i) {
            ignored += i == 3 ? "" : " ";
            ignored += arguments[i];
        }
        ReplyToAdmin(sender, ReplyColour::Red,
                     u"Barterbox: Warning: ignored what follows the Receive item: {}",
                     ToWideString(ignored));
    }
}

void AddExchange(APlayerController* sender, const std::string& name, const ItemAmount& give,
                 const ItemAmount& receive) {
    const ExchangeDefinition added{name, "", {give}, {receive}};
    // Made to config.json as it is now, which another server sharing it may have changed.
    const bool saved = SaveChange([&] { PutExchange(added); });
    AuditAdd(AdministratorSource(sender), added, saved);
    ReplyToAdmin(sender, ReplyColour::Green, u"Added exchange '{}': {} x{} -> {} x{}",
                 ToWideString(name), ToWideString(give.Item), give.Quantity,
                 ToWideString(ShortItemName(receive.Item)), receive.Quantity);
    if (!saved) {
        WarnOfUnsavedChange(sender);
    }
    Log(spdlog::level::info, "Barterbox: Added '{}' via command", name);
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
    const ItemArgument give = ReadItemArgument(arguments[1]);
    if (!give.Amount) {
        ReplyToAdmin(sender, ReplyColour::Red, u"Give format: ItemName:quantity");
        ReplyToAdmin(sender, ReplyColour::Red, u"{}", ToWideString(give.Problem));
        return;
    }
    const ItemArgument receive = ReadItemArgument(arguments[2]);
    if (!receive.Amount) {
        ReplyToAdmin(sender, ReplyColour::Red, u"Receive format: Blueprint:quantity");
        ReplyToAdmin(sender, ReplyColour::Red, u"{}", ToWideString(receive.Problem));
        return;
    }
    AddExchange(sender, name, *give.Amount, *receive.Amount);
    WarnOfOddities(sender, arguments, *receive.Amount);
}

} // namespace barterbox
