// What a closed day of the audit holds for the trade rules, in a few hundred bytes per player
// instead of a line per record: each player's runs of each exchange after that day's last reset
// of them, the resets, and each exchange's runs for its stock.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "rules/run_ledger.h"

namespace barterbox {

struct SummarisedRuns {
    int64_t Runs = 0;
    RuleTime Last;
};

struct DaySummary {
    uint64_t DayFileBytes = 0; // the size of the day file it was made from
    std::map<std::string, std::map<std::string, SummarisedRuns>> Players;   // EOS ID, exchange key
    std::vector<std::pair<std::string, std::optional<std::string>>> Resets; // EOS ID, key or all
    std::map<std::string, int64_t> Stock;                                   // exchange key
};

void SummariseRuns(DaySummary& summary, const std::string& eosId, const std::string& key,
                   RuleTime time, int64_t runs);
void SummariseReset(DaySummary& summary, const std::string& eosId,
                    const std::optional<std::string>& key);

// Adds the day's summary, as of the day's start, to the ledger.
void ApplySummary(RunLedger& ledger, const DaySummary& summary, RuleTime dayStart);

std::string SummaryText(const DaySummary& summary);
// std::nullopt for a text that is not a summary this version wrote.
std::optional<DaySummary> ReadSummaryText(const std::string& text);

} // namespace barterbox
