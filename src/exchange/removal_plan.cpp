// The dry run of an exchange's removals; see removal_plan.h.
#include "removal_plan.h"

#include <limits>
#include <unordered_map>

#include "host/game_calls.h"
#include "inventory.h"

namespace barterbox {
namespace {

// What the plan has done to one item so far.
struct LedgerEntry {
    int64_t Quantity = 0;
    bool Taken = false;
};

} // namespace

bool CanRemoveAll(AShooterPlayerController* controller, std::span<const PlannedRemoval> removals,
                  ClassTextMemo* memo) {
    const EngineArray<UPrimalItem*>* items = PlayerItems(controller);
    std::unordered_map<const UPrimalItem*, LedgerEntry> ledger;
    for (const PlannedRemoval& removal : removals) {
        if (removal.Amount <= 0 || removal.Amount > std::numeric_limits<int32_t>::max() ||
            items == nullptr) {
            return false;
        }
        int64_t remaining = removal.Amount;
        for (int32_t i = items->Num - 1; i >= 0 && remaining > 0; --i) {
            UPrimalItem* item = items->Data[i];
            const auto known = ledger.find(item);
            // A taken item is out of the list by the time a later entry walks it.
            if ((known != ledger.end() && known->second.Taken) ||
                !ItemMatches(item, removal.Identifier, memo)) {
                continue;
            }
            const int64_t quantity =
                known != ledger.end() ? known->second.Quantity : game_calls::ItemQuantity(item);
            if (quantity > remaining) {
                ledger[item] = {quantity - remaining, false};
                remaining = 0;
            } else {
                remaining -= quantity;
                ledger[item] = {0, true};
            }
        }
        if (remaining != 0) {
            return false;
        }
    }
    return true;
}

} // namespace barterbox
