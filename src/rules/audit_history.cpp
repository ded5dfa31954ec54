// Rebuilding the ledger from the audit; see audit_history.h.
#include "audit_history.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <string_view>

#include <nlohmann/json.hpp>

#include "audit/audit_clock.h"
#include "catalogue/atomic_file.h"
#include "catalogue/exchange_definition.h"
#include "catalogue/whole_file.h"
#include "logger/plugin_logger.h"
#include "platform/os_path.h"
#include "rules/day_summary.h"

namespace barterbox {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using std::chrono::sys_days;

std::optional<sys_days> DayOfName(const std::string& stem) {
    const std::optional<RuleTime> time = ReadAuditTime(stem + "T00:00:00Z");
    if (!time || stem.size() != 10) {
        return std::nullopt;
    }
    return std::chrono::floor<std::chrono::days>(*time);
}

// Every day that has a day file or a summary, in order.
std::set<sys_days> DaysOnFile(const std::string& auditFolder) {
    std::set<sys_days> days;
    const auto collect = [&](const std::string& folder, const char* extension) {
        std::error_code error;
        for (fs::directory_iterator it(platform::OsPath(folder), error), end; !error && it != end;
             it.increment(error)) {
            const fs::path& path = it->path();
            if (path.extension() == extension) {
                if (const std::optional<sys_days> day = DayOfName(path.stem().string())) {
                    days.insert(*day);
                }
            }
        }
    };
    collect(auditFolder, ".jsonl");
    collect(auditFolder + "/summaries", ".json");
    return days;
}

// One line of a day file, when it is a completed exchange or a reset: all that counts.
void ReplayLine(std::string_view line, RunLedger& ledger, DaySummary& summary) {
    const bool completed = line.find("\"event\":\"exchange\"") != std::string_view::npos &&
                           line.find("\"outcome\":\"complete\"") != std::string_view::npos;
    const bool reset = !completed && line.find("\"event\":\"reset\"") != std::string_view::npos;
    if (!completed && !reset) {
        return;
    }
    const json record = json::parse(line, nullptr, /*allow_exceptions=*/false);
    if (!record.is_object()) {
        return;
    }
    const auto text = [&](const char* member) -> std::optional<std::string> {
        const auto it = record.find(member);
        return it != record.end() && it->is_string() ? std::optional(it->get<std::string>())
                                                     : std::nullopt;
    };
    const std::optional<std::string> time = text("time");
    const std::optional<RuleTime> when = time ? ReadAuditTime(*time) : std::nullopt;
    if (!when) {
        return;
    }
    const std::optional<std::string> exchange = text("exchange");
    if (reset) {
        const std::optional<std::string> player = text("player");
        if (player) {
            const std::optional<std::string> key =
                exchange ? std::optional(ExchangeKey(*exchange)) : std::nullopt;
            ForgetRuns(ledger, *player, key);
            SummariseReset(summary, *player, key);
        }
        return;
    }
    const std::optional<std::string> player = text("eos_id");
    const auto effective = record.find("effective");
    if (!player || !exchange || effective == record.end() || !effective->is_number_integer()) {
        return;
    }
    const int64_t runs = effective->get<int64_t>();
    if (runs < 1) {
        return;
    }
    const std::string key = ExchangeKey(*exchange);
    CountRuns(ledger, *player, key, *when, runs);
    SummariseRuns(summary, *player, key, *when, runs);
}

void ReplayDayFile(const std::string& text, RunLedger& ledger, DaySummary& summary) {
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::string_view::size_type end = rest.find('\n');
        ReplayLine(rest.substr(0, end), ledger, summary);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
}

// A summary is written as a cache: one that cannot be written costs the next load some time.
void WriteSummary(const std::string& path, const DaySummary& summary) {
    std::error_code error;
    fs::create_directory(platform::OsPath(path).parent_path(), error);
    std::string reason;
    const std::optional<TemporaryFile> written =
        WriteTemporaryFile(path, SummaryText(summary), fs::perms::unknown, reason);
    if (!written || !CommitTemporaryFile(written->Path, path, reason)) {
        LogQuietly(spdlog::level::warn, "Barterbox: Could not write the audit summary {}: {}", path,
                   reason);
    }
}

std::optional<DaySummary> ReadSummary(const std::string& path) {
    std::string text;
    FileStamp stamp;
    if (ReadWholeFile(path, text, stamp) != ReadOutcome::Read) {
        return std::nullopt;
    }
    return ReadSummaryText(text);
}

// The days that must be read record by record even when closed: those in which a stock period in
// force began other than at midnight.
std::set<sys_days> DaysReadWhole(RuleTime now, const std::vector<RuleSeconds>& stockPeriods) {
    std::set<sys_days> days;
    for (const RuleSeconds period : stockPeriods) {
        const RuleTime begun = PeriodStart(now, period);
        if (begun != DayStart(begun)) {
            days.insert(std::chrono::floor<std::chrono::days>(begun));
        }
    }
    return days;
}

} // namespace

RunLedger RebuildLedger(const std::string& auditFolder, RuleTime now,
                        const std::vector<RuleSeconds>& stockPeriods) {
    RunLedger ledger;
    ledger.StockPeriods = stockPeriods;
    const sys_days today = std::chrono::floor<std::chrono::days>(now);
    const std::set<sys_days> readWhole = DaysReadWhole(now, stockPeriods);
    for (const sys_days day : DaysOnFile(auditFolder)) {
        const std::string name = AuditDayText(day);
        const std::string dayFile = auditFolder + "/" + name + ".jsonl";
        const std::string summaryFile = auditFolder + "/summaries/" + name + ".json";
        const bool closed = day < today;
        // A day in which a stock period began is read record by record, even when closed.
        const bool summarised = closed && !readWhole.contains(day);
        const FileStamp onDisk = StampOf(dayFile);
        std::optional<DaySummary> summary = closed ? ReadSummary(summaryFile) : std::nullopt;
        // A summary stands for its day file while the file is as it was summarised, and alone
        // once the file has been archived.
        const bool current = summary && summary->DayFileBytes == onDisk.Size;
        if (summary && (!onDisk.Exists || (summarised && current))) {
            ApplySummary(ledger, *summary, day);
            continue;
        }
        std::string text;
        FileStamp stamp;
        if (ReadWholeFile(dayFile, text, stamp) != ReadOutcome::Read) {
            if (summary) {
                ApplySummary(ledger, *summary, day);
            }
            continue;
        }
        DaySummary replayed;
        replayed.DayFileBytes = stamp.Size;
        ReplayDayFile(text, ledger, replayed);
        if (closed && !current) {
            WriteSummary(summaryFile, replayed);
        }
    }
    return ledger;
}

} // namespace barterbox
