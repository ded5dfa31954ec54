// How far the console's `clock +DURATION` moves the plugin's clock on: whole seconds ("90"), or
// number-and-unit pairs as rules.json writes its durations ("1h30m", "1w2d", "90s"), read by the
// trade rules' own reader so that the console takes every duration a rule can hold.
#pragma once

#include <chrono>
#include <optional>
#include <string_view>

#include "rules/rule_duration.h"

namespace barterbox::server {

inline constexpr std::chrono::seconds kLongestClockStep = kLongestDuration;

// The duration, at most kLongestClockStep; nothing for any other text, or one longer.
std::optional<std::chrono::seconds> ReadClockDuration(std::string_view text);

} // namespace barterbox::server
