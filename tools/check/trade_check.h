// The checks of the exchange table as a whole, beyond each exchange on its own: loops that mint
// items, and the table's graph when one is asked for.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config_check.h"
#include "finding.h"
#include "tools/common/world_file.h"

namespace barterbox::tools {

// Loop findings for the exchanges the plugin loads from a parsed config; writes the graph to
// `graphFile` when given, and reports a file it cannot write as an error of its own.
std::vector<Finding> CheckTrades(const std::string& configFile, const ConfigCheck& check,
                                 const WorldDescription* world,
                                 const std::optional<std::string>& graphFile);

} // namespace barterbox::tools
