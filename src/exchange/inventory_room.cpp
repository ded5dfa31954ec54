// The room check; see inventory_room.h.
#include "inventory_room.h"

#include <algorithm>
#include <string>
#include <vector>

#include "host/game_calls.h"
#include "inventory.h"
#include "item_matching.h"
#include "received_classes.h"

namespace barterbox {
namespace {

// The inventory's stacks as they will stand once the Give items are taken.
struct StackLeft {
    UPrimalItem* Item = nullptr;
    int64_t Quantity = 0;
};

// Takes the Give entries off the stacks as the removal will, from the end of the list, whole
// stacks first; how many stacks it empties.
int64_t TakeGiveItems(ExchangeAttempt& attempt, std::vector<StackLeft>& stacks) {
    int64_t emptied = 0;
    for (const ItemAmount& give : attempt.Exchange.Give) {
        int64_t remaining = Scaled(give.Quantity, attempt.Multiplier);
        for (auto stack = stacks.rbegin(); stack != stacks.rend() && remaining > 0; ++stack) {
            if (stack->Quantity <= 0 || !ItemMatches(stack->Item, give.Item, &attempt.Memo)) {
                continue;
            }
            const int64_t took = std::min(stack->Quantity, remaining);
            stack->Quantity -= took;
            remaining -= took;
            emptied += stack->Quantity == 0 ? 1 : 0;
        }
    }
    return emptied;
}

// The new stacks one Receive entry needs once the stacks of its class are topped up.
int64_t StacksFor(ExchangeAttempt& attempt, const ItemAmount& receive,
                  std::vector<StackLeft>& stacks) {
    const std::vector<std::string> classes = ClassesHandedOutFor(receive.Item);
    std::optional<int32_t> stackSize;
    bool holdsSome = false;
    int64_t room = 0;
    for (StackLeft& stack : stacks) {
        UClass* itemClass = game_calls::ItemClass(stack.Item);
        if (itemClass == nullptr) {
            continue;
        }
        const std::string& path = ClassPathText(itemClass, attempt.Memo);
        if (std::none_of(classes.begin(), classes.end(), [&](const std::string& wanted) {
                return IsReceivedClass(path, wanted);
            })) {
            continue;
        }
        stackSize = stackSize ? stackSize : game_calls::MaxItemQuantity(stack.Item);
        if (stack.Quantity > 0) {
            holdsSome = true;
            room += stackSize ? std::max<int64_t>(*stackSize - stack.Quantity, 0) : 0;
        }
    }
    if (!stackSize) {
        return holdsSome ? 0 : 1; // unmeasured: the least it could need
    }
    const int64_t beyond = Scaled(receive.Quantity, attempt.Multiplier) - room;
    return beyond > 0 ? (beyond + *stackSize - 1) / *stackSize : 0;
}

} // namespace

std::optional<InventoryRoom> RoomForExchange(ExchangeAttempt& attempt) {
    UPrimalInventoryComponent* inventory = PlayerInventory(attempt.Player);
    const EngineArray<UPrimalItem*>* items = PlayerItems(attempt.Player);
    const std::optional<int32_t> most = game_calls::MaxInventoryItems(inventory);
    const std::optional<int32_t> used = game_calls::CurrentInventoryItems(inventory);
    if (items == nullptr || !most || !used) {
        return std::nullopt;
    }
    std::vector<StackLeft> stacks;
    for (int32_t i = 0; i < items->Num; ++i) {
        if (UPrimalItem* item = items->Data[i]) {
            stacks.push_back({item, game_calls::ItemQuantity(item)});
        }
    }
    const int64_t freed = TakeGiveItems(attempt, stacks);
    int64_t needed = 0;
    for (const ItemAmount& receive : attempt.Exchange.Receive) {
        needed += StacksFor(attempt, receive, stacks);
    }
    return InventoryRoom{needed - freed, std::max<int64_t>(int64_t{*most} - *used, 0)};
}

} // namespace barterbox
