// The exchange transaction; see exchange_transaction.h.
#include "exchange_transaction.h"

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/exchange_catalogue.h"
#include "catalogue/plugin_settings.h"
#include "exchange_undo.h"
#include "host/engine_strings.h"
#include "host/game_calls.h"
#include "inventory.h"
#include "item_names.h"
#include "logger/plugin_logger.h"
#include "player_chat.h"
#include "player_identity.h"
#include "removal_plan.h"

namespace barterbox {
namespace {

int32_t EffectiveMultiplier(int32_t requested) {
    const PluginSettings& settings = Settings();
    int32_t multiplier = requested;
    if (!settings.AllowMultiplier && multiplier > 1) {
        multiplier = 1;
    }
    if (multiplier > settings.MaxMultiplier) {
        multiplier = settings.MaxMultiplier;
    }
    return multiplier;
}

// Quantities times the multiplier are computed in 64 bits: both factors are 32-bit, so the
// product always fits, and a product beyond the 32-bit range is refused rather than wrapped.
int64_t Scaled(int32_t quantity, int32_t multiplier) {
    return int64_t{quantity} * int64_t{multiplier};
}

bool FitsInt32(int64_t value) {
    return value >= std::numeric_limits<int32_t>::min() &&
           value <= std::numeric_limits<int32_t>::max();
}

// The first Give entry the player does not carry in its needed quantity, if any.
struct Shortfall {
    const ItemAmount* Give = nullptr;
    int64_t Needed = 0;
    int32_t Have = 0;
};

std::optional<Shortfall> FirstShortfall(AShooterPlayerController* player,
                                        const ExchangeDefinition& exchange, int32_t multiplier,
                                        ClassTextMemo& memo) {
    for (const ItemAmount& give : exchange.Give) {
        const int64_t needed = Scaled(give.Quantity, multiplier);
        const int32_t have = CountItems(player, give.Item, &memo);
        if (have < needed) {
            return Shortfall{&give, needed, have};
        }
    }
    return std::nullopt;
}

// Takes every Give entry; what it took, stack by stack, goes into `taken`, so that it can be
// given back should the exchange not complete.
bool TakeEverything(AShooterPlayerController* player, const ExchangeDefinition& exchange,
                    int32_t multiplier, ClassTextMemo& memo, std::vector<TakenItems>& taken) {
    // Entries may match the same items, and an amount of 0 or less cannot be taken: a dry run
    // proves that every removal will succeed, so that nothing is taken unless everything can be.
    std::vector<PlannedRemoval> plan;
    for (const ItemAmount& give : exchange.Give) {
        plan.push_back({give.Item, Scaled(give.Quantity, multiplier)});
    }
    if (!CanRemoveAll(player, plan, &memo)) {
        return false;
    }
    for (const PlannedRemoval& removal : plan) {
        if (!RemoveItems(player, removal.Identifier, static_cast<int32_t>(removal.Amount), &memo,
                         &taken)) {
            return false;
        }
    }
    return true;
}

// Whether every Receive entry can be offered to the game at all: a scaled quantity below 1 or
// beyond 32 bits never can, and it is known before anything is taken. Each such entry is logged.
bool EverythingCanBeGiven(const ExchangeDefinition& exchange, int32_t multiplier) {
    bool allGivable = true;
    for (const ItemAmount& receive : exchange.Receive) {
        const int64_t quantity = Scaled(receive.Quantity, multiplier);
        if (quantity < 1 || !FitsInt32(quantity)) {
            allGivable = false;
            Log(spdlog::level::err, "Barterbox: Failed to give {} x{}", receive.Item, quantity);
        }
    }
    return allGivable;
}

// Hands out every Receive entry, each known to be givable; one that the game refuses, in whole or
// in part (a full inventory), is logged and does not stop the others. Those it accepted go into
// `given`.
bool GiveEverything(AShooterPlayerController* player, const ExchangeDefinition& exchange,
                    int32_t multiplier, std::vector<AuditedItem>& given) {
    bool allGiven = true;
    for (const ItemAmount& receive : exchange.Receive) {
        const int64_t quantity = Scaled(receive.Quantity, multiplier);
        OwnedFString blueprint{FString(receive.Item.c_str())};
        if (game_calls::GiveSlotItem(player, blueprint.get(), static_cast<int32_t>(quantity))) {
            given.push_back({receive.Item, quantity});
            continue;
        }
        allGiven = false;
        Log(spdlog::level::err, "Barterbox: Failed to give {} x{}", receive.Item, quantity);
    }
    return allGiven;
}

// Writes the attempt's record, which must be on file before the player hears how it ended.
void Record(AShooterPlayerController* player, AuditVia via, std::string_view by,
            ExchangeOutcome& outcome, ExchangeResult result, ExchangeOutcome* report) {
    outcome.Result = result;
    AuditExchange({via, PlayerEosId(player), std::string(by)}, outcome);
    if (report != nullptr) {
        *report = outcome;
    }
}

} // namespace

bool ExecuteExchange(AShooterPlayerController* player, std::string_view name,
                     int32_t requestedMultiplier, AuditVia via, std::string_view by,
                     ExchangeOutcome* report) {
    if (player == nullptr) {
        return false;
    }
    ExchangeOutcome outcome;
    outcome.Exchange = std::string(name);
    outcome.Multiplier = requestedMultiplier;
    outcome.Effective = EffectiveMultiplier(requestedMultiplier);
    const ExchangeDefinition* found = FindExchange(name);
    if (found == nullptr) {
        Record(player, via, by, outcome, ExchangeResult::Unknown, report);
        SendPlayerChat(player, u"Unknown exchange: {}", ToWideString(name));
        return false;
    }
    // A copy, so that nothing the game does while the exchange runs can pull it from under us.
    const ExchangeDefinition exchange = *found;
    const int32_t multiplier = EffectiveMultiplier(requestedMultiplier);
    outcome.Exchange = exchange.Name;

    // Without the game's counting functions every player would be told they carry nothing.
    if (!game_calls::ItemCountingResolves(player)) {
        Record(player, via, by, outcome, ExchangeResult::Refused, report);
        SendPlayerChat(player, u"Failed to remove items. Exchange cancelled.");
        return false;
    }
    ClassTextMemo memo;
    if (const std::optional<Shortfall> shortfall =
            FirstShortfall(player, exchange, multiplier, memo)) {
        Record(player, via, by, outcome, ExchangeResult::Short, report);
        SendPlayerChat(player, u"Need {} {} (have {})", shortfall->Needed,
                       ToWideString(ShortItemName(shortfall->Give->Item)), shortfall->Have);
        return false;
    }
    // Refused before anything is taken: an exchange that could only take the player's items and
    // give nothing back, in full or in part, for a reason known now.
    if (!EverythingCanBeGiven(exchange, multiplier) || !game_calls::ItemTransferResolves()) {
        Record(player, via, by, outcome, ExchangeResult::Refused, report);
        SendPlayerChat(player, u"Failed to remove items. Exchange cancelled.");
        return false;
    }
    // All or nothing: whatever fails from here on, the player gets back what was taken and gives
    // back what arrived. Only when that cannot be done either does the player keep a part.
    std::vector<TakenItems> taken;
    if (!TakeEverything(player, exchange, multiplier, memo, taken)) {
        outcome.Taken = TakenByClass(taken, memo);
        // The dry run proved the removals, so this is a game function that went away midway.
        const bool undone =
            taken.empty() || UndoExchange(player, exchange.Name, {}, {}, taken, memo, outcome);
        Record(player, via, by, outcome,
               taken.empty() ? ExchangeResult::Refused
                             : (undone ? ExchangeResult::Cancelled : ExchangeResult::Partial),
               report);
        SendPlayerChat(player, undone ? u"Failed to remove items. Exchange cancelled."
                                      : u"Exchange partially complete - some items failed");
        return false;
    }
    outcome.Taken = TakenByClass(taken, memo);
    const ReceivedHoldings before = CountReceivedClasses(player, exchange.Receive, memo);
    if (!GiveEverything(player, exchange, multiplier, outcome.Given)) {
        const bool undone =
            UndoExchange(player, exchange.Name, exchange.Receive, before, taken, memo, outcome);
        Record(player, via, by, outcome,
               undone ? ExchangeResult::Cancelled : ExchangeResult::Partial, report);
        SendPlayerChat(player, undone ? u"Failed to give items. Exchange cancelled."
                                      : u"Exchange partially complete - some items failed");
        return false;
    }
    Record(player, via, by, outcome, ExchangeResult::Complete, report);
    SendPlayerChat(player, u"Exchange complete: {} x{}", ToWideString(exchange.Name), multiplier);
    Log(spdlog::level::info, "Barterbox: Player completed '{}' x{}", name, multiplier);
    return true;
}

} // namespace barterbox
