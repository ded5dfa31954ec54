// The plugin's clock as the simulated server reads and moves it: the environment variable
// BARTERBOX_FIXED_CLOCK, which the plugin reads afresh each time it takes the time, holding a UTC
// time as its audit records write it.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace barterbox::server {

using ClockTime = std::chrono::sys_time<std::chrono::milliseconds>;

// The times the clock may be set to: the plugin holds its clock in the system clock's nanoseconds,
// which end in 2262, and counts periods on from it, so the range stops well short of that.
inline constexpr ClockTime kEarliestClockTime{
    std::chrono::sys_days{std::chrono::year{1970} / 1 / 1}};
inline constexpr ClockTime kLatestClockTime =
    std::chrono::sys_days{std::chrono::year{2200} / 1 / 1} - std::chrono::milliseconds{1};

// "2026-12-08T15:25:01.123Z" or "2026-12-08T15:25:01Z", a real date and time of day from
// kEarliestClockTime to kLatestClockTime; nothing for any other text.
std::optional<ClockTime> ReadClockTime(std::string_view text);
// "2026-12-08T15:25:01.123Z", always with milliseconds, the one form the plugin reads.
std::string ClockTimeText(ClockTime time);

// The time the plugin takes: the fixed clock when one is set, else the system's.
ClockTime PluginClock();
// Fixes the plugin's clock at the time; false when the environment refused it.
bool SetPluginClock(ClockTime time);

} // namespace barterbox::server
