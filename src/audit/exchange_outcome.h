// What an exchange attempt did: the exchange's result, why it ended there, and what moved. The
// exchange returns it, the audit records it and the commands tell the player from it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace barterbox {

// One class or item and how many of it moved.
struct AuditedItem {
    std::string Name;
    int64_t Quantity = 0;
};

enum class ExchangeResult { Complete, Unknown, Short, Refused, Cancelled, Partial };

// The step an attempt ended in: the lookup, the check of the game's counting functions, the
// checks before anything is taken, the taking, the handing out, or none (it completed).
enum class ExchangeStep { Find, Count, Check, Take, Give, Finish };

// The first Give entry the player did not carry in its scaled quantity.
struct ExchangeShortfall {
    std::string Item; // as configured
    int64_t Needed = 0;
    int32_t Have = 0;
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
    std::vector<AuditedItem> Taken;             // classes taken from the player
    std::vector<AuditedItem> Given;             // Receive items the game accepted
    std::vector<AuditedItem> Returned;          // classes given back by an undo
    std::vector<AuditedItem> Owed;              // classes an undo could not give back
    std::vector<AuditedItem> Kept; // classes handed out that an undo could not take back
};

} // namespace barterbox
