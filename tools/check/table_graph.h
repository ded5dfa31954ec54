// The exchange table as a Graphviz graph, for administrators who would rather see their trades
// than read them: item classes and exchanges as nodes, Give and Receive as edges, loops in red.
#pragma once

#include <string>
#include <vector>

#include "loop_check.h"
#include "trade_table.h"

namespace barterbox::tools {

// A complete DOT document; `dot -Tsvg` draws it. Only classes that some entry pays or hands out
// appear. A Give entry matching several classes has a dashed edge from each.
std::string TableGraph(const TradeTable& table, const std::vector<TradeLoop>& loops);

} // namespace barterbox::tools
