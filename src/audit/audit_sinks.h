// Where audit records go: every record is handed to each sink in turn, the day file first. A
// new destination (a webhook, a cluster's database) is one more sink, not a change to the others.
//
// State: AuditState is the audit layer's one record: the sinks, and whether the day file's last
// write failed, with what the current run of failures has cost. It holds the day file alone from
// the module's start; ResetAuditState puts it back so, which the test fixtures call.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace barterbox {

// One record: when it happened, and its members in the order they are written (time, event,
// who, what).
struct AuditRecord {
    std::chrono::system_clock::time_point Time;
    nlohmann::ordered_json Members;
};

// A destination. Write keeps whatever state it needs in a record of its own, reports its own
// failures and answers whether the record was written; an exception it lets out is logged, counts
// as a record not written, and the other sinks still get the record.
struct AuditSink {
    const char* Name; // for the log: "day file"
    bool (*Write)(const AuditRecord& record);
    // Whether a record is on file only once this sink has it: the day file, from which the trade
    // rules count runs and on which a reply relies. A sink that only passes records on is not.
    bool OfRecord;
};

struct AuditState {
    std::vector<AuditSink> Sinks;
    // Set when the day file's last write failed, so that a run of failures is logged once.
    bool DayFileFailing = false;
    // What the current run of failures left unwritten, and how many of those were
    // administrators' changes, which stand without their records; logged when a write succeeds
    // again.
    uint64_t UnwrittenRecords = 0;
    uint64_t UnwrittenChanges = 0;
    // rules.json's Cluster.Server: every record names the server it happened on, so that the
    // audit files of a cluster can be merged. Empty without a Cluster block.
    std::string Server;
};

AuditState& TheAuditState();
void ResetAuditState();

// Hands the record to every sink, in order; true when every sink of record (AuditSink::OfRecord)
// wrote it. Nothing it does is thrown at the caller.
bool PublishAuditRecord(const AuditRecord& record) noexcept;

} // namespace barterbox
