// Every text a player, an administrator or an operator reads, by the stable name under which
// rules.json's Messages replaces it: its default, what fills its placeholders, and who reads it.
// The plugin, the config checker and docs/messages.md all follow this one table.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace barterbox {

enum class MessageReader { Players, Administrators, Operators };

enum class MessageId : std::size_t {
    // The chat listing and the exchanges' outcomes.
    ListingHeader,
    ListingEntry,
    ListingEntryWithDescription,
    ExchangeComplete,
    UnknownExchange,
    NotEnoughItems,
    ExchangePartial,
    GiveFailed,
    InventoryFull,
    RecordFailed,
    RemoveFailed,
    NoRoom,
    CannotTradeWhile,
    StateDead,
    StateUnconscious,
    StateCarried,
    StateRiding,
    StateTransferring,
    StateNoglin,
    ExchangeClosed,
    NotForYou,
    CooldownWait,
    DayLimit,
    WeekLimit,
    TotalLimit,
    SoldOut,
    SoldOutUntil,
    AllClosed,
    LedgerPaused,
    InternalError,
    // The preview.
    PreviewUsage,
    PreviewLowered,
    PreviewTakes,
    PreviewGives,
    PreviewItemHeld,
    PreviewItem,
    PreviewSlots,
    PreviewStanding,
    // Where a player stands with an exchange's rules: the preview and Barterbox.Limits.
    StandingClosed,
    StandingNotForPlayer,
    StandingNoLimits,
    StandingDay,
    StandingWeek,
    StandingTotal,
    StandingStock,
    StandingStockRefills,
    StandingCooldownReady,
    StandingCooldownWait,
    // The administrators' commands.
    InternalErrorConsole,
    Reloaded,
    ReloadFailed,
    RulesNotReloaded,
    SaveFailed,
    UnsavedChange,
    SaveChangedOnDisk,
    Saved,
    ListHeader,
    ListEntry,
    ListPage,
    ReplyCut,
    AddUsage,
    AddGiveFormat,
    AddReceiveFormat,
    AddNoColon,
    AddNoItem,
    AddBadQuantity,
    Added,
    AddNotBlueprint,
    AddIgnoredWords,
    RemoveUsage,
    ExchangeNotFound,
    Removed,
    LimitsUsage,
    LimitsHeader,
    LimitsEntry,
    LimitsNone,
    ResetUsage,
    ResetAll,
    ResetOne,
    ResetLedgerUnreachable,
    // The operators' exchange for a player.
    RunUsage,
    RunPlayerNotFound,
    RunBadMultiplier,
};

struct MessageDefinition {
    MessageId Id;
    std::string_view Name;
    std::string_view Default; // UTF-8; each {} is filled in the order Placeholders names
    std::string_view Placeholders;
    MessageReader Reader;
};

// The number of {} in a default text.
constexpr std::size_t PlaceholderCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = text.find("{}"); at != std::string_view::npos;
         at = text.find("{}", at + 2)) {
        ++count;
    }
    return count;
}

// clang-format off
inline constexpr MessageDefinition kMessages[] = {
    {MessageId::ListingHeader, "ListingHeader", "Available exchanges:", "", MessageReader::Players},
    {MessageId::ListingEntry, "ListingEntry", "  {} {}", "chat word, exchange", MessageReader::Players},
    {MessageId::ListingEntryWithDescription, "ListingEntryWithDescription", "  {} {} - {}",
     "chat word, exchange, description", MessageReader::Players},
    {MessageId::ExchangeComplete, "ExchangeComplete", "Exchange complete: {} x{}",
     "exchange, multiplier", MessageReader::Players},
    {MessageId::UnknownExchange, "UnknownExchange", "Unknown exchange: {}", "exchange", MessageReader::Players},
    {MessageId::NotEnoughItems, "NotEnoughItems", "Need {} {} (have {})",
     "quantity needed, item, quantity carried", MessageReader::Players},
    {MessageId::ExchangePartial, "ExchangePartial",
     "Exchange partially complete - some items failed", "", MessageReader::Players},
    {MessageId::GiveFailed, "GiveFailed", "Failed to give items. Exchange cancelled.", "", MessageReader::Players},
    {MessageId::InventoryFull, "InventoryFull", "Your inventory is full", "", MessageReader::Players},
    {MessageId::RecordFailed, "RecordFailed",
     "Failed to record the exchange. Exchange cancelled.", "", MessageReader::Players},
    {MessageId::RemoveFailed, "RemoveFailed", "Failed to remove items. Exchange cancelled.", "",
     MessageReader::Players},
    {MessageId::NoRoom, "NoRoom", "Needs {} free slots, you have {}", "slots needed, slots free",
     MessageReader::Players},
    {MessageId::CannotTradeWhile, "CannotTradeWhile", "You cannot trade while {}",
     "the state, one of the State texts", MessageReader::Players},
    {MessageId::StateDead, "StateDead", "dead", "", MessageReader::Players},
    {MessageId::StateUnconscious, "StateUnconscious", "unconscious", "", MessageReader::Players},
    {MessageId::StateCarried, "StateCarried", "carried", "", MessageReader::Players},
    {MessageId::StateRiding, "StateRiding", "riding", "", MessageReader::Players},
    {MessageId::StateTransferring, "StateTransferring", "transferring to another server", "",
     MessageReader::Players},
    {MessageId::StateNoglin, "StateNoglin", "controlled by a Noglin", "", MessageReader::Players},
    {MessageId::ExchangeClosed, "ExchangeClosed", "{} is closed for now", "exchange", MessageReader::Players},
    {MessageId::NotForYou, "NotForYou", "{} is not available to you", "exchange", MessageReader::Players},
    {MessageId::CooldownWait, "CooldownWait", "{} is ready again in {}", "exchange, time left",
     MessageReader::Players},
    {MessageId::DayLimit, "DayLimit", "Limit reached for {}: {} per day", "exchange, limit",
     MessageReader::Players},
    {MessageId::WeekLimit, "WeekLimit", "Limit reached for {}: {} per week", "exchange, limit",
     MessageReader::Players},
    {MessageId::TotalLimit, "TotalLimit", "Limit reached for {}: {} in all", "exchange, limit",
     MessageReader::Players},
    {MessageId::SoldOut, "SoldOut", "{} is sold out", "exchange", MessageReader::Players},
    {MessageId::SoldOutUntil, "SoldOutUntil", "{} is sold out; more in {}", "exchange, time left",
     MessageReader::Players},
    {MessageId::AllClosed, "AllClosed", "Exchanges are closed for now", "", MessageReader::Players},
    {MessageId::LedgerPaused, "LedgerPaused", "{} is paused: the trade ledger cannot be reached",
     "exchange", MessageReader::Players},
    {MessageId::InternalError, "InternalError",
     "Something went wrong inside the plugin; an administrator can read why in the server's log",
     "", MessageReader::Players},
    {MessageId::PreviewUsage, "PreviewUsage",
     "{} NAME [MULTIPLIER] shows what an exchange takes and gives, and what you carry, without "
     "trading", "chat word", MessageReader::Players},
    {MessageId::PreviewLowered, "PreviewLowered",
     "{}: x{} asked, x{} is what the settings and rules allow",
     "exchange, multiplier asked, multiplier allowed", MessageReader::Players},
    {MessageId::PreviewTakes, "PreviewTakes", "{} x{} takes {}", "exchange, multiplier, items",
     MessageReader::Players},
    {MessageId::PreviewGives, "PreviewGives", "{} x{} gives {}", "exchange, multiplier, items",
     MessageReader::Players},
    {MessageId::PreviewItemHeld, "PreviewItemHeld", "{} {} (you have {})",
     "quantity, item, quantity carried", MessageReader::Players},
    {MessageId::PreviewItem, "PreviewItem", "{} {}", "quantity, item", MessageReader::Players},
    {MessageId::PreviewSlots, "PreviewSlots", "Free slots: needs {}, you have {}",
     "slots needed, slots free", MessageReader::Players},
    {MessageId::PreviewStanding, "PreviewStanding", "{}: {}", "exchange, standing", MessageReader::Players},
    {MessageId::StandingClosed, "StandingClosed", "closed", "", MessageReader::Players},
    {MessageId::StandingNotForPlayer, "StandingNotForPlayer", "not available to this player", "",
     MessageReader::Players},
    {MessageId::StandingNoLimits, "StandingNoLimits", "no limits for this player", "", MessageReader::Players},
    {MessageId::StandingDay, "StandingDay", "day {}/{}", "runs, limit", MessageReader::Players},
    {MessageId::StandingWeek, "StandingWeek", "week {}/{}", "runs, limit", MessageReader::Players},
    {MessageId::StandingTotal, "StandingTotal", "total {}/{}", "runs, limit", MessageReader::Players},
    {MessageId::StandingStock, "StandingStock", "stock {}/{}", "runs, stock", MessageReader::Players},
    {MessageId::StandingStockRefills, "StandingStockRefills", "stock {}/{} (refills in {})",
     "runs, stock, time left", MessageReader::Players},
    {MessageId::StandingCooldownReady, "StandingCooldownReady", "cooldown {} (ready)",
     "cooldown", MessageReader::Players},
    {MessageId::StandingCooldownWait, "StandingCooldownWait", "cooldown {} (ready in {})",
     "cooldown, time left", MessageReader::Players},
    {MessageId::InternalErrorConsole, "InternalErrorConsole",
     "Barterbox: Internal error in {}; the server's log says why", "command", MessageReader::Administrators},
    {MessageId::Reloaded, "Reloaded", "Barterbox: Reloaded {} exchanges", "exchanges",
     MessageReader::Administrators},
    {MessageId::ReloadFailed, "ReloadFailed", "Barterbox: Reload failed, kept {} exchanges",
     "exchanges", MessageReader::Administrators},
    {MessageId::RulesNotReloaded, "RulesNotReloaded", "Barterbox: rules.json not reloaded: {}",
     "reason", MessageReader::Administrators},
    {MessageId::SaveFailed, "SaveFailed", "Barterbox: Failed to save config", "", MessageReader::Administrators},
    {MessageId::UnsavedChange, "UnsavedChange",
     "Barterbox: Failed to save config; the change holds until the next Reload", "",
     MessageReader::Administrators},
    {MessageId::SaveChangedOnDisk, "SaveChangedOnDisk",
     "Barterbox: config.json changed on disk since this server read it; use Barterbox.Reload, "
     "then save again", "", MessageReader::Administrators},
    {MessageId::Saved, "Saved", "Barterbox: Config saved ({} exchanges)", "exchanges",
     MessageReader::Administrators},
    {MessageId::ListHeader, "ListHeader", "Barterbox: {} exchanges", "exchanges", MessageReader::Administrators},
    {MessageId::ListEntry, "ListEntry", "  {} - {}", "exchange, description", MessageReader::Administrators},
    {MessageId::ListPage, "ListPage", "Page {} of {}; Barterbox.List N shows page N",
     "page, pages", MessageReader::Administrators},
    {MessageId::ReplyCut, "ReplyCut", "... lines left out to fit one RCON reply: {}",
     "lines left out", MessageReader::Administrators},
    {MessageId::AddUsage, "AddUsage",
     "Usage: Barterbox.Add <name> <giveItem>:<qty> <receiveBlueprint>:<qty>", "", MessageReader::Administrators},
    {MessageId::AddGiveFormat, "AddGiveFormat", "Give format: ItemName:quantity", "",
     MessageReader::Administrators},
    {MessageId::AddReceiveFormat, "AddReceiveFormat", "Receive format: Blueprint:quantity", "",
     MessageReader::Administrators},
    {MessageId::AddNoColon, "AddNoColon", "'{}' has no ':' before a quantity", "argument",
     MessageReader::Administrators},
    {MessageId::AddNoItem, "AddNoItem", "'{}' names no item before its ':'", "argument",
     MessageReader::Administrators},
    {MessageId::AddBadQuantity, "AddBadQuantity", "'{}' is no whole number from 1 to 2147483647",
     "quantity", MessageReader::Administrators},
    {MessageId::Added, "Added", "Added exchange '{}': {} x{} -> {} x{}",
     "exchange, Give item, quantity, Receive item, quantity", MessageReader::Administrators},
    {MessageId::AddNotBlueprint, "AddNotBlueprint",
     "Barterbox: Warning: '{}' is no blueprint path (/Game/.../Name.Name); the game hands out "
     "nothing for it", "Receive item", MessageReader::Administrators},
    {MessageId::AddIgnoredWords, "AddIgnoredWords",
     "Barterbox: Warning: ignored what follows the Receive item: {}", "words", MessageReader::Administrators},
    {MessageId::RemoveUsage, "RemoveUsage", "Usage: Barterbox.Remove <name>", "", MessageReader::Administrators},
    {MessageId::ExchangeNotFound, "ExchangeNotFound", "Exchange '{}' not found", "exchange",
     MessageReader::Administrators},
    {MessageId::Removed, "Removed", "Removed exchange '{}'", "exchange", MessageReader::Administrators},
    {MessageId::LimitsUsage, "LimitsUsage", "Usage: Barterbox.Limits <EOSID>", "",
     MessageReader::Administrators},
    {MessageId::LimitsHeader, "LimitsHeader", "Barterbox: Limits of {}", "EOS ID", MessageReader::Administrators},
    {MessageId::LimitsEntry, "LimitsEntry", "  {} - {}", "exchange, standing", MessageReader::Administrators},
    {MessageId::LimitsNone, "LimitsNone", "  No exchange has rules", "", MessageReader::Administrators},
    {MessageId::ResetUsage, "ResetUsage", "Usage: Barterbox.Reset <EOSID> [name]", "",
     MessageReader::Administrators},
    {MessageId::ResetAll, "ResetAll", "Barterbox: Reset the counts of {} for every exchange",
     "EOS ID", MessageReader::Administrators},
    {MessageId::ResetOne, "ResetOne", "Barterbox: Reset the counts of {} for {}",
     "EOS ID, exchange", MessageReader::Administrators},
    {MessageId::ResetLedgerUnreachable, "ResetLedgerUnreachable",
     "Barterbox: The trade ledger cannot be reached; nothing was reset", "",
     MessageReader::Administrators},
    {MessageId::RunUsage, "RunUsage", "Usage: Barterbox.Run <EOSID> <name> [multiplier]", "",
     MessageReader::Operators},
    {MessageId::RunPlayerNotFound, "RunPlayerNotFound", "Player not found: {}", "EOS ID",
     MessageReader::Operators},
    {MessageId::RunBadMultiplier, "RunBadMultiplier",
     "'{}' is no multiplier: a whole number from 1 to 2147483647", "multiplier", MessageReader::Operators},
};
// clang-format on

inline constexpr std::size_t kMessageCount = std::size(kMessages);

constexpr bool MessagesInIdOrder() {
    for (std::size_t index = 0; index < kMessageCount; ++index) {
        if (static_cast<std::size_t>(kMessages[index].Id) != index) {
            return false;
        }
    }
    return true;
}
static_assert(MessagesInIdOrder(), "kMessages lists each MessageId at its own index");

inline constexpr const MessageDefinition& MessageOf(MessageId id) {
    return kMessages[static_cast<std::size_t>(id)];
}

// The message of that name, compared as written (names are identifiers, not prose).
std::optional<MessageId> MessageNamed(std::string_view name);

// Why a replacement text cannot stand for a message whose default has `placeholders` {}: a brace
// that does not close or open, a placeholder that is neither {} nor {N}, {} mixed with {N}, or
// placeholders that do not match the default's; nullopt when it can be formatted with exactly
// that many arguments. `{{` and `}}` are braces of the text.
std::optional<std::string> TemplateProblem(std::string_view text, std::size_t placeholders);

} // namespace barterbox
