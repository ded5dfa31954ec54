// Whether the player's inventory can hold what an exchange hands out once its Give items are
// gone, worked out before anything is taken wherever the game lets the plugin measure it.
#pragma once

#include <cstdint>
#include <optional>

#include "exchange_attempt.h"

namespace barterbox {

struct InventoryRoom {
    int64_t Needed = 0; // new stacks the hand-out needs, less the slots the removal frees
    int64_t Free = 0;   // slots free now
};

// The room the attempt's hand-out needs and the room there is, at the attempt's multiplier;
// nullopt where the game does not let the plugin measure (then the undo stays the guard). A class
// whose stack size cannot be read counts as needing one slot if the player holds none of it and
// none if they do: never more than it really needs, so that nothing that fits is refused.
std::optional<InventoryRoom> RoomForExchange(ExchangeAttempt& attempt);

} // namespace barterbox
