// The checks of rules.json's Cluster block beyond its members and types (which the plugin's own
// reading names): the database password it holds must not be readable by every user.
#pragma once

#include <string>
#include <vector>

#include "finding.h"
#include "rules_check.h"

namespace barterbox::tools {

std::vector<Finding> CheckClusterFile(const std::string& rulesFile, const RulesCheck& rules);

} // namespace barterbox::tools
