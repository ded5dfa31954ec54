// What rules.json's entries do, beyond whether the plugin reads them: an entry that lets nobody
// run an exchange, a Restock with no stock to refill, and a rule for an exchange that config.json
// does not have or that another rule already names.
#pragma once

#include <string>
#include <vector>

#include "finding.h"
#include "rules_check.h"

namespace barterbox::tools {

// `configExchanges`: the names of the exchanges the plugin loads from config.json; nullptr when
// that cannot be told (config.json unreadable or refused), which leaves the names unchecked.
std::vector<Finding> CheckRuleEffects(const std::string& fileName, const RulesCheck& check,
                                      const std::vector<std::string>* configExchanges);

} // namespace barterbox::tools
