// The ledger of completed runs; see run_ledger.h.
#include "run_ledger.h"

#include <algorithm>

namespace barterbox {
namespace {

using std::chrono::days;
using std::chrono::floor;

void DropBefore(std::vector<TimedRuns>& runs, RuleTime since) {
    std::erase_if(runs, [&](const TimedRuns& entry) { return entry.Time < since; });
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
    player.ThisWeek.push_back({time, runs});
}

void AddStockRuns(RunLedger& ledger, const std::string& exchangeKey, RuleTime time, int64_t runs) {
    StockRuns& stock = ledger.Stock[exchangeKey];
    stock.Total += runs;
    if (!ledger.StockPeriods.empty()) {
        DropBefore(stock.Recent, StockKeptSince(ledger, time));
        stock.Recent.push_back({time, runs});
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

int64_t RunsSince(const std::vector<TimedRuns>& runs, RuleTime since) {
    int64_t count = 0;
    for (const TimedRuns& entry : runs) {
        if (entry.Time >= since) {
            count += entry.Runs;
        }
    }
    return count;
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
