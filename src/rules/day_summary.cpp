// A closed day's summary; see day_summary.h.
#include "day_summary.h"

#include <nlohmann/json.hpp>

#include "audit/audit_clock.h"

namespace barterbox {
namespace {

using nlohmann::json;

// Written into every summary, so that a later version that counts otherwise rebuilds them.
constexpr int kSummaryVersion = 1;

} // namespace

void SummariseRuns(DaySummary& summary, const std::string& eosId, const std::string& key,
                   RuleTime time, int64_t runs) {
    SummarisedRuns& player = summary.Players[eosId][key];
    player.Runs += runs;
    player.Last = std::max(player.Last, time);
    summary.Stock[key] += runs;
}

void SummariseReset(DaySummary& summary, const std::string& eosId,
                    const std::optional<std::string>& key) {
    if (key) {
        if (const auto player = summary.Players.find(eosId); player != summary.Players.end()) {
            player->second.erase(*key);
        }
    } else {
        summary.Players.erase(eosId);
    }
    summary.Resets.emplace_back(eosId, key);
}

void ApplySummary(RunLedger& ledger, const DaySummary& summary, RuleTime dayStart) {
    for (const auto& [eosId, key] : summary.Resets) {
        ForgetRuns(ledger, eosId, key);
    }
    for (const auto& [eosId, exchanges] : summary.Players) {
        for (const auto& [key, runs] : exchanges) {
            AddPlayerRuns(ledger, eosId, key, dayStart, runs.Runs, runs.Last);
        }
    }
    for (const auto& [key, runs] : summary.Stock) {
        AddStockRuns(ledger, key, dayStart, runs);
    }
}

std::string SummaryText(const DaySummary& summary) {
    json players = json::object();
    for (const auto& [eosId, exchanges] : summary.Players) {
        json& player = players[eosId];
        for (const auto& [key, runs] : exchanges) {
            player[key] = json::array({runs.Runs, AuditTimeText(runs.Last)});
        }
    }
    json resets = json::array();
    for (const auto& [eosId, key] : summary.Resets) {
        resets.push_back(json::array({eosId, key ? json(*key) : json(nullptr)}));
    }
    const json root{{"version", kSummaryVersion},
                    {"day_file_bytes", summary.DayFileBytes},
                    {"players", std::move(players)},
                    {"resets", std::move(resets)},
                    {"stock", summary.Stock}};
    return root.dump(-1, ' ', false, json::error_handler_t::replace) + "\n";
}

std::optional<DaySummary> ReadSummaryText(const std::string& text) {
    try {
        const json root = json::parse(text);
        if (root.at("version").get<int>() != kSummaryVersion) {
            return std::nullopt;
        }
        DaySummary summary;
        summary.DayFileBytes = root.at("day_file_bytes").get<uint64_t>();
        for (const auto& [eosId, exchanges] : root.at("players").items()) {
            for (const auto& [key, runs] : exchanges.items()) {
                const std::optional<RuleTime> last = ReadAuditTime(runs.at(1).get<std::string>());
                if (!last) {
                    return std::nullopt;
                }
                summary.Players[eosId][key] = {runs.at(0).get<int64_t>(), *last};
            }
        }
        for (const json& reset : root.at("resets")) {
            const json& key = reset.at(1);
            summary.Resets.emplace_back(reset.at(0).get<std::string>(),
                                        key.is_null() ? std::nullopt
                                                      : std::optional(key.get<std::string>()));
        }
        summary.Stock = root.at("stock").get<std::map<std::string, int64_t>>();
        return summary;
    } catch (const json::exception&) {
        return std::nullopt;
    }
}

} // namespace barterbox
