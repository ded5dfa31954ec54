// The ledger of completed runs; see run_ledger.h.
#include "run_ledger.h"

#include <algorithm>
#include <iterator>

namespace barterbox {
namespace {

using std::chrono::days;
using std::chrono::floor;

bool BeforeTime(const TimedRuns& entry, RuleTime time) {
    return entry.Time < time;
}

} // namespace

RuleTime StockKeptSince(const RunLedger& ledger, RuleTime time) {
    RuleTime since = time;
    for (const RuleSeconds period : ledger.StockPeriods) {
        since = std::min(since, PeriodStart(time, period));
    }
    return since;
}

void AddPlayerRuns(RunLedger& ledger, const std::string& eosId, const std::string& exchangeKey,
                   RuleTime time, int64_t runs, RuleTime last) {
    PlayerRuns& player = ledger.Players[eosId][exchangeKey];
    player.Total += runs;
    if (!player.Last || *player.Last < last) {
        player.Last = last;
    }
    DropBefore(player.ThisWeek, WeekStart(time));
    AddTimedRuns(player.ThisWeek, time, runs);
}

void AddStockRuns(RunLedger& ledger, const std::string& exchangeKey, RuleTime time, int64_t runs) {
    StockRuns& stock = ledger.Stock[exchangeKey];
    stock.Total += runs;
    if (!ledger.StockPeriods.empty()) {
        DropBefore(stock.Recent, StockKeptSince(ledger, time));
        AddTimedRuns(stock.Recent, time, runs);
    }
}

void CountRuns(RunLedger& ledger, const std::string& eosId, const std::string& exchangeKey,
               RuleTime time, int64_t runs) {
    AddPlayerRuns(ledger, eosId, exchangeKey, time, runs, time);
    AddStockRuns(ledger, exchangeKey, time, runs);
}

void ForgetRuns(RunLedger& ledger, const std::string& eosId,
                const std::optional<std::string>& exchangeKey) {
    if (!exchangeKey) {
        ledger.Players.erase(eosId);
        return;
    }
    if (const auto player = ledger.Players.find(eosId); player != ledger.Players.end()) {
        player->second.erase(*exchangeKey);
    }
}

const PlayerRuns* FindPlayerRuns(const RunLedger& ledger, const std::string& eosId,
                                 const std::string& exchangeKey) {
    const auto player = ledger.Players.find(eosId);
    if (player == ledger.Players.end()) {
        return nullptr;
    }
    const auto runs = player->second.find(exchangeKey);
    return runs == player->second.end() ? nullptr : &runs->second;
}

const StockRuns* FindStockRuns(const RunLedger& ledger, const std::string& exchangeKey) {
    const auto stock = ledger.Stock.find(exchangeKey);
    return stock == ledger.Stock.end() ? nullptr : &stock->second;
}

void AddTimedRuns(RunHistory& history, RuleTime time, int64_t runs) {
    std::vector<TimedRuns>& entries = history.Cumulative;
    const int64_t before = entries.empty() ? history.Base : entries.back().Runs;
    if (!entries.empty() && entries.back().Time >= time) {
        entries.back().Runs = before + runs;
        return;
    }
    entries.push_back({time, before + runs});
}

int64_t RunsSince(const RunHistory& history, RuleTime since) {
    const std::vector<TimedRuns>& entries = history.Cumulative;
    if (entries.empty()) {
        return 0;
    }
    const auto first = std::lower_bound(entries.begin(), entries.end(), since, BeforeTime);
    const int64_t before = first == entries.begin() ? history.Base : std::prev(first)->Runs;
    return entries.back().Runs - before;
}

void DropBefore(RunHistory& history, RuleTime since) {
    std::vector<TimedRuns>& entries = history.Cumulative;
    const auto first = std::lower_bound(entries.begin(), entries.end(), since, BeforeTime);
    if (first == entries.begin()) {
        return;
    }
    history.Base = std::prev(first)->Runs;
    entries.erase(entries.begin(), first);
}

RuleTime DayStart(RuleTime time) {
    return floor<days>(time);
}

RuleTime WeekStart(RuleTime time) {
    // 1970-01-01 was a Thursday: three days after a Monday.
    const std::chrono::sys_days day = floor<days>(time);
    const int64_t sinceMonday = ((day.time_since_epoch().count() + 3) % 7 + 7) % 7;
    return day - days{sinceMonday};
}

RuleTime PeriodStart(RuleTime time, RuleSeconds period) {
    const RuleSeconds sinceEpoch = floor<RuleSeconds>(time.time_since_epoch());
    const int64_t periods =
        sinceEpoch.count() / period.count() - (sinceEpoch.count() % period.count() < 0 ? 1 : 0);
    return RuleTime{RuleSeconds{periods * period.count()}};
}

} // namespace barterbox
