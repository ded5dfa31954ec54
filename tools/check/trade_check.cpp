// Puts the trade table, the loop search and the graph together for one check run.
#include "trade_check.h"

#include "loop_check.h"
#include "table_graph.h"
#include "tools/common/text_file.h"
#include "trade_table.h"

namespace barterbox::tools {

std::vector<Finding> CheckTrades(const std::string& configFile, const ConfigCheck& check,
                                 const WorldDescription* world,
                                 const std::optional<std::string>& graphFile,
                                 const TradeRules* rules) {
    // A file the plugin refuses loads no exchanges, and so holds no loop.
    const TradeTable table = check.Parsed && check.Exchanges > 0
                                 ? ReadTradeTable(check.Document, check.Locations, world)
                                 : TradeTable{};
    const std::vector<TradeLoop> loops = FindLoops(table);
    std::vector<Finding> findings = LoopFindings(configFile, table, loops, rules);
    if (graphFile) {
        std::string reason;
        if (!WriteTextFile(*graphFile, TableGraph(table, loops), reason)) {
            findings.push_back({Severity::Error, *graphFile, {}, std::nullopt, {}, reason});
        }
    }
    return findings;
}

} // namespace barterbox::tools
