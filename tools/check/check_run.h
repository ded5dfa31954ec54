// One run of barterbox-check: read the config (and the world, if one is given), check, and
// gather every finding in the order a reader fixes them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "finding.h"

namespace barterbox::tools {

struct CheckRequest {
    std::string ConfigFile;
    std::optional<std::string> WorldFile;
    std::optional<std::string> GraphFile; // where to write the table as a Graphviz graph
};

struct CheckResult {
    // World file errors first (nothing about the config can be trusted against a broken world),
    // then the config's findings in the order of its text.
    std::vector<Finding> Findings;
    size_t Exchanges = 0; // how many exchanges the plugin would load from the config
};

CheckResult RunCheck(const CheckRequest& request);

} // namespace barterbox::tools
