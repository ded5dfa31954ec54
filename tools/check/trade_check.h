// The checks of the exchange table as a whole, beyond each exchange on its own: loops that mint
// items (and how far the trade rules hold them), and the table's graph when one is asked for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config_check.h"
#include "finding.h"
#include "rules/trade_rules.h"
#include "tools/common/world_file.h"

namespace barterbox::tools {

// Loop findings for the exchanges the plugin loads from a parsed config, each with what the rules
// of rules.json leave of it when there are rules the plugin applies; writes the graph to
// `graphFile` when given, and reports a file it cannot write as an error of its own. The loop
// search gives up after `loopSeconds` and says so in a warning.
std::vector<Finding> CheckTrades(const std::string& configFile, const ConfigCheck& check,
                                 const WorldDescription* world,
                                 const std::optional<std::string>& graphFile,
                                 const TradeRules* rules, uint32_t loopSeconds);

} // namespace barterbox::tools
