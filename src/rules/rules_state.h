// Everything the trade rules keep for the life of the module: the rules in force, the ledger of
// completed runs and, with a Cluster block, the connection to the cluster's ledger.
//
// State: the rules layer's one record, empty (no rules, nothing closed) before the module's
// attach runs, and gone with the module's static objects; nothing of it is saved, since the
// ledger is rebuilt from the audit's day files at every load. ResetRulesState empties it again,
// which the test fixtures call.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "rules/cluster_ledger.h"
#include "rules/run_ledger.h"
#include "rules/trade_rules.h"

namespace barterbox {

struct RulesState {
    // None without a rules.json: every exchange runs as if there were no rules at all.
    std::optional<TradeRules> Rules;
    // Each named exchange's rules merged with Default, by exchange key, and Default's alone for
    // every other exchange: merged once, when the rules are put in force, not at every check.
    std::unordered_map<std::string, ExchangeRules> Merged;
    ExchangeRules MergedDefault;
    // Set when rules.json was there at the load but could not be read: rather than run without
    // the limits an administrator wrote, every exchange is refused until a Reload reads it.
    bool Closed = false;
    RunLedger Ledger;
    // The texts of rules.json's Messages that stand, by message; unset: the default's.
    std::array<std::optional<std::string>, kMessageCount> Messages;
    // DisplayNames by the item text or class, ASCII letter case folded.
    std::unordered_map<std::string, std::string> DisplayNames;
    // With a Cluster block, the counts the rules check are the database's.
    ClusterLedgerState Cluster;
};

RulesState& TheRulesState();
void ResetRulesState();

// Puts the rules in force, merged; the ledger stays as it is.
void SetRulesInForce(TradeRules rules);
// The rules the exchange runs under; nullptr without rules in force.
const ExchangeRules* RulesInForceFor(std::string_view exchange);

} // namespace barterbox
