// What an exchange attempt did: the exchange's result, why it ended there, and what moved. The
// exchange returns it, the audit records it and the commands tell the player from it.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/character_states.h"

namespace barterbox {

// One class or item and how many of it moved.
struct AuditedItem {
    std::string Name;
    int64_t Quantity = 0;
    bool operator==(const AuditedItem&) const = default;
};

enum class ExchangeResult { Complete, Unknown, Short, Refused, Cancelled, Partial };

// The step an attempt ended in: the lookup, the character's state, the trade rules, the check of
// the game's counting functions, the checks before anything is taken, the taking, the handing out,
// the writing of the record of a completed trade (which, when it fails, undoes the trade), or none
// (it completed).
enum class ExchangeStep { Find, State, Rules, Count, Check, Take, Give, Record, Finish };

// The rule of rules.json that refused or lowered an exchange; Unreadable when rules.json could
// not be read at the load, which closes every exchange; Ledger when the cluster's ledger, which
// holds the counts, could not be reached.
enum class TradeRule { Closed, Group, Cooldown, Day, Week, Total, Stock, Unreadable, Ledger };

struct RuleRefusal {
    TradeRule Rule = TradeRule::Closed;
    int64_t Limit = 0; // for the limits and the stock
    // The time until the cooldown ends or the stock refills; none for a stock that never does.
    std::optional<std::chrono::seconds> Wait;
};

// The first Give entry the player did not carry in its scaled quantity.
struct ExchangeShortfall {
    std::string Item; // as configured
    int64_t Needed = 0;
    int32_t Have = 0;
};

// An inventory that could not hold the hand-out, known before anything was taken.
struct RoomShortage {
    int64_t Needed = 0; // free slots the hand-out needs, net of those the removal frees
    int64_t Free = 0;
};

struct ExchangeOutcome {
    // As configured, or as typed when no exchange has the name.
    std::string Exchange;
    // The multiplier asked for, and the one the settings' limits left.
    int32_t Multiplier = 1;
    int32_t Effective = 1;
    ExchangeResult Result = ExchangeResult::Unknown;
    ExchangeStep Step = ExchangeStep::Find;
    std::optional<ExchangeShortfall> Shortfall; // for ExchangeResult::Short
    std::optional<CharacterState> State;        // for a refusal in ExchangeStep::State
    std::optional<RuleRefusal> Refusal;         // for a refusal in ExchangeStep::Rules
    std::optional<RoomShortage> Room;           // for a refusal in ExchangeStep::Check
    // Set when the game refused a hand-out and says the inventory is full.
    bool InventoryFull = false;
    std::optional<TradeRule> LoweredBy; // the rule that lowered the multiplier
    std::vector<AuditedItem> Taken;     // classes taken from the player
    std::vector<AuditedItem> Given;     // Receive items the game accepted
    std::vector<AuditedItem> Returned;  // classes given back by an undo
    std::vector<AuditedItem> Owed;      // classes an undo could not give back
    std::vector<AuditedItem> Kept;      // classes handed out that an undo could not take back
    // The id under which the runs were held in the cluster's ledger; empty without one. On the
    // record, so that a server that stopped before confirming them can tell how they ended.
    std::string LedgerAttempt;
};

} // namespace barterbox
