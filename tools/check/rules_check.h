// The checks of a rules.json text, read with exactly the plugin's rules (rules/rules_reading.h):
// what makes the plugin refuse the file, and the members it passes over.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "finding.h"
#include "rules/trade_rules.h"

namespace barterbox::tools {

struct RulesCheck {
    std::vector<Finding> Findings; // in the order of the file
    bool Parsed = false;
    nlohmann::json Document; // when parsed
    JsonLocations Locations;
    std::optional<TradeRules> Rules; // when the plugin applies the file: parsed, nothing refused
    size_t Exchanges = 0;            // how many exchanges the file holds rules for
};

RulesCheck CheckRulesText(const std::string& fileName, std::string_view text);

} // namespace barterbox::tools
