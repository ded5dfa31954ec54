// Reading rules.json: the members it may hold, their types, and what each problem is called, so
// that the plugin and the config checker read the file alike.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

#include "catalogue/json_locations.h"
#include "rules/trade_rules.h"

namespace barterbox {

// Where in the document a problem is: member names and array indices from the root, as the
// positions of members in a JSON text are looked up.
using RulesMemberPath = MemberPath;

struct RulesProblem {
    RulesMemberPath Path;
    std::string Message; // "must be a whole number of at least 1, not a string"
};

struct RulesReading {
    TradeRules Rules;
    // Values of a wrong type or out of range: a file with any is not applied.
    std::vector<RulesProblem> Errors;
    // Members the plugin does not know, passed over: a misspelt limit limits nothing.
    std::vector<RulesProblem> Unknown;
    // Messages whose text cannot stand for them (a wrong type, placeholders that do not match
    // the default's): each keeps its default, and the rest of the file holds.
    std::vector<RulesProblem> UnusedMessages;
};

inline constexpr std::array<std::string_view, 7> kRulesRootMembers{
    "Default", "Exchanges", "Messages", "DisplayNames", "Commands", "Discord", "Cluster"};
inline constexpr std::array<std::string_view, 2> kChatWordMembers{"Exchange", "Preview"};
inline constexpr std::array<std::string_view, 10> kExchangeRuleMembers{
    "Enabled", "Groups", "Cooldown", "Day", "Week", "Total", "Stock", "Restock", "For", "Refuse"};
inline constexpr std::array<std::string_view, 4> kGroupRuleMembers{"Cooldown", "Day", "Week",
                                                                   "Total"};

// The whole document, every problem listed, in the order of the members' names (as the JSON
// library keeps an object's members).
RulesReading ReadTradeRules(const nlohmann::json& root);

// Messages, DisplayNames and Commands, into the reading (text_rules_reading.cpp).
void ReadTextRules(const nlohmann::json& root, RulesReading& reading);

// A value as a problem names it: "a string", "the number 0", "an array".
std::string RulesValueText(const nlohmann::json& value);
// Each member of the object whose name is not among `known`, listed in reading.Unknown.
void PassOverUnknownMembers(const nlohmann::json& object, const RulesMemberPath& path,
                            std::span<const std::string_view> known, RulesReading& reading);

// Members.Path, as people read it: Exchanges.Ingots.For.VIP.Day, Default.Groups[0],
// Exchanges."Iron Deal".Day.
std::string RulesMemberText(const RulesMemberPath& path);
// The problem as one sentence: "Exchanges.Ingots.Day must be ...", "the file must be ...".
std::string RulesProblemText(const RulesProblem& problem);

} // namespace barterbox
