// What an exchange would take and give a player now, worked out without changing anything: the
// preview behind "/exinfo".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "audit/exchange_outcome.h"
#include "host/engine_types.h"

namespace barterbox {

struct PreviewedGive {
    std::string Item; // as configured
    int64_t Needed = 0;
    std::optional<int32_t> Have; // none where the game does not let the plugin count
};

struct PreviewedReceive {
    std::string Item; // as configured
    int64_t Quantity = 0;
};

struct ExchangePreview {
    // As configured; empty when no exchange has the name.
    std::string Exchange;
    int32_t Multiplier = 1; // after the settings and the rules
    // Why an exchange run now would be refused before anything is taken, if it would: the
    // character's state or a trade rule (the outcome holds it, as the exchange would).
    ExchangeOutcome Refused;
    std::vector<PreviewedGive> Takes;
    std::vector<PreviewedReceive> Gives;
    // Free slots needed (net of those the Give items free) and free; none where unmeasured.
    std::optional<int64_t> SlotsNeeded;
    std::optional<int64_t> SlotsFree;
};

ExchangePreview PreviewExchange(AShooterPlayerController* player, std::string_view name,
                                int32_t multiplier);

} // namespace barterbox
