// The trade rules' load: the ledger of completed runs rebuilt from a year of busy history, as at
// every load and Reload. Each of 364 closed days holds 9,863 exchanges (3.6 million a year) by 200
// players over 6 exchanges; the closed days are read from their summaries, today from its day
// file, record by record. BM_SummariseClosedDay is the one-time cost of the first load after a
// midnight: a closed day read whole and its summary written. BM_CheckRules is the rule check
// alone, with every rule there is, for a player with a week of runs behind them, to set beside
// the time of a whole exchange (exchange_bench.cpp).
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>

#include "audit/audit_clock.h"
#include "fastest.h"
#include "rules/audit_history.h"
#include "rules/rule_check.h"
#include "rules/rules_reading.h"
#include "rules/rules_state.h"
#include "rules/run_ledger.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::system_clock;

constexpr int kRecordsPerDay = 9863;
constexpr int kPlayers = 200;
constexpr int kExchanges = 6;
const char* const kExchangeNames[kExchanges] = {"Electronics", "Gunpowder", "Ingots",
                                                "Paste",       "Polymer",   "Thatch"};

std::string EosId(int player) {
    std::string id = "0002" + std::to_string(100000 + player);
    id.resize(32, 'a');
    return id;
}

// One day of records as the audit writes them, with a refusal among every ten.
std::string DayFileText(Clock::time_point dayStart) {
    std::string text;
    for (int record = 0; record < kRecordsPerDay; ++record) {
        const auto time = dayStart + std::chrono::milliseconds{int64_t{record} * 8640};
        const bool refused = record % 10 == 9;
        text += R"({"time":")" + barterbox::AuditTimeText(time) +
                R"(","event":"exchange","via":"chat","eos_id":")" + EosId(record % kPlayers) +
                R"(","exchange":")" + kExchangeNames[record % kExchanges] +
                R"(","multiplier":2,"effective":2,"outcome":")" + (refused ? "short" : "complete") +
                R"(","taken":[{"class":"PrimalItemResource_Metal_C","quantity":40},)"
                R"({"class":"PrimalItemResource_Wood_C","quantity":8}],"given":[{"item":)"
                R"("Blueprint'/Game/PrimalEarth/CoreBlueprints/Resources/)"
                R"(PrimalItemResource_MetalIngot.PrimalItemResource_MetalIngot'","quantity":20}]})"
                "\n";
    }
    return text;
}

const Clock::time_point kToday = std::chrono::sys_days{std::chrono::year{2026} / 12 / 9};

// The folder with a year of history, built once: summaries of the closed days (made by a first
// rebuild, as a server makes them) and today's day file.
const std::string& YearOfHistory() {
    static const std::string folder = [] {
        const fs::path root = fs::temp_directory_path() / "barterbox-bench-history";
        fs::remove_all(root);
        fs::create_directories(root);
        const std::string oneDay = DayFileText(kToday);
        for (int day = 364; day >= 0; --day) {
            const Clock::time_point start = kToday - std::chrono::days{day};
            std::ofstream(root / (barterbox::AuditDayText(start) + ".jsonl"), std::ios::binary)
                << (day == 0 ? oneDay : DayFileText(start));
        }
        barterbox::RebuildLedger(root.string(), kToday + std::chrono::hours{12}, {});
        return root.string();
    }();
    return folder;
}

void BM_RebuildLedgerFromAYear(benchmark::State& state) {
    const std::string& folder = YearOfHistory();
    const std::vector<barterbox::RuleSeconds> periods{std::chrono::hours{24},
                                                      std::chrono::hours{6}};
    size_t players = 0;
    for (auto _ : state) {
        const barterbox::RunLedger ledger =
            barterbox::RebuildLedger(folder, kToday + std::chrono::hours{12}, periods);
        players = ledger.Players.size();
        benchmark::DoNotOptimize(players);
    }
    state.counters["players"] = static_cast<double>(players);
    state.counters["records_per_year"] = 365.0 * kRecordsPerDay;
}
BENCHMARK(BM_RebuildLedgerFromAYear)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", &barterbox::bench::Fastest);

void BM_SummariseClosedDay(benchmark::State& state) {
    const fs::path root = fs::temp_directory_path() / "barterbox-bench-one-day";
    fs::remove_all(root);
    fs::create_directories(root);
    const Clock::time_point yesterday = kToday - std::chrono::days{1};
    std::ofstream(root / (barterbox::AuditDayText(yesterday) + ".jsonl"), std::ios::binary)
        << DayFileText(yesterday);
    for (auto _ : state) {
        fs::remove_all(root / "summaries");
        benchmark::DoNotOptimize(
            barterbox::RebuildLedger(root.string(), kToday + std::chrono::hours{12}, {}));
    }
    fs::remove_all(root);
}
BENCHMARK(BM_SummariseClosedDay)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", &barterbox::bench::Fastest);

void BM_CheckRules(benchmark::State& state) {
    barterbox::ResetRulesState();
    barterbox::RulesState& rules = barterbox::TheRulesState();
    barterbox::SetRulesInForce(
        barterbox::ReadTradeRules(nlohmann::json::parse(R"({"Exchanges": {"Kit": {
        "Groups": ["Default", "VIP"], "Cooldown": "1m", "Day": 1000000, "Week": 1000000,
        "Total": 1000000, "Stock": 1000000000, "Restock": "1d",
        "For": {"VIP": {"Day": 2000000}, "Donor": {"Week": 2000000}}}}})"))
            .Rules);
    rules.Ledger.StockPeriods = {std::chrono::hours{24}};
    // A busy week: the player ran it every ten minutes, and 200 others as often.
    const Clock::time_point now = kToday + std::chrono::hours{12};
    for (auto time = now - std::chrono::days{6}; time < now; time += std::chrono::minutes{10}) {
        for (int player = 0; player < kPlayers; ++player) {
            barterbox::CountRuns(rules.Ledger, EosId(player), "kit", time, 1);
        }
    }
    const barterbox::RuleSubject subject{EosId(7), false};
    for (auto _ : state) {
        benchmark::DoNotOptimize(barterbox::CheckRules(subject, "Kit", 5, now));
    }
    barterbox::ResetRulesState();
}
BENCHMARK(BM_CheckRules)
    ->Unit(benchmark::kNanosecond)
    ->ComputeStatistics("min", &barterbox::bench::Fastest);

} // namespace
