// The dry run of an exchange's removals: whether every RemoveItems call, one after another,
// would take its whole amount, proved before the first item is touched.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "host/engine_types.h"
#include "item_matching.h"

namespace barterbox {

struct PlannedRemoval {
    std::string_view Identifier;
    // Wide, so that a scaled amount arrives whole; one that RemoveItems cannot take (0 or less,
    // or beyond 32 bits) makes the plan fail.
    int64_t Amount = 0;
};

// Walks the inventory in the order and by the rules of RemoveItems, entry after entry, keeping
// what earlier entries would take in a private ledger; reads quantities, changes nothing.
bool CanRemoveAll(AShooterPlayerController* controller, std::span<const PlannedRemoval> removals,
                  ClassTextMemo* memo = nullptr);

} // namespace barterbox
