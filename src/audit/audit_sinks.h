// Where audit records go: every record is handed to each sink in turn, the day file first. A
// new destination (a webhook, a cluster's database) is one more sink, not a change to the others.
//
// State: AuditState is the audit layer's one record: the sinks, and whether the day file's last
// write failed. It holds the day file alone from the module's start; ResetAuditState puts it back
// so, which the test fixtures call.
#pragma once

#include <chrono>
#include <vector>

#include <nlohmann/json.hpp>

namespace barterbox {

// One record: when it happened, and its members in the order they are written (time, event,
// who, what).
struct AuditRecord {
    std::chrono::system_clock::time_point Time;
    nlohmann::ordered_json Members;
};

// A destination. Write keeps whatever state it needs in a record of its own and reports its own
// failures; an exception it lets out is logged, and the other sinks still get the record.
struct AuditSink {
    const char* Name; // for the log: "day file"
    void (*Write)(const AuditRecord& record);
};

struct AuditState {
    std::vector<AuditSink> Sinks;
    // Set when the day file's last write failed, so that a run of failures is logged once.
    bool DayFileFailing = false;
};

AuditState& TheAuditState();
void ResetAuditState();

// Hands the record to every sink, in order. Nothing it does is thrown at the caller: a record
// that cannot be written never stops an exchange or a command.
void PublishAuditRecord(const AuditRecord& record) noexcept;

} // namespace barterbox
