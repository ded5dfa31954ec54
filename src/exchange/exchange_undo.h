// Undoing an exchange whose hand-out failed: the player gets back what was taken and gives back
// what arrived, so that a full inventory never costs anyone their items.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audit/exchange_outcome.h"
#include "exchange_attempt.h"
#include "host/engine_types.h"
#include "inventory.h"
#include "item_matching.h"

namespace barterbox {

// The memo must have met every item of the inventory, as the Give checks' walks leave it.
ReceivedHoldings CountReceivedClasses(ExchangeAttempt& attempt);

// Takes back what arrived since `before` was counted (nothing when `before` is empty: nothing was
// handed out) and gives back what the removal took, each class through the game's GiveSlotItem
// with the class's path. True when the player holds what they held before the exchange;
// otherwise each class still owed to the player, or still held in excess, is logged at error
// with the player's EOS ID so that an administrator can put it right. Nothing is retried. What
// went back, what is still owed and what is still held in excess go into the outcome's Returned,
// Owed and Kept.
bool UndoExchange(ExchangeAttempt& attempt, const ReceivedHoldings& before);

// What the removal took, one entry per class path in the order first taken.
std::vector<AuditedItem> TakenByClass(const std::vector<TakenItems>& taken, ClassTextMemo& memo);

} // namespace barterbox
