// The audit's day files: one JSON object per line in <plugin folder>/audit/YYYY-MM-DD.jsonl (UTC
// day), so that who traded what, and when, outlives the host's rotating log.
#pragma once

#include <chrono>
#include <string>

#include "audit_sinks.h"

namespace barterbox {

// Appends each record as one line, in one write; a write that fails part-way is cut back off the
// file. A run of failed writes is logged once, until a write succeeds again. Nothing is written
// while the plugin folder is unknown (before the plugin's load).
AuditSink DayFileSink();

// The day file's path for the time: "<plugin folder>/audit/2026-12-08.jsonl".
std::string AuditFilePath(std::chrono::system_clock::time_point time);

} // namespace barterbox
