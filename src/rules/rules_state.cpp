// The rules layer's record; see rules_state.h.
#include "rules_state.h"

#include "catalogue/exchange_definition.h"

namespace barterbox {

RulesState& TheRulesState() {
    static RulesState state;
    return state;
}

void ResetRulesState() {
    TheRulesState() = RulesState{};
}

void SetRulesInForce(TradeRules rules) {
    RulesState& state = TheRulesState();
    state.Merged.clear();
    // The first of two entries that differ only in letter case is the one that counts, as the
    // checker warns.
    for (const NamedRules& named : rules.Exchanges) {
        state.Merged.try_emplace(ExchangeKey(named.Name), RulesForExchange(rules, named.Name));
    }
    state.MergedDefault = RulesForExchange(TradeRules{rules.Default, {}, std::nullopt}, "");
    state.Rules = std::move(rules);
}

const ExchangeRules* RulesInForceFor(std::string_view exchange) {
    const RulesState& state = TheRulesState();
    if (!state.Rules) {
        return nullptr;
    }
    const auto merged = state.Merged.find(ExchangeKey(exchange));
    return merged != state.Merged.end() ? &merged->second : &state.MergedDefault;
}

} // namespace barterbox
