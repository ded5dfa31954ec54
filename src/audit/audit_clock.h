// The audit's clock and how its records write a time and name their day file.
#pragma once

#include <chrono>
#include <string>

namespace barterbox {

// The system's UTC time, unless the environment variable BARTERBOX_FIXED_CLOCK holds a time as
// the records write it ("2026-12-08T15:25:01.123Z"), which the simulated server sets so that
// transcripts are the same on every run.
std::chrono::system_clock::time_point AuditClock();
// "2026-12-08T15:25:01.123Z".
std::string AuditTimeText(std::chrono::system_clock::time_point time);
// "2026-12-08", the UTC day.
std::string AuditDayText(std::chrono::system_clock::time_point time);

} // namespace barterbox
