// Settling the holds a stopped server left; see cluster_recovery.h.
#include "cluster_recovery.h"

#include <charconv>
#include <chrono>
#include <string>

#include <fmt/format.h>

#include "audit/audit_clock.h"
#include "catalogue/config_file.h"
#include "catalogue/file_state.h"
#include "catalogue/whole_file.h"
#include "logger/plugin_logger.h"
#include "rules/cluster_ledger.h"
#include "rules/rules_state.h"

namespace barterbox {
namespace {

enum class Recorded { Complete, NotComplete, Absent };

// How the audit's day file of the hold records its exchange.
Recorded AuditedOutcome(const std::string& attempt, int64_t atMicros) {
    const RuleTime at{
        std::chrono::duration_cast<RuleTime::duration>(std::chrono::microseconds(atMicros))};
    std::string text;
    FileStamp stamp;
    const std::string path = PluginFolder() + "/audit/" + AuditDayText(at) + ".jsonl";
    if (PluginFolder().empty() || ReadWholeFile(path, text, stamp) != ReadOutcome::Read) {
        return Recorded::Absent;
    }
    const size_t found = text.find("\"attempt\":\"" + attempt + "\"");
    if (found == std::string::npos) {
        return Recorded::Absent;
    }
    const size_t lineStart = text.rfind('\n', found);
    const std::string_view line =
        std::string_view(text).substr(lineStart == std::string::npos ? 0 : lineStart + 1,
                                      found - (lineStart == std::string::npos ? 0 : lineStart + 1));
    return line.find("\"outcome\":\"complete\"") != std::string_view::npos ? Recorded::Complete
                                                                           : Recorded::NotComplete;
}

bool Owed(const std::string& attempt) {
    for (const PendingLedgerWrite& write : TheRulesState().Cluster.Pending) {
        if (write.Attempt == attempt) {
            return true;
        }
    }
    return false;
}

} // namespace

bool SettleStaleHolds(LedgerClock::time_point deadline, std::string& error) {
    ClusterLedgerState& state = TheRulesState().Cluster;
    const std::optional<LedgerAnswer> stale =
        QueryLedger(state.Connection,
                    "SELECT attempt, at_us FROM barterbox_runs WHERE confirmed = 0 AND server = " +
                        LedgerLiteral(state.Settings->Server),
                    deadline, error);
    if (!stale || stale->Error != 0) {
        return stale.has_value();
    }
    size_t settled = 0;
    for (const LedgerRow& row : stale->Rows) {
        if (row.size() < 2 || !row[0] || !row[1] || Owed(*row[0])) {
            continue;
        }
        int64_t atMicros = 0;
        std::from_chars(row[1]->data(), row[1]->data() + row[1]->size(), atMicros);
        const Recorded recorded = AuditedOutcome(*row[0], atMicros);
        if (recorded != Recorded::Absent) {
            state.Pending.push_back({*row[0], recorded == Recorded::Complete});
            ++settled;
        }
    }
    if (settled > 0) {
        Log(spdlog::level::info,
            "Barterbox: Settled {} holds this server left unconfirmed when it stopped, from its "
            "audit",
            settled);
    }
    return true;
}

} // namespace barterbox
