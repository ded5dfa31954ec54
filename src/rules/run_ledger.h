// How many runs of each exchange each player has completed, and when: what the limits are
// checked against. It holds nothing of its own: it is built from the audit's records
// (audit_history.h) and kept up to date with each completed exchange and each reset, so that the
// day files stay the one source of truth.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "rules/trade_rules.h"

namespace barterbox {

using RuleTime = std::chrono::system_clock::time_point;

struct TimedRuns {
    RuleTime Time;
    int64_t Runs = 0;
};

// Runs in time order, so that the runs since any moment are found by a binary search however busy
// the exchange: each entry holds the runs counted up to and including it, from Base on.
struct RunHistory {
    std::vector<TimedRuns> Cumulative;
    int64_t Base = 0; // the count before the first entry kept
};

// Adds runs at a time; one earlier than the last entry (a clock set back) counts at the last.
void AddTimedRuns(RunHistory& history, RuleTime time, int64_t runs);
// The runs counted at or after `since`.
int64_t RunsSince(const RunHistory& history, RuleTime since);
// Forgets the entries before `since`, which no limit counts any more.
void DropBefore(RunHistory& history, RuleTime since);

// One player's runs of one exchange since the player's last reset for it.
struct PlayerRuns {
    int64_t Total = 0;
    std::optional<RuleTime> Last; // the last completed run
    // Runs since the start of the ISO week, for the Day and Week limits; older ones are dropped.
    RunHistory ThisWeek;
};

// Every player's runs of one exchange together; resets do not refill a stock.
struct StockRuns {
    int64_t Total = 0;
    // Runs since the earliest stock period of the rules in force began; older ones are dropped.
    RunHistory Recent;
};

struct RunLedger {
    // By EOS ID, then by exchange key (exchange_definition.h).
    std::unordered_map<std::string, std::unordered_map<std::string, PlayerRuns>> Players;
    std::unordered_map<std::string, StockRuns> Stock;
    // The Restock periods of the rules in force: stock runs from before the start of the longest
    // one's current period are dropped. None: no stock refills, and the totals are enough.
    std::vector<RuleSeconds> StockPeriods;
};

// Since when stock runs are kept at this time: the start of the earliest current period of
// StockPeriods; the time itself when there are none.
RuleTime StockKeptSince(const RunLedger& ledger, RuleTime time);
// Counts a completed exchange of `runs` runs: the player's and the stock's.
void CountRuns(RunLedger& ledger, const std::string& eosId, const std::string& exchangeKey,
               RuleTime time, int64_t runs);
// Each half alone, for a day's summary: the player's runs counted as at `time`, the last of them
// completed at `last`; and the stock's.
void AddPlayerRuns(RunLedger& ledger, const std::string& eosId, const std::string& exchangeKey,
                   RuleTime time, int64_t runs, RuleTime last);
void AddStockRuns(RunLedger& ledger, const std::string& exchangeKey, RuleTime time, int64_t runs);
// Forgets a player's runs and cooldown of one exchange (by key), or of all with std::nullopt.
void ForgetRuns(RunLedger& ledger, const std::string& eosId,
                const std::optional<std::string>& exchangeKey);

// The player's runs of the exchange; nullptr when there are none.
const PlayerRuns* FindPlayerRuns(const RunLedger& ledger, const std::string& eosId,
                                 const std::string& exchangeKey);
const StockRuns* FindStockRuns(const RunLedger& ledger, const std::string& exchangeKey);

// The starts of the periods the limits count in, all in UTC: the calendar day, the ISO week
// (Monday 00:00), and a stock period counted from 1970-01-01T00:00:00Z.
RuleTime DayStart(RuleTime time);
RuleTime WeekStart(RuleTime time);
RuleTime PeriodStart(RuleTime time, RuleSeconds period);

} // namespace barterbox
