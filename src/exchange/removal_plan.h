// The dry run of an exchange's removals: whether every RemoveItems call, one after another,
// would take its whole amount, proved before the first item is touched.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "host/engine_types.h"

namespace barterbox {

struct PlannedRemoval {
    std::string_view Identifier;
    int64_t Amount = 0; // an amount that RemoveItems cannot take (0 or less, or wider than
                        // 32 bits) makes the plan fail
};

// Walks the inventory in the order and by the rules of RemoveItems, entry after entry, keeping
// what earlier entries would take in a private ledger; reads quantities, changes nothing.
bool CanRemoveAll(AShooterPlayerController* controller, std::span<const PlannedRemoval> removals);

} // namespace barterbox
