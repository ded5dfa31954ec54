// Puts the trade table, the loop search and the graph together for one check run.
#include "trade_check.h"

#include <chrono>

#include "loop_check.h"
#include "table_graph.h"
#include "tools/common/text_file.h"
#include "trade_table.h"

namespace barterbox::tools {

std::vector<Finding> CheckTrades(const std::string& configFile, const ConfigCheck& check,
                                 const WorldDescription* world,
                                 const std::optional<std::string>& graphFile,
                                 const TradeRules* rules, uint32_t loopSeconds) {
    // A file the plugin refuses loads no exchanges, and so holds no loop.
    const TradeTable table = check.Parsed && check.Exchanges > 0
                                 ? ReadTradeTable(check.Document, check.Locations, world)
                                 : TradeTable{};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(loopSeconds);
    const LoopSearch search = FindLoops(table, deadline);
    const std::vector<TradeLoop>& loops = search.Loops;
    std::vector<Finding> findings = LoopFindings(configFile, table, loops, rules);
    if (search.Stopped) {
        std::string message = "stopped looking for loops after ";
        message += std::to_string(loopSeconds);
        message += " s (--loop-seconds); the exchanges not yet searched may hold loops";
        findings.push_back({Severity::Warning, configFile, {}, std::nullopt, {}, message});
    }
    if (graphFile) {
        std::string reason;
        if (!WriteTextFile(*graphFile, TableGraph(table, loops), reason)) {
            findings.push_back({Severity::Error, *graphFile, {}, std::nullopt, {}, reason});
        }
    }
    return findings;
}

} // namespace barterbox::tools
