// Barterbox.Add <name> <giveItem>:<qty> <receiveBlueprint>:<qty>: stores a one-for-one exchange,
// replacing any with the same name, and saves the table.
#include <optional>
#include <string>
#include <vector>

#include "admin_command.h"
#include "audit/audit_record.h"
#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "command_arguments.h"
#include "command_handlers.h"
#include "exchange/item_names.h"
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
    MessageId Problem = MessageId::AddNoColon;
    std::string Wrong; // the text the problem quotes
};

ItemArgument ReadItemArgument(std::string_view argument) {
    const size_t colon = argument.find(':');
    if (colon == std::string_view::npos) {
        return {std::nullopt, MessageId::AddNoColon, std::string(argument)};
    }
    if (colon == 0) {
        return {std::nullopt, MessageId::AddNoItem, std::string(argument)};
    }
    const std::string_view digits = argument.substr(colon + 1);
    const std::optional<int32_t> quantity = ReadLeadingInteger(digits);
    if (!quantity || *quantity < 1) {
        return {std::nullopt, MessageId::AddBadQuantity, std::string(digits)};
    }
    return {ItemAmount{std::string(argument.substr(0, colon)), *quantity}, {}, {}};
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
void WarnOfOddities(const AdminCaller& caller, const std::vector<std::string>& arguments,
                    const ItemAmount& receive) {
    if (!LooksLikeBlueprint(receive.Item)) {
        ReplyToAdmin(caller, ReplyColour::Red, MessageId::AddNotBlueprint, receive.Item);
    }
    if (arguments.size() > 3) {
        std::string ignored;
        for (size_t i = 3; i < arguments.size(); ++i) {
            ignored += i == 3 ? "" : " ";
            ignored += arguments[i];
        }
        ReplyToAdmin(caller, ReplyColour::Red, MessageId::AddIgnoredWords, ignored);
    }
}

void AddExchange(const AdminCaller& caller, const std::string& name, const ItemAmount& give,
                 const ItemAmount& receive) {
    const ExchangeDefinition added{name, "", {give}, {receive}};
    // Made to config.json as it is now, which another server sharing it may have changed.
    const bool saved = SaveChange([&] { PutExchange(added); });
    AuditAdd(SourceOf(caller), added, saved);
    ReplyToAdmin(caller, ReplyColour::Green, MessageId::Added, name, give.Item, give.Quantity,
                 ShortItemName(receive.Item), receive.Quantity);
    if (!saved) {
        WarnOfUnsavedChange(caller);
    }
    Log(spdlog::level::info, "Barterbox: Added '{}' via command", name);
}

// The format line of the argument that is wrong, then what is wrong with it.
bool ReportsWrongArgument(const AdminCaller& caller, const ItemArgument& argument,
                          MessageId format) {
    if (argument.Amount) {
        return false;
    }
    ReplyToAdmin(caller, ReplyColour::Red, format);
    ReplyToAdmin(caller, ReplyColour::Red, argument.Problem, argument.Wrong);
    return true;
}

void Add(const AdminCaller& caller, const std::optional<std::string>& text) {
    if (!ArgumentsOrUsage(caller, text, MessageId::AddUsage)) {
        return;
    }
    const std::vector<std::string> arguments = SplitQuotedArguments(*text);
    if (arguments.size() < 3) {
        ReplyToAdmin(caller, ReplyColour::Red, MessageId::AddUsage);
        return;
    }
    const ItemArgument give = ReadItemArgument(arguments[1]);
    if (ReportsWrongArgument(caller, give, MessageId::AddGiveFormat)) {
        return;
    }
    const ItemArgument receive = ReadItemArgument(arguments[2]);
    if (ReportsWrongArgument(caller, receive, MessageId::AddReceiveFormat)) {
        return;
    }
    AddExchange(caller, arguments[0], *give.Amount, *receive.Amount);
    WarnOfOddities(caller, arguments, *receive.Amount);
}

} // namespace

void OnAddConsoleCommand(APlayerController* sender, FString* line, bool) {
    RunAtConsole(sender, *line, &Add);
}

void OnAddRconCommand(RCONClientConnection* connection, RCONPacket* request, UWorld*) {
    RunOverRcon(connection, *request, &Add);
}

} // namespace barterbox
