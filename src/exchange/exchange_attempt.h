// What one exchange attempt carries from step to step: the player, the exchange as it was when
// the attempt began, the multiplier the limits left, the class texts met so far, what was taken
// stack by stack, and the outcome as it grows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audit/exchange_outcome.h"
#include "catalogue/exchange_definition.h"
#include "host/engine_types.h"
#include "inventory.h"
#include "item_matching.h"
#include "rules/rule_check.h"

namespace barterbox {

// How much of each Receive entry's class the player holds: counted just before the hand-out, so
// that afterwards the difference is what arrived, whatever the game answered. One holding per
// class, however many entries name it.
struct ReceivedHolding {
    std::string ClassPath;   // the class the entry's blueprint generates
    UClass* Class = nullptr; // known once an item of the class has been seen
    int64_t Quantity = 0;
};
using ReceivedHoldings = std::vector<ReceivedHolding>;

struct ExchangeAttempt {
    AShooterPlayerController* Player = nullptr;
    // A copy, so that nothing the game does while the exchange runs can pull it from under us.
    ExchangeDefinition Exchange;
    int32_t Multiplier = 1;
    ClassTextMemo Memo;
    std::vector<TakenItems> Taken;
    // Counted once everything is taken, just before the hand-out; empty until then.
    ReceivedHoldings Before;
    // Set once an undo has begun: an undo is never run twice, which could give back twice.
    bool UndoBegun = false;
    // The runs held in the cluster's ledger: confirmed when the attempt completes, else released.
    RuleHold Hold;
    ExchangeOutcome Outcome;
};

// Quantities times the multiplier are computed in 64 bits: both factors are 32-bit, so the
// product always fits, and a product beyond the 32-bit range is refused rather than wrapped.
inline int64_t Scaled(int32_t quantity, int32_t multiplier) {
    return int64_t{quantity} * int64_t{multiplier};
}

} // namespace barterbox
