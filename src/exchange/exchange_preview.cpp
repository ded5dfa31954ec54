// The preview; see exchange_preview.h.
#include "exchange_preview.h"

#include "catalogue/exchange_catalogue.h"
#include "exchange_attempt.h"
#include "exchange_checks.h"
#include "host/game_calls.h"
#include "inventory.h"
#include "inventory_room.h"

namespace barterbox {

ExchangePreview PreviewExchange(AShooterPlayerController* player, std::string_view name,
                                int32_t multiplier) {
    ExchangePreview preview;
    const ExchangeDefinition* found = player != nullptr ? FindExchange(name) : nullptr;
    if (found == nullptr) {
        return preview;
    }
    ExchangeAttempt attempt;
    attempt.Player = player;
    attempt.Exchange = *found;
    attempt.Multiplier = EffectiveMultiplier(multiplier);
    attempt.Outcome.Exchange = found->Name;
    attempt.Outcome.Multiplier = multiplier;
    attempt.Outcome.Effective = attempt.Multiplier;
    // The same checks as a run, in the same order; neither counts nor takes anything.
    if (PassesStateGuards(attempt)) {
        PassesRules(attempt, SubjectOf(player), RuleUse::Preview);
    }
    preview.Exchange = found->Name;
    preview.Multiplier = attempt.Multiplier;
    preview.Refused = attempt.Outcome;
    const bool countable = game_calls::ItemCountingResolves(player);
    for (const ItemAmount& give : found->Give) {
        PreviewedGive entry{give.Item, Scaled(give.Quantity, attempt.Multiplier), std::nullopt};
        if (countable) {
            entry.Have = CountItems(player, give.Item, &attempt.Memo);
        }
        preview.Takes.push_back(std::move(entry));
    }
    for (const ItemAmount& receive : found->Receive) {
        preview.Gives.push_back({receive.Item, Scaled(receive.Quantity, attempt.Multiplier)});
    }
    if (const std::optional<InventoryRoom> room =
            countable ? RoomForExchange(attempt) : std::nullopt) {
        preview.SlotsNeeded = std::max<int64_t>(room->Needed, 0);
        preview.SlotsFree = room->Free;
    }
    return preview;
}

} // namespace barterbox
