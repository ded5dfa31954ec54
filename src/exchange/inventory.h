// A player's inventory as the exchange sees it: the quantity of one kind of item a player carries,
// and taking a quantity of it away, whole stacks first from the end of the list.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "host/engine_types.h"
#include "item_matching.h"

namespace barterbox {

// The inventory component of the player's character; null when there is no controller, no
// character or no inventory.
UPrimalInventoryComponent* PlayerInventory(AShooterPlayerController* controller);

// The item list of the player's inventory, read in place; null when there is no inventory (see
// PlayerInventory) or the game has no such list.
const EngineArray<UPrimalItem*>* PlayerItems(AShooterPlayerController* controller);

// The summed quantity of the matching items, held at the largest signed 32-bit value at most;
// 0 when there is nothing to count. The memo, when given, keeps class texts across calls.
int32_t CountItems(AShooterPlayerController* controller, std::string_view identifier,
                   ClassTextMemo* memo = nullptr);

// What a removal took from one stack: the stack's class and how many.
struct TakenItems {
    UClass* Class = nullptr;
    int32_t Quantity = 0;
};

// Takes the amount from the matching items, walking the list from its end: whole stacks are
// removed (clients notified first), and at most one stack, the last one visited, is reduced.
// True exactly when the whole amount was taken; nothing taken is put back. Each stack taken from
// is added to `taken`, when given, as soon as the game has done it.
bool RemoveItems(AShooterPlayerController* controller, std::string_view identifier, int32_t amount,
                 ClassTextMemo* memo = nullptr, std::vector<TakenItems>* taken = nullptr);

// The same walk over the items of exactly this class, taking at most the amount; how many it
// took. For putting back what a cancelled exchange handed out.
int64_t RemoveItemsOfClass(AShooterPlayerController* controller, const UClass* itemClass,
                           int64_t amount);

// The summed quantity of the items of exactly this class.
int64_t CountItemsOfClass(AShooterPlayerController* controller, const UClass* itemClass);

} // namespace barterbox
