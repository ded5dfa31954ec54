// How far the console's `clock +DURATION` moves the plugin's clock on: whole seconds ("90"), or
// number-and-unit pairs of weeks, days, hours, minutes and seconds ("1h30m", "1w2d", "90s").
#pragma once

#include <chrono>
#include <optional>
#include <string_view>

namespace barterbox::server {

// Far beyond any test of a time limit, and small enough that no sum of parts can overflow.
inline constexpr std::chrono::seconds kLongestClockStep = std::chrono::years{100};

// The duration, at most kLongestClockStep; nothing for any other text, or one longer.
std::optional<std::chrono::seconds> ReadClockDuration(std::string_view text);

} // namespace barterbox::server
