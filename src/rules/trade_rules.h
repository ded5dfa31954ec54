// What rules.json says: for each exchange, who may run it, how often and how much. The types
// that the plugin's rule check and the config checker share.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/character_states.h"
#include "rules/cluster_settings.h"
#include "rules/discord_settings.h"
#include "rules/message_table.h"

namespace barterbox {

using RuleSeconds = std::chrono::seconds;

// The fields a group may override. Unset means the field is not limited at this level.
struct RunLimits {
    std::optional<RuleSeconds> Cooldown; // after a completed run, before the next
    std::optional<int64_t> Day;          // runs per player per UTC calendar day
    std::optional<int64_t> Week;         // per ISO week, from Monday 00:00 UTC
    std::optional<int64_t> Total;        // ever
};

struct GroupLimits {
    std::string Group;
    RunLimits Limits;
};

// One entry of rules.json (or its Default): every field unset unless the entry sets it.
struct ExchangeRules {
    std::optional<bool> Enabled;
    std::optional<std::vector<std::string>> Groups; // who may run it; unset: everyone
    RunLimits Limits;
    std::optional<int64_t> Stock;       // runs for all players together per Restock period
    std::optional<RuleSeconds> Restock; // unset: the stock never refills
    std::optional<std::vector<GroupLimits>> For;
    // The character states in which the exchange is refused; unset: every state.
    std::optional<CharacterStates> Refuse;
};

struct NamedRules {
    std::string Name; // as rules.json spells it
    ExchangeRules Rules;
};

// A text of rules.json's Messages that can stand for its message.
struct MessageOverride {
    MessageId Id;
    std::string Text;
};

// DisplayNames: what players read for a Give text or a class.
struct DisplayName {
    std::string Item;
    std::string Name;
};

// The chat words that run the exchange (and list them) and the preview.
struct ChatWords {
    std::vector<std::string> Exchange{"/exchange", "/ex"};
    std::vector<std::string> Preview{"/exinfo"};
};

struct TradeRules {
    ExchangeRules Default;
    std::vector<NamedRules> Exchanges;
    std::vector<MessageOverride> Messages;
    std::vector<DisplayName> DisplayNames;
    ChatWords Commands;
    // The webhook the audit's records are posted to; unset: none.
    std::optional<DiscordSettings> Discord;
    std::optional<ClusterSettings> Cluster; // unset: the counts stay in the local ledger
};

// The rules one exchange runs under: its own fields, and Default's where it sets none.
ExchangeRules RulesForExchange(const TradeRules& rules, std::string_view exchange);

// Whether the rules limit or close anything at all.
bool RulesApply(const ExchangeRules& rules);
// Whether they count anything: a cooldown, a limit (the exchange's or a group's) or a stock.
bool RulesCount(const ExchangeRules& rules);

} // namespace barterbox
