// The audit's clock and how its records write a time and name their day file.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace barterbox {

// The system's UTC time, unless the environment variable BARTERBOX_FIXED_CLOCK holds a time as
// the records write it ("2026-12-08T15:25:01.123Z"), which the simulated server sets so that
// transcripts are the same on every run, and moves to try cooldowns and limits. It is read anew
// at every call.
std::chrono::system_clock::time_point AuditClock();
// A time as the records write it, "2026-12-08T15:25:01.123Z" (the milliseconds may be left
// out), from 1970 to 2199; std::nullopt for any other text.
std::optional<std::chrono::system_clock::time_point> ReadAuditTime(const std::string& text);
// "2026-12-08T15:25:01.123Z".
std::string AuditTimeText(std::chrono::system_clock::time_point time);
// "2026-12-08", the UTC day.
std::string AuditDayText(std::chrono::system_clock::time_point time);

} // namespace barterbox
