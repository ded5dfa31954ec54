// Counting and removing a player's items; see inventory.h.
#include "inventory.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "host/game_calls.h"

namespace barterbox {

UPrimalInventoryComponent* PlayerInventory(AShooterPlayerController* controller) {
    if (controller == nullptr) {
        return nullptr;
    }
    APrimalCharacter* character = game_calls::PlayerCharacter(controller);
    return character != nullptr ? game_calls::InventoryComponent(character) : nullptr;
}

namespace {
const EngineArray<UPrimalItem*>* ItemsOf(UPrimalInventoryComponent* inventory) {
    return inventory != nullptr ? game_calls::InventoryItems(inventory) : nullptr;
}
} // namespace

const EngineArray<UPrimalItem*>* PlayerItems(AShooterPlayerController* controller) {
    return ItemsOf(PlayerInventory(controller));
}

int32_t CountItems(AShooterPlayerController* controller, std::string_view identifier,
                   ClassTextMemo* memo) {
    const EngineArray<UPrimalItem*>* items = PlayerItems(controller);
    if (items == nullptr) {
        return 0;
    }
    // Summed wide, so that a large inventory saturates instead of overflowing.
    int64_t total = 0;
    for (int32_t i = 0; i < items->Num; ++i) {
        UPrimalItem* item = items->Data[i];
        if (item != nullptr && ItemMatches(item, identifier, memo)) {
            total += game_calls::ItemQuantity(item);
            total = std::clamp<int64_t>(total, std::numeric_limits<int32_t>::min(),
                                        std::numeric_limits<int32_t>::max());
        }
    }
    return static_cast<int32_t>(total);
}

namespace {

// The removal walk shared by RemoveItems and RemoveItemsOfClass: from the end of the list, whole
// stacks first, at most the last one visited reduced. Returns what is left of the amount, or
// nothing when a game function no longer resolves: what the game did not do is never counted as
// taken, and the walk stops there.
template <typename Matches>
std::optional<int64_t> TakeFromTheEnd(UPrimalInventoryComponent* inventory,
                                      const EngineArray<UPrimalItem*>& items, int64_t amount,
                                      Matches matches, std::vector<TakenItems>* taken) {
    int64_t remaining = amount;
    const int32_t count = items.Num;
    for (int32_t i = count - 1; i >= 0 && remaining > 0; --i) {
        // The game moves the elements to a fresh buffer whenever an item leaves, so the element
        // pointer is read again at every step; an index the array no longer has is skipped.
        if (i >= items.Num) {
            continue;
        }
        UPrimalItem* item = items.Data[i];
        if (item == nullptr || !matches(item)) {
            continue;
        }
        const int32_t quantity = game_calls::ItemQuantity(item);
        // The class is read while the item is still in the inventory.
        UClass* itemClass = taken != nullptr ? game_calls::ItemClass(item) : nullptr;
        const bool reduce = quantity > remaining;
        const bool done =
            reduce
                ? game_calls::SetItemQuantity(item, static_cast<int32_t>(quantity - remaining)) &&
                      game_calls::NotifyItemQuantityChanged(inventory, item)
                : game_calls::NotifyItemRemoved(inventory, item) &&
                      game_calls::RemoveItemFromInventory(item);
        if (!done) {
            return std::nullopt;
        }
        const int64_t took = reduce ? remaining : quantity;
        if (taken != nullptr && took > 0) {
            taken->push_back({itemClass, static_cast<int32_t>(took)});
        }
        remaining -= took;
    }
    return remaining;
}

} // namespace

bool RemoveItems(AShooterPlayerController* controller, std::string_view identifier, int32_t amount,
                 ClassTextMemo* memo, std::vector<TakenItems>* taken) {
    if (controller == nullptr || amount <= 0) {
        return false;
    }
    UPrimalInventoryComponent* inventory = PlayerInventory(controller);
    const EngineArray<UPrimalItem*>* items = ItemsOf(inventory);
    if (items == nullptr) {
        return false;
    }
    const std::optional<int64_t> left = TakeFromTheEnd(
        inventory, *items, amount,
        [&](UPrimalItem* item) { return ItemMatches(item, identifier, memo); }, taken);
    return left == 0;
}

int64_t RemoveItemsOfClass(AShooterPlayerController* controller, const UClass* itemClass,
                           int64_t amount) {
    UPrimalInventoryComponent* inventory = PlayerInventory(controller);
    const EngineArray<UPrimalItem*>* items = ItemsOf(inventory);
    if (items == nullptr || itemClass == nullptr || amount <= 0) {
        return 0;
    }
    std::vector<TakenItems> taken;
    TakeFromTheEnd(
        inventory, *items, amount,
        [&](UPrimalItem* item) { return game_calls::ItemClass(item) == itemClass; }, &taken);
    int64_t took = 0;
    for (const TakenItems& stack : taken) {
        took += stack.Quantity;
    }
    return took;
}

int64_t CountItemsOfClass(AShooterPlayerController* controller, const UClass* itemClass) {
    const EngineArray<UPrimalItem*>* items = PlayerItems(controller);
    int64_t total = 0;
    for (int32_t i = 0; items != nullptr && itemClass != nullptr && i < items->Num; ++i) {
        UPrimalItem* item = items->Data[i];
        if (item != nullptr && game_calls::ItemClass(item) == itemClass) {
            total += game_calls::ItemQuantity(item);
        }
    }
    return total;
}

} // namespace barterbox
