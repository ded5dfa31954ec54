// What rules.json's entries do, beyond whether the plugin reads them: an entry that lets nobody
// run an exchange, a Restock with no stock to refill, and a rule for an exchange that config.json
// does not have or that another rule already names, and a display name for an item that no
// exchange of config.json takes or gives.
#pragma once

#include <string>
#include <vector>

#include "finding.h"
#include "rules_check.h"

namespace barterbox::tools {

// What the plugin loads from config.json: its exchanges' names and their items' texts.
struct LoadedConfig {
    const std::vector<std::string>& Exchanges;
    const std::vector<std::string>& Items;
};

// `config`: nullptr when what config.json loads cannot be told (unreadable or refused), which
// leaves the names unchecked.
std::vector<Finding> CheckRuleEffects(const std::string& fileName, const RulesCheck& check,
                                      const LoadedConfig* config);

} // namespace barterbox::tools
