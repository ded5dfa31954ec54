// Durations as rules.json writes them, and the time left as a player reads it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "rules/trade_rules.h"

namespace barterbox {

// The longest duration read: ten years, far beyond any cooldown or period, so that adding one to
// any time the clock reads (up to 2199) never overflows the clock's nanoseconds.
inline constexpr RuleSeconds kLongestDuration{10LL * 366 * 24 * 3600};

// "90s", "10m", "1h30m", "1w": one or more number-and-unit pairs (s, m, h, d, w), nothing else;
// std::nullopt when the text does not read or exceeds kLongestDuration.
std::optional<RuleSeconds> ReadDurationText(std::string_view text);
// A whole number of seconds (0 or more) or such a text.
std::optional<RuleSeconds> ReadDuration(const nlohmann::json& value);

// The time left as its two largest non-zero units, rounded up: "45s", "10m", "9m 30s", "1h 5m",
// "2d 3h". Below a second reads "1s".
std::string TimeLeftText(RuleSeconds left);

} // namespace barterbox
