// Reading rules.json; see rules_file.h.
#include "rules_file.h"

#include <algorithm>
#include <filesystem>

#include <fmt/format.h>
#include <variant>

#include "audit/audit_clock.h"
#include "catalogue/config_file.h"
#include "catalogue/config_reading.h"
#include "catalogue/exchange_definition.h"
#include "catalogue/json_locations.h"
#include "catalogue/whole_file.h"
#include "discord/discord_sink.h"
#include "host/permissions_plugin.h"
#include "logger/plugin_logger.h"
#include "platform/os_path.h"
#include "rules/audit_history.h"
#include "rules/cluster_ledger.h"
#include "rules/rules_reading.h"
#include "rules/rules_state.h"

namespace barterbox {
namespace {

struct NoRules {};
struct Unreadable {
    std::string Reason;
    // The file's other problems, each logged after the reason.
    std::vector<std::string> More;
};

// Every problem after the first, so that one edit can mend them all.
void LogMoreProblems(const Unreadable& unreadable) {
    for (const std::string& problem : unreadable.More) {
        Log(spdlog::level::err, "Barterbox: rules.json: {}", problem);
    }
}
using RulesFileReading = std::variant<TradeRules, NoRules, Unreadable>;

bool IsSymbolicLink(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_symlink(platform::OsPath(path), error);
}

// "line 3, column 5: syntax error ...", from the JSON library's own text.
std::string ParseErrorReason(const nlohmann::json::exception& error) {
    const std::string text = error.what();
    const std::string::size_type at = text.find(" at line ");
    return at == std::string::npos ? text : text.substr(at + 4);
}

// "line 3, column 19: Exchanges.Ingots.Day must be ...", at the value (or, for a member the
// plugin does not know, at its name).
std::string LocatedProblem(const JsonLocations& locations, const RulesProblem& problem,
                           bool atName) {
    const MemberPath& path = problem.Path;
    const TextPosition position =
        atName ? NamePosition(locations, path) : ValuePosition(locations, path);
    return fmt::format("line {}, column {}: {}", position.Line, position.Column,
                       RulesProblemText(problem));
}

// Each message whose text cannot stand keeps its default; once per load or Reload, by its name.
void LogUnusedMessages(const RulesReading& reading) {
    for (const RulesProblem& unused : reading.UnusedMessages) {
        const auto* name =
            unused.Path.size() == 2 ? std::get_if<std::string>(&unused.Path[1]) : nullptr;
        Log(spdlog::level::warn, "Barterbox: Message {} not used: {}", name ? *name : "",
            unused.Message);
    }
}

RulesFileReading ParseRules(const std::string& text) {
    nlohmann::json root;
    try {
        root = ParseConfigText(text);
    } catch (const nlohmann::json::exception& error) {
        return Unreadable{ParseErrorReason(error), {}};
    }
    RulesReading reading = ReadTradeRules(root);
    if (reading.Unknown.empty() && reading.Errors.empty()) {
        LogUnusedMessages(reading);
        return std::move(reading.Rules);
    }
    const JsonLocations locations = IndexJson(text);
    for (const RulesProblem& unknown : reading.Unknown) {
        Log(spdlog::level::warn, "Barterbox: rules.json: {}; it is passed over",
            LocatedProblem(locations, unknown, true));
    }
    if (!reading.Errors.empty()) {
        // In the order the file holds them, which is not the order of the members' names.
        std::vector<std::pair<TextPosition, std::string>> problems;
        for (const RulesProblem& problem : reading.Errors) {
            problems.emplace_back(ValuePosition(locations, problem.Path),
                                  LocatedProblem(locations, problem, false));
        }
        std::stable_sort(problems.begin(), problems.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        Unreadable unreadable{problems.front().second, {}};
        for (size_t index = 1; index < problems.size(); ++index) {
            unreadable.More.push_back(problems[index].second);
        }
        return unreadable;
    }
    LogUnusedMessages(reading);
    return std::move(reading.Rules);
}

RulesFileReading ReadRulesFile() {
    const std::string path = RulesFilePath();
    if (IsSymbolicLink(path)) {
        return Unreadable{"it is a symbolic link, not a file", {}};
    }
    std::string text;
    FileStamp stamp;
    switch (ReadWholeFile(path, text, stamp)) {
    case ReadOutcome::Missing:
        return NoRules{};
    case ReadOutcome::NoAccess:
        return Unreadable{"the plugin may not read it", {}};
    case ReadOutcome::NotRegular:
        return Unreadable{"it is not a regular file", {}};
    case ReadOutcome::ReadFailed:
        return Unreadable{"it could not be read whole", {}};
    case ReadOutcome::Read:
        break;
    }
    return ParseRules(text);
}

std::vector<RuleSeconds> StockPeriods(const TradeRules& rules) {
    std::vector<RuleSeconds> periods;
    const auto add = [&](const ExchangeRules& entry) {
        if (entry.Restock) {
            periods.push_back(*entry.Restock);
        }
    };
    add(rules.Default);
    for (const NamedRules& named : rules.Exchanges) {
        add(named.Rules);
    }
    return periods;
}

// The ledger is rebuilt from the audit unless the one in memory already holds all the new rules
// count: it follows every completed exchange and reset while rules are in force, and keeps stock
// runs for the stock periods it was built for, so a Reload that keeps them needs no reading.
void PutRulesInForce(TradeRules rules, bool mayKeepLedger) {
    RulesState& state = TheRulesState();
    std::vector<RuleSeconds> periods = StockPeriods(rules);
    const bool keep =
        mayKeepLedger && state.Rules && !state.Closed && periods == state.Ledger.StockPeriods;
    if (!keep) {
        state.Ledger = RunLedger{};
        state.Ledger.StockPeriods = std::move(periods);
        if (!PluginFolder().empty()) {
            state.Ledger =
                RebuildLedger(PluginFolder() + "/audit", AuditClock(), state.Ledger.StockPeriods);
        }
    }
    ApplyDiscordSettings(rules.Discord);
    SetRulesInForce(std::move(rules));
    state.Closed = false;
    Log(spdlog::level::info, "Barterbox: Loaded rules for {} exchanges",
        state.Rules->Exchanges.size());
    PutClusterInForce(state.Rules->Cluster);
    if (!permissions::PluginFound()) {
        Log(spdlog::level::warn, "Barterbox: Permissions plugin not found; only the groups Admins "
                                 "and Default are known");
    }
}

} // namespace

std::string RulesFilePath() {
    return PluginFolder().empty() ? std::string() : PluginFolder() + "/rules.json";
}

void LoadRules() {
    RulesState& state = TheRulesState();
    PutClusterInForce(std::nullopt);
    state = RulesState{};
    ApplyDiscordSettings(std::nullopt);
    RulesFileReading reading = ReadRulesFile();
    if (auto* unreadable = std::get_if<Unreadable>(&reading)) {
        state.Closed = true;
        Log(spdlog::level::err,
            "Barterbox: Failed to read rules.json: {}; every exchange is closed until it is "
            "reloaded",
            unreadable->Reason);
        LogMoreProblems(*unreadable);
        return;
    }
    if (auto* rules = std::get_if<TradeRules>(&reading)) {
        PutRulesInForce(std::move(*rules), false);
    }
}

std::optional<std::string> ReloadRules() {
    RulesFileReading reading = ReadRulesFile();
    if (auto* unreadable = std::get_if<Unreadable>(&reading)) {
        Log(spdlog::level::err, "Barterbox: rules.json not reloaded: {}", unreadable->Reason);
        LogMoreProblems(*unreadable);
        return unreadable->Reason;
    }
    RulesState& state = TheRulesState();
    if (auto* rules = std::get_if<TradeRules>(&reading)) {
        PutRulesInForce(std::move(*rules), true);
    } else {
        PutClusterInForce(std::nullopt);
        state = RulesState{};
        ApplyDiscordSettings(std::nullopt);
    }
    return std::nullopt;
}

bool ForgetPlayerRuns(const std::string& eosId, const std::string& exchange) {
    const std::optional<std::string> key =
        exchange.empty() ? std::nullopt : std::optional(ExchangeKey(exchange));
    if (ClusterLedgerInForce() && !ResetClusterCounts(eosId, key)) {
        return false;
    }
    ForgetRuns(TheRulesState().Ledger, eosId, key);
    return true;
}

} // namespace barterbox
