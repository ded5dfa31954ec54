// Counting and removing a player's items; see inventory.h.
#include "inventory.h"

#include <algorithm>
#include <limits>

#include "host/game_calls.h"

namespace barterbox {

UPrimalInventoryComponent* PlayerInventory(AShooterPlayerController* controller) {
    if (controller == nullptr) {
        return nullptr;
    }
    APrimalCharacter* character = game_calls::PlayerCharacter(controller);
    return character != nullptr ? game_calls::InventoryComponent(character) : nullptr;
}

int32_t CountItems(AShooterPlayerController* controller, std::string_view identifier,
                   ClassTextMemo* memo) {
    UPrimalInventoryComponent* inventory = PlayerInventory(controller);
    const EngineArray<UPrimalItem*>* items =
        inventory != nullptr ? game_calls::InventoryItems(inventory) : nullptr;
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

bool RemoveItems(AShooterPlayerController* controller, std::string_view identifier, int32_t amount,
                 ClassTextMemo* memo) {
    if (controller == nullptr || amount <= 0) {
        return false;
    }
    UPrimalInventoryComponent* inventory = PlayerInventory(controller);
    const EngineArray<UPrimalItem*>* items =
        inventory != nullptr ? game_calls::InventoryItems(inventory) : nullptr;
    if (items == nullptr) {
        return false;
    }
    // Wide, so that a stack of negative quantity cannot overflow what is left to take.
    int64_t remaining = amount;
    const int32_t count = items->Num;
    for (int32_t i = count - 1; i >= 0 && remaining > 0; --i) {
        // The game moves the elements to a fresh buffer whenever an item leaves, so the element
        // pointer is read again at every step; an index the array no longer has is skipped.
        if (i >= items->Num) {
            continue;
        }
        UPrimalItem* item = items->Data[i];
        if (!ItemMatches(item, identifier, memo)) {
            continue;
        }
        // A game function that no longer resolves stops the removal there: what the game did
        // not do is never counted as taken.
        const int32_t quantity = game_calls::ItemQuantity(item);
        if (quantity > remaining) {
            if (!game_calls::SetItemQuantity(item, static_cast<int32_t>(quantity - remaining)) ||
                !game_calls::NotifyItemQuantityChanged(inventory, item)) {
                return false;
            }
            remaining = 0;
        } else {
            if (!game_calls::NotifyItemRemoved(inventory, item) ||
                !game_calls::RemoveItemFromInventory(item)) {
                return false;
            }
            remaining -= quantity;
        }
    }
    return remaining == 0;
}

} // namespace barterbox
